// Where a 1:1 loupe looks: the region of the full-size picture under a point of the shown one.
#pragma once

#include "engine/image.h"

namespace tavelune {

/// The box of boxWidth x boxHeight full-size pixels centred on the full-size pixel under the
/// shown picture's pixel (x, y), the shown picture being the full one reduced to shownWidth x
/// shownHeight; moved inside the full picture at its edges, cut to it where the full picture
/// is smaller than the box. Empty for empty sizes.
Rect loupeRegion(int x, int y, int shownWidth, int shownHeight, int fullWidth, int fullHeight,
                 int boxWidth, int boxHeight);

/// The pixels of region (inside full) as a picture of their own; false when region is empty,
/// reaches outside or there is no memory.
bool copyRegion(const Image& full, const Rect& region, Image& out);

}  // namespace tavelune
