// The one limit on picture sizes: every reader's declared size and every canvas it would make.
#pragma once

#include <cstdint>
#include <string>

namespace tavelune {

/// The default: 2^28 pixels (1 GiB of pixels), larger than any camera's. A header can claim
/// any size; without a cap a few bytes could ask for gigabytes before the decoder finds that
/// there is no data, and a frame or text could ask for more than the machine has.
inline constexpr uint64_t kDefaultMaxPixels = uint64_t(1) << 28;
/// The most a user may raise it to: each side stays an int and the bytes a size_t.
inline constexpr uint64_t kHighestMaxPixels = uint64_t(1) << 34;

/// The limit in force for the whole process (every thread, reader and canvas).
uint64_t maxPicturePixels();
/// 0 restores the default; values above kHighestMaxPixels are clamped to it.
void setMaxPicturePixels(uint64_t limit);
/// True when a width x height picture may be made: both positive, within the limit.
bool withinPixelLimit(uint64_t width, uint64_t height);

/// "W x H pixels, over the limit of N pixels".
std::string pixelLimitText(uint64_t width, uint64_t height);
/// Why a canvas ("the frame", "the watermark text", ...) of that size could not be made:
/// over the limit, or not enough memory.
std::string canvasFailureText(const char* what, uint64_t width, uint64_t height);

}  // namespace tavelune
