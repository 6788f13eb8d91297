// Placing a picture in a frame: fit inside, fit one axis, fill, or stretch.
#pragma once

#include "engine/image.h"

namespace tavelune {

enum FitMode : int { kFitInside = 0, kFitWidth = 1, kFitHeight = 2, kFitFill = 3 };

/// The rectangle a pictureWidth x pictureHeight picture takes in frame. Sizes are rounded half
/// up; a free space s is split with (s + 1) / 2 before the picture, so an odd overflow puts
/// the extra pixel after it. Any mode outside 0..3 (and a picture without pixels) gives the
/// frame itself.
Rect fitRectangle(const Rect& frame, int pictureWidth, int pictureHeight, int mode);

}  // namespace tavelune
