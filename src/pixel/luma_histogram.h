// Luma and per-channel histogram of a pixel run, stoppable from another thread.
#pragma once

#include <atomic>
#include <cstdint>

namespace tavelune {

/// hist holds 1,024 counters: luma, then red, green and blue, 256 each. Counting stops before
/// the first pixel at which *stopFlag is non-zero (a null flag never stops).
void lumaHistogram(uint32_t* hist, const uint32_t* pixels, uint32_t n,
                   const std::atomic<int>* stopFlag);

}  // namespace tavelune
