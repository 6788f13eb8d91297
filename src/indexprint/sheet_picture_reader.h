// Reading one picture for a cell of the index sheet, large JPEGs decoded reduced.
#pragma once

#include <string>
#include <vector>

#include "engine/image.h"
#include "engine/image_error.h"

namespace tavelune {

/// A picture read for the sheet, with what its reading had to say.
struct SheetPicture {
    bool opened = false;
    Image picture;
    /// The stored size before any reduction: the fitted rectangle is computed from it, so a
    /// reduced picture lands on exactly the pixels the full one would.
    int sourceWidth = 0;
    int sourceHeight = 0;
    /// The boxes its reading met, in order, for the sheet to hand on in sheet order.
    Warnings<ImageError> boxes;
};

/// The DCT reduction (1, 2, 4 or 8) for a width x height picture shown in a cellWidth x
/// cellHeight cell with fitMode. The yardstick is the fitted rectangle (fitRectangle of the
/// whole cell), not the cell: a filling picture is drawn larger than its cell and clipped, so
/// it needs more pixels. The stored width is measured against the rectangle's width and the
/// stored height against its height (the sheet draws pictures as stored, without turning them
/// by their EXIF orientation). The result is the strongest reduction d that leaves at least
/// twice the rectangle in both dimensions, width >= 2 d w and height >= 2 d h; so a picture
/// is reduced once it is at least four times its rectangle each way, and one of exactly 16
/// times decodes at 1/8 to exactly twice.
int sheetPictureReduction(int width, int height, int cellWidth, int cellHeight, int fitMode);

/// Reads path into out (reset first). When reduceLargeJpeg is set, a JPEG is decoded at
/// sheetPictureReduction and a camera raw gives its embedded preview if that covers the
/// picture's rectangle in the cell; every other picture (and a raw without such a preview) is
/// opened as ImageHandle::open does. A picture with a colour profile comes in sRGB's colours,
/// as the sheet is tagged. The boxes met are in out.boxes. Does not throw.
void readSheetPicture(const std::string& path, int cellWidth, int cellHeight, int fitMode,
                      bool reduceLargeJpeg, SheetPicture& out, bool upright = false);

}  // namespace tavelune
