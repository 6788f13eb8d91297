// Pictures for the film tests: many different colours, edge values included.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/image.h"

namespace tavelune::test {

/// Every combination of the channel values that sit on a formula's branch points, then
/// pseudo-random colours (random alpha too) up to width x height pixels.
Image variedColourPicture(int width, int height, uint32_t seed = 1);

/// All 16,777,216 colours, opaque, in a 4096 x 4096 picture.
Image allColoursPicture();

/// The picture's pixels top row first.
std::vector<uint32_t> pixelsOf(const Image& image);

}  // namespace tavelune::test
