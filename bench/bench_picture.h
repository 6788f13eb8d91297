// A photograph-like test picture for the film benchmarks: smooth colour fields with grain.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

#include "engine/image.h"
#include "pixel/pixel.h"

namespace tavelune::bench {

inline Image photoLikePicture(int width, int height)
{
    Image image;
    image.create(width, height, 72.0f);
    static constexpr double kPhase[3] = {0.0, 1.7, 3.1};
    // Separable fields: the transcendental functions once per row and per column.
    std::vector<double> across(size_t(width) * 3);
    std::vector<double> down(size_t(height) * 3);
    for (int c = 0; c < 3; ++c) {
        for (int x = 0; x < width; ++x)
            across[size_t(x) * 3 + size_t(c)] = std::sin(6.0 * x / width + kPhase[c]);
        for (int y = 0; y < height; ++y)
            down[size_t(y) * 3 + size_t(c)] = 100 * std::cos(4.0 * y / height - kPhase[c]);
    }
    uint32_t state = 12345;
    for (int y = 0; y < height; ++y) {
        uint32_t* row = image.rowFromTop(y);
        const double* v = &down[size_t(y) * 3];
        for (int x = 0; x < width; ++x) {
            const double* u = &across[size_t(x) * 3];
            state = state * 1664525u + 1013904223u;
            int grain = int((state >> 24) % 17) - 8;
            auto channel = [&](int c) {
                return std::clamp(int(128 + u[c] * v[c]) + grain, 0, 255);
            };
            row[x] = makePixel(255, channel(2), channel(1), channel(0));
        }
    }
    return image;
}

}  // namespace tavelune::bench
