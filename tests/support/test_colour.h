// Colour references made with LittleCMS at test time, to hold our conversions against.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/image.h"

namespace tavelune::reference {

/// Adobe RGB (1998) as LittleCMS makes it from its primaries: far from sRGB in greens and reds.
std::vector<std::uint8_t> adobeRgbProfile();

/// LittleCMS's own sRGB copy of a picture tagged icc (perceptual, black-point compensation);
/// empty when LittleCMS refuses the profile.
Image lcmsSrgbCopy(const Image& picture, const std::vector<std::uint8_t>& icc);

/// The largest difference of a red, green or blue level between two pictures of one size.
int largestChannelDifference(const Image& a, const Image& b);

/// Flat patches of patch x patch pixels, eight columns by three rows: primaries, secondaries,
/// skin and foliage tones, greys.
Image patchChart(int patch);

}  // namespace tavelune::reference
