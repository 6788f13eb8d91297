// Shared helpers of the codec tests: pictures made in code and pixel comparison.
#pragma once

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/image.h"

namespace tavelune::test {

/// A picture whose every pixel differs from its neighbours, alpha included when withAlpha.
inline Image patternPicture(int w, int h, bool withAlpha, float dpi = 72.0f)
{
    Image image;
    image.create(w, h, dpi);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            uint32_t r = uint32_t(x * 37 + y * 11) & 0xFF, g = uint32_t(x * 5 + y * 53) & 0xFF,
                     b = uint32_t(x * y * 7 + 3) & 0xFF;
            uint32_t a = withAlpha ? uint32_t(x * 29 + y * 17 + 1) & 0xFF : 0xFF;
            image.rowFromTop(y)[x] = (a << 24) | (r << 16) | (g << 8) | b;
        }
    return image;
}

inline std::vector<uint32_t> topDownPixels(const Image& image)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < image.height(); ++y)
        out.insert(out.end(), image.rowFromTop(y), image.rowFromTop(y) + image.width());
    return out;
}

/// Six flat patches of patch x patch pixels in three columns and two rows, upright.
using PatchColours = uint32_t[2][3];
inline Image patchPicture(const PatchColours& colours, int patch)
{
    Image image;
    image.create(3 * patch, 2 * patch, 72.0f);
    for (int y = 0; y < 2 * patch; ++y)
        for (int x = 0; x < 3 * patch; ++x)
            image.rowFromTop(y)[x] = colours[y / patch][x / patch];
    return image;
}

/// The largest difference of the red, green and blue levels of two pixels.
inline int channelDifference(uint32_t a, uint32_t b)
{
    int worst = 0;
    for (int shift : {0, 8, 16}) {
        const int d = int((a >> shift) & 0xFF) - int((b >> shift) & 0xFF);
        worst = std::max(worst, d < 0 ? -d : d);
    }
    return worst;
}

inline bool samePixels(const Image& a, const Image& b)
{
    return a.width() == b.width() && a.height() == b.height() &&
           topDownPixels(a) == topDownPixels(b);
}

}  // namespace tavelune::test
