// Turning a UTF-8 text into the character codes the renderer draws one by one.
#pragma once

#include <string_view>
#include <vector>

namespace tavelune {

/// Code points of a UTF-8 text. A byte that does not start a well-formed sequence (a stray
/// continuation byte, a truncated or overlong sequence, a surrogate) stands for the code point of
/// its own value, so any byte string still draws, a lone lead byte at the end included.
std::vector<char32_t> characterCodes(std::string_view text);

/// The renderer's single-byte characters are the code points up to U+00FF; all others count as
/// double-byte characters for the antialias thresholds.
inline bool isDoubleByte(char32_t code) { return code > 0xFF; }

}  // namespace tavelune
