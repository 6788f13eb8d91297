// The size limit for pictures shown in the main window.
#include "engine/fit_within.h"

#include <algorithm>
#include <cstdint>

namespace tavelune {

bool fitWithin(Image& image, int maxSide)
{
    if (maxSide <= 0)
        return false;
    const int64_t width = image.width();
    const int64_t height = image.height();
    // Products in 64 bits: a tall side times maxSide can pass the int range.
    int64_t newWidth;
    int64_t newHeight;
    if (width > height && width > maxSide) {
        newWidth = maxSide;
        newHeight = height * maxSide / width;
    } else if (height > maxSide) {
        newWidth = width * maxSide / height;
        newHeight = maxSide;
    } else {
        return true;
    }
    // A panorama thinner than width / maxSide would truncate to 0 pixels and fail to resize,
    // leaving the huge picture in place; one pixel is the sound floor.
    newWidth = std::max<int64_t>(newWidth, 1);
    newHeight = std::max<int64_t>(newHeight, 1);
    return image.resize(int(newWidth), int(newHeight), kBilinear);
}

}  // namespace tavelune
