// Bringing a picture within a largest side, as every newly opened picture is.
#pragma once

#include "engine/image.h"

namespace tavelune {

/// Reduces (bilinear) a picture whose longer side exceeds maxSide so that side becomes
/// maxSide and the other keeps the proportion, truncated; when the width is strictly the
/// longer side it leads. The shorter side never drops below 1 pixel. A picture already
/// within maxSide is left alone. False, the picture unchanged, for a maxSide below 1 or when
/// the resize fails (no memory).
bool fitWithin(Image& image, int maxSide);

/// The size fitWithin reduces a width x height picture to; false when it leaves it alone.
bool fitWithinSize(int width, int height, int maxSide, int& newWidth, int& newHeight);

}  // namespace tavelune
