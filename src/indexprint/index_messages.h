// Texts of the index print that the sheet itself draws.
#pragma once

namespace tavelune::indexprint::messages {

inline constexpr const char* kPhotoPrint = "相片";

inline constexpr const char* kDefaultTitle = "INDEX PRINT";
/// Measured instead of an empty title so that the title band keeps its height.
inline constexpr const char* kLineProbe = "Afg国";

}  // namespace tavelune::indexprint::messages
