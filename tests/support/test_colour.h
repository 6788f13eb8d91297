// Colour references made with LittleCMS at test time, to hold our conversions against.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image.h"

namespace tavelune::reference {

/// Adobe RGB (1998) as LittleCMS makes it from its primaries: far from sRGB in greens and reds.
std::vector<std::uint8_t> adobeRgbProfile();

/// Display P3 (P3 primaries, D65, the sRGB curve) as LittleCMS makes it.
std::vector<std::uint8_t> displayP3Profile();

/// A matrix-shaper profile whose curves are sampled tables (1024 points), not formulas.
std::vector<std::uint8_t> sampledCurveProfile();

/// An RGB profile that is a table to Lab, not a matrix and curves.
std::vector<std::uint8_t> rgbTableProfile();

/// A CMYK printing profile made by LittleCMS from a simple ink model (a table from inks to Lab,
/// the inks a little impure so that it is not the built-in formula).
std::vector<std::uint8_t> cmykProfile();

/// Writes a CMYK JPEG of smoothly changing inks (all four over the picture) carrying icc in one
/// APP2 segment (at most 65519 bytes); false when it cannot.
bool writeCmykJpeg(const std::string& path, int width, int height,
                   const std::vector<std::uint8_t>& icc);

/// LittleCMS's own sRGB picture of a CMYK JPEG file's inks through icc (perceptual, black-point
/// compensation), the inks read by libjpeg; empty when either refuses.
Image lcmsSrgbFromCmykJpeg(const std::string& path, const std::vector<std::uint8_t>& icc);

/// LittleCMS's own sRGB copy of a picture tagged icc (perceptual, black-point compensation);
/// empty when LittleCMS refuses the profile.
Image lcmsSrgbCopy(const Image& picture, const std::vector<std::uint8_t>& icc);

/// The largest difference of a red, green or blue level between two pictures of one size.
int largestChannelDifference(const Image& a, const Image& b);

/// Flat patches of patch x patch pixels, eight columns by three rows: primaries, secondaries,
/// skin and foliage tones, greys.
Image patchChart(int patch);

}  // namespace tavelune::reference
