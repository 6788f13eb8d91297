// Arithmetic shared by Image::sample and the row-wise resampler, so both give the same bytes.
#pragma once

#include <cmath>
#include <cstdint>

namespace tavelune::detail {

inline uint32_t channelOf(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

inline double cubicWeight(double t)
{
    t = std::fabs(t);
    if (t < 1.0)
        return 1.0 - 2.0 * t * t + t * t * t;
    if (t < 2.0)
        return 4.0 - 8.0 * t + 5.0 * t * t - t * t * t;
    return 0.0;
}

/// a + f * (b - a), truncated.
inline uint32_t lerpByte(uint32_t a, uint32_t b, double f)
{
    return uint32_t(double(a) + f * (double(b) - double(a)));
}

/// The four kernel weights for a fraction f: w(f + 1), w(f), w(1 - f), w(2 - f).
inline void cubicWeights(double f, double weights[4])
{
    weights[0] = cubicWeight(f + 1);
    weights[1] = cubicWeight(f);
    weights[2] = cubicWeight(1 - f);
    weights[3] = cubicWeight(2 - f);
}

}  // namespace tavelune::detail
