// Whether one change to a typed field of the EXIF editor may stand.
#pragma once

#include <string_view>

#include "exif/editor_fields.h"

namespace tavelune {

/// A change that only takes characters away (backspace, delete, cut) always stands, even
/// from a text the rule would not take; any other change, typing over a selection
/// included, stands only when the text it leaves obeys the field's rule.
bool acceptsFieldEdit(EditorField field, std::string_view before, std::string_view after);

}  // namespace tavelune
