// Resampling a picture to a new pixel size: the fast row-wise kernel and its per-pixel yardstick.
#pragma once

#include <cstdint>

#include "engine/image.h"

namespace tavelune {

/// Fills out (newWidth x newHeight pixels, bottom-up) with source.sample(j * W / newWidth,
/// i * H / newHeight, mode) for every new column j and row i. Per-column and per-row
/// positions and weights are worked out once and rows run on several cores; the bytes are
/// those of the per-pixel loop. Sizes must be positive.
void resamplePixels(const Image& source, int newWidth, int newHeight, int samplerMode,
                    uint32_t* out);

/// The same result by calling sample() for every pixel; kept to test and measure against.
void resamplePixelsBySample(const Image& source, int newWidth, int newHeight, int samplerMode,
                            uint32_t* out);

}  // namespace tavelune
