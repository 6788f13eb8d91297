// TIFF files with floating-point samples, which libtiff's RGBA reader does not take.
#pragma once

#include <tiffio.h>

#include "engine/image.h"

namespace tavelune {

/// True when the open file's samples are IEEE floating point.
bool isFloatTiff(TIFF* tiff);

/// Reads grey, grey + alpha, RGB or RGBA samples of 16, 32 or 64 bits, in strips or tiles,
/// contiguous or planar, each clipped to 0..1 and rounded to the nearest 8-bit level (no
/// transfer curve is applied: the values are taken as display values). Anything else is
/// refused with the reason noted. out has been created at the file's size.
bool readFloatTiff(TIFF* tiff, Image& out);

}  // namespace tavelune
