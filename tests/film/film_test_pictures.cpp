// Test pictures made in code.
#include "film_test_pictures.h"

#include <algorithm>
#include <cstring>

#include "pixel/pixel.h"

namespace tavelune::test {

Image variedColourPicture(int width, int height, uint32_t seed)
{
    Image image;
    image.create(width, height, 72.0f);
    uint32_t* p = image.pixels();
    size_t n = image.pixelCount();
    static constexpr int kEdges[] = {0,   1,   2,   3,   15,  16,  63,  64,  126, 127,
                                     128, 129, 191, 192, 239, 240, 252, 253, 254, 255};
    size_t i = 0;
    for (int r : kEdges)
        for (int g : kEdges)
            for (int b : kEdges)
                if (i < n)
                    p[i++] = makePixel(255, r, g, b);
    for (int v = 0; v < 256 && i + 4 <= n; ++v) {
        p[i++] = makePixel(255, v, v, v);
        p[i++] = makePixel(255, v, 0, 0);
        p[i++] = makePixel(255, 0, v, 0);
        p[i++] = makePixel(255, 0, 0, v);
    }
    uint32_t state = seed * 2654435761u + 1;
    for (; i < n; ++i) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        p[i] = state;
    }
    return image;
}

Image allColoursPicture()
{
    Image image;
    image.create(4096, 4096, 72.0f);
    uint32_t* p = image.pixels();
    for (uint32_t i = 0; i < (1u << 24); ++i) p[i] = 0xFF000000u | i;
    return image;
}

std::vector<uint32_t> pixelsOf(const Image& image)
{
    std::vector<uint32_t> out;
    out.reserve(image.pixelCount());
    for (int y = 0; y < image.height(); ++y) {
        const uint32_t* row = image.rowFromTop(y);
        out.insert(out.end(), row, row + image.width());
    }
    return out;
}

}  // namespace tavelune::test
