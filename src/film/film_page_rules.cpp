// Film page rules: where a film sits in the list.
#include "film/film_page_rules.h"

#include <cstddef>

namespace tavelune {

int filmListIndex(int filmType)
{
    const auto rows = filmRows();
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].code == filmType)
            return int(i);
    return -1;
}

}  // namespace tavelune
