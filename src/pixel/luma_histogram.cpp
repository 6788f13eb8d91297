// The histogram count.
#include "pixel/luma_histogram.h"

#include <algorithm>

#include "pixel/luma.h"

namespace tavelune {

void lumaHistogram(uint32_t* hist, const uint32_t* pixels, uint32_t n,
                   const std::atomic<int>* stopFlag)
{
    if (!hist)
        return;
    std::fill_n(hist, 1024, 0u);
    if (!pixels)
        return;
    for (uint32_t i = 0; i < n; ++i) {
        if (stopFlag && stopFlag->load(std::memory_order_relaxed) != 0)
            return;
        uint32_t p = pixels[i];
        ++hist[lumaOf(p)];
        ++hist[256 + redOf(p)];
        ++hist[512 + greenOf(p)];
        ++hist[768 + blueOf(p)];
    }
}

}  // namespace tavelune
