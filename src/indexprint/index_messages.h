// Texts of the index print: layout and resolution entries, keyed by their string ids.
#pragma once

namespace tavelune::indexprint::messages {

inline constexpr int kPhotoPrintId = 57461;
inline constexpr const char* kPhotoPrint = "相片";

inline constexpr const char* kDefaultTitle = "INDEX PRINT";
/// Measured instead of an empty title so that the title band keeps its height.
inline constexpr const char* kLineProbe = "Afg国";

}  // namespace tavelune::indexprint::messages
