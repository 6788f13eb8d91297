// Windows face names of stored settings and their metric twins on Linux.
#pragma once

#include <string>
#include <string_view>

namespace tavelune {

/// The Linux face drawn for a Windows face name that settings (ours and older files) name:
/// "MS Sans Serif" and "Arial" as Liberation Sans, "Times New Roman" as Liberation Serif,
/// "Courier New" as Liberation Mono, the Chinese system faces as WenQuanYi Micro Hei. Empty
/// for any other name, which fontconfig resolves as it would.
std::string linuxFaceFor(std::string_view windowsFace);

}  // namespace tavelune
