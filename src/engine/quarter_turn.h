// Quarter turns of a picture's pixels: the cache-friendly kernel and its per-pixel yardstick.
#pragma once

#include <cstdint>

#include "engine/image.h"

namespace tavelune {

/// Fills out (height x width pixels, bottom-up) with the source turned a quarter clockwise
/// (new column x, row y from the top = old column y, row H - 1 - x) or counter-clockwise
/// (old column W - 1 - y, row x). Works in tiles on several cores.
void turnPixels(const Image& source, bool clockwise, uint32_t* out);

/// The same permutation one pixel at a time in output order; kept to test and measure against.
void turnPixelsByPixel(const Image& source, bool clockwise, uint32_t* out);

}  // namespace tavelune
