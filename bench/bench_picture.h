// A photograph-like test picture for the film benchmarks: smooth colour fields with grain.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "engine/image.h"
#include "film/pixel.h"

namespace tavelune::bench {

inline Image photoLikePicture(int width, int height)
{
    Image image;
    image.create(width, height, 72.0f);
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        uint32_t* row = image.rowFromTop(y);
        double v = double(y) / height;
        for (int x = 0; x < width; ++x) {
            double u = double(x) / width;
            state = state * 1664525u + 1013904223u;
            int grain = int((state >> 24) % 17) - 8;
            auto channel = [&](double phase) {
                double base = 128 + 100 * std::sin(6.0 * u + phase) * std::cos(4.0 * v - phase);
                return std::clamp(int(base) + grain, 0, 255);
            };
            row[x] = makePixel(255, channel(0.0), channel(1.7), channel(3.1));
        }
    }
    return image;
}

}  // namespace tavelune::bench
