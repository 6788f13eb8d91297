// The size limit for pictures shown in the main window.
#include "engine/fit_within.h"

#include <algorithm>
#include <cstdint>

namespace tavelune {

bool fitWithinSize(int width, int height, int maxSide, int& newWidth, int& newHeight)
{
    // Products in 64 bits: a tall side times maxSide can pass the int range.
    const int64_t w = width;
    const int64_t h = height;
    int64_t reducedWidth;
    int64_t reducedHeight;
    if (w > h && w > maxSide) {
        reducedWidth = maxSide;
        reducedHeight = h * maxSide / w;
    } else if (h > maxSide) {
        reducedWidth = w * maxSide / h;
        reducedHeight = maxSide;
    } else {
        return false;
    }
    // A panorama thinner than width / maxSide would truncate to 0 pixels and fail to resize,
    // leaving the huge picture in place; one pixel is the sound floor.
    newWidth = int(std::max<int64_t>(reducedWidth, 1));
    newHeight = int(std::max<int64_t>(reducedHeight, 1));
    return true;
}

bool fitWithin(Image& image, int maxSide)
{
    if (maxSide <= 0)
        return false;
    int newWidth = 0;
    int newHeight = 0;
    if (!fitWithinSize(image.width(), image.height(), maxSide, newWidth, newHeight))
        return true;
    return image.resize(newWidth, newHeight, kBilinear);
}

}  // namespace tavelune
