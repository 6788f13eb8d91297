// Whether one change to a typed field of the EXIF editor may stand.
#include "exif/field_edit_rule.h"

#include <algorithm>

namespace tavelune {

namespace {

// Whether `after` is `before` with one run of characters cut out (or no change at all).
bool onlyRemoves(std::string_view before, std::string_view after)
{
    if (after.size() > before.size())
        return false;
    const std::size_t prefix =
        std::mismatch(after.begin(), after.end(), before.begin()).first - after.begin();
    const std::size_t suffix =
        std::mismatch(after.rbegin(), after.rend() - static_cast<std::ptrdiff_t>(prefix),
                      before.rbegin())
            .first -
        after.rbegin();
    return prefix + suffix == after.size();
}

}  // namespace

bool acceptsFieldEdit(EditorField field, std::string_view before, std::string_view after)
{
    return onlyRemoves(before, after) || acceptsFieldText(field, after);
}

}  // namespace tavelune
