// EXIF orientation: each value is undone with the picture's own turns and flips.
#include "engine/exif_orientation.h"

namespace tavelune {

bool applyExifOrientation(Image& image, int orientation)
{
    switch (orientation) {
    case 2:
        image.mirrorHorizontal();
        return true;
    case 3:
        image.flipVertical();
        image.mirrorHorizontal();
        return true;
    case 4:
        image.flipVertical();
        return true;
    case 5:
        if (!image.rotate(-90))
            return false;
        image.flipVertical();
        return true;
    case 6:
        return image.rotate(90);
    case 7:
        if (!image.rotate(90))
            return false;
        image.flipVertical();
        return true;
    case 8:
        return image.rotate(-90);
    default:
        return true;
    }
}

}  // namespace tavelune
