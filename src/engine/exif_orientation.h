// Turning a freshly opened picture upright from the EXIF Orientation value of its file.
#pragma once

#include "engine/image.h"

namespace tavelune {

/// Applies the turns and flips that make a picture stored with this Orientation value
/// (1..8) display upright; other values leave it alone. False only when a quarter turn
/// could not get its memory, the picture then being as it was.
bool applyExifOrientation(Image& image, int orientation);

}  // namespace tavelune
