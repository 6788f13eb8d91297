// Film page rules: which film options a film offers and where it sits in the list.
#include "film/film_page_rules.h"

#include <cstddef>

namespace tavelune {

bool isMonochromeFilm(int filmType)
{
    return filmType == kFilmTmax;
}

FilmOptionsShown filmOptionsShown(int filmType)
{
    const bool monochrome = isMonochromeFilm(filmType);
    return {!monochrome, monochrome, monochrome};
}

int filmListIndex(int filmType)
{
    for (std::size_t i = 0; i < kFilmListOrder.size(); ++i)
        if (kFilmListOrder[i] == filmType)
            return int(i);
    return -1;
}

}  // namespace tavelune
