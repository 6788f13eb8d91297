// Arithmetic shared by Image::sample, the row-wise resampler and the row-by-row reduction, so
// all give the same bytes.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tavelune::detail {

inline uint32_t channelOf(uint32_t pixel, int shift)
{
    return (pixel >> shift) & 0xFF;
}

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

/// Output pixel i of a resampled axis sits at i * step of the source; last is its last index.
struct Axis {
    double step;
    int last;
    double position(int i) const { return i * step; }
};

/// The two source indices a bilinear sample blends along one axis, and the weight of the second.
struct LinearTap {
    int first;
    int second;
    double fraction;
};

inline LinearTap linearTap(const Axis& axis, int i)
{
    const double position = axis.position(i);
    const int first = std::clamp(int(position), 0, axis.last);
    return {first, first < axis.last ? first + 1 : first, position - first};
}

/// One bilinear output row of width pixels from two source rows, with each column's taps.
inline void bilinearRow(const uint32_t* upper, const uint32_t* lower, const LinearTap* columns,
                        int width, double rowFraction, uint32_t* out)
{
    for (int j = 0; j < width; ++j) {
        const LinearTap& tap = columns[j];
        const uint32_t p00 = upper[tap.first], p10 = upper[tap.second];
        const uint32_t p01 = lower[tap.first], p11 = lower[tap.second];
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t top =
                lerpByte(channelOf(p00, shift), channelOf(p10, shift), tap.fraction);
            const uint32_t bottom =
                lerpByte(channelOf(p01, shift), channelOf(p11, shift), tap.fraction);
            result |= (lerpByte(top, bottom, rowFraction) & 0xFF) << shift;
        }
        out[j] = result;
    }
}

}  // namespace tavelune::detail
