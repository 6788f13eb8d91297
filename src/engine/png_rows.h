// Writing RGB rows as a PNG stream, for the outputs that are not an open/save format (LUTs,
// histograms, the docs' pictures).
#pragma once

#include <cstdio>

namespace tavelune {

/// Writes height rows of width RGB samples (8 or 16 bits each, 16-bit samples big-endian),
/// top row first, to file. A dpi of 0 or more is stored as the resolution. False on any failure.
bool writeRgbPngRows(std::FILE* file, unsigned char* const* rows, int width, int height,
                     int bitDepth, float dpi = -1.0f);

}  // namespace tavelune
