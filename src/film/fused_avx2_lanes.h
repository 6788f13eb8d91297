// The AVX2 lane helpers that the fused chains' kernels share, and the test of which colours
// may lie in a hue band. Only for the kernels' own files.
#pragma once

#if defined(__x86_64__)
#include <immintrin.h>

#include <cstring>

#include "film/fused_vector.h"

#define TAVELUNE_AVX2 __attribute__((target("avx2")))

namespace tavelune::avx2 {

using V = __m256i;

/// The alpha byte of an opaque pixel, one channel's bits and its largest value, and a whole
/// in percent.
inline constexpr int kOpaque = int(0xFF000000u);
inline constexpr int kByte = 0xFF;
inline constexpr int kMaxByte = 255;
inline constexpr int kPercent = 100;

TAVELUNE_AVX2 inline V splat(int v)
{
    return _mm256_set1_epi32(v);
}

TAVELUNE_AVX2 inline V channel(V pixels, int shift)
{
    return _mm256_and_si256(_mm256_srli_epi32(pixels, shift), splat(kByte));
}

TAVELUNE_AVX2 inline V opaquePixels(V r, V g, V b)
{
    V rg = _mm256_or_si256(_mm256_slli_epi32(r, 16), _mm256_slli_epi32(g, 8));
    return _mm256_or_si256(_mm256_or_si256(rg, b), splat(kOpaque));
}

TAVELUNE_AVX2 inline V atLeast(V a, V b)
{
    return _mm256_xor_si256(_mm256_cmpgt_epi32(b, a), splat(-1));
}

TAVELUNE_AVX2 inline V atMost(V a, V b)
{
    return atLeast(b, a);
}

TAVELUNE_AVX2 inline V select(V mask, V ifFalse, V ifTrue)
{
    return _mm256_blendv_epi8(ifFalse, ifTrue, mask);
}

TAVELUNE_AVX2 inline bool none(V mask)
{
    return _mm256_testz_si256(mask, mask);
}

// Eight lanes of doubles in two halves, for the HSV steps: the same operations in the same
// order as the one-pixel code, so every rounding is the same.
struct D8 {
    __m256d lo, hi;
};

TAVELUNE_AVX2 inline D8 toDouble(V x)
{
    return {_mm256_cvtepi32_pd(_mm256_castsi256_si128(x)),
            _mm256_cvtepi32_pd(_mm256_extracti128_si256(x, 1))};
}

TAVELUNE_AVX2 inline D8 splatD(double v)
{
    return {_mm256_set1_pd(v), _mm256_set1_pd(v)};
}

TAVELUNE_AVX2 inline D8 operator+(D8 a, D8 b)
{
    return {_mm256_add_pd(a.lo, b.lo), _mm256_add_pd(a.hi, b.hi)};
}
TAVELUNE_AVX2 inline D8 operator-(D8 a, D8 b)
{
    return {_mm256_sub_pd(a.lo, b.lo), _mm256_sub_pd(a.hi, b.hi)};
}
TAVELUNE_AVX2 inline D8 operator*(D8 a, D8 b)
{
    return {_mm256_mul_pd(a.lo, b.lo), _mm256_mul_pd(a.hi, b.hi)};
}
TAVELUNE_AVX2 inline D8 operator/(D8 a, D8 b)
{
    return {_mm256_div_pd(a.lo, b.lo), _mm256_div_pd(a.hi, b.hi)};
}

// int(x): truncation toward zero.
TAVELUNE_AVX2 inline V truncated(D8 x)
{
    return _mm256_set_m128i(_mm256_cvttpd_epi32(x.hi), _mm256_cvttpd_epi32(x.lo));
}

// double(float(x)).
TAVELUNE_AVX2 inline D8 throughFloat(D8 x)
{
    return {_mm256_cvtps_pd(_mm256_cvtpd_ps(x.lo)), _mm256_cvtps_pd(_mm256_cvtpd_ps(x.hi))};
}

// A 32-bit lane mask widened to the halves' 64-bit lanes.
TAVELUNE_AVX2 inline D8 selectD(V mask, D8 ifFalse, D8 ifTrue)
{
    __m256d lo = _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm256_castsi256_si128(mask)));
    __m256d hi = _mm256_castsi256_pd(_mm256_cvtepi32_epi64(_mm256_extracti128_si256(mask, 1)));
    return {_mm256_blendv_pd(ifFalse.lo, ifTrue.lo, lo),
            _mm256_blendv_pd(ifFalse.hi, ifTrue.hi, hi)};
}

struct Rgb {
    V r, g, b;
};

TAVELUNE_AVX2 inline Rgb channels(V pixels)
{
    return {channel(pixels, 16), channel(pixels, 8), channel(pixels, 0)};
}

// bandsThatMayHold of FusedColourCore, one lane mask per band.
TAVELUNE_AVX2 inline void velviaBandLanes(const Rgb& c, V lanes[4])
{
    V r = c.r, g = c.g, b = c.b;
    V max = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
    V d = _mm256_sub_epi32(max, _mm256_min_epi32(_mm256_min_epi32(r, g), b));
    V redMax = _mm256_cmpeq_epi32(r, max);
    V greenMax = _mm256_andnot_si256(redMax, _mm256_cmpeq_epi32(g, max));
    V blueMax = _mm256_andnot_si256(_mm256_or_si256(redMax, greenMax), splat(-1));
    V hundred = splat(kPercent);
    V margin73 = _mm256_mullo_epi32(splat(kVelviaBandOuterMargin), d);
    V margin27 = _mm256_mullo_epi32(splat(kVelviaBandInnerMargin), d);
    V minus73 = _mm256_sub_epi32(_mm256_setzero_si256(), margin73);
    V minus27 = _mm256_sub_epi32(_mm256_setzero_si256(), margin27);
    V greenQ = _mm256_mullo_epi32(hundred, _mm256_sub_epi32(b, r));
    V redQ = _mm256_mullo_epi32(hundred, _mm256_sub_epi32(g, b));
    V blueQ = _mm256_mullo_epi32(hundred, _mm256_sub_epi32(g, r));
    V grey = _mm256_cmpeq_epi32(d, _mm256_setzero_si256());
    V yellows = _mm256_or_si256(_mm256_and_si256(redMax, atLeast(redQ, margin73)),
                                _mm256_and_si256(greenMax, atMost(greenQ, minus73)));
    V greens = _mm256_and_si256(
        greenMax, _mm256_and_si256(atLeast(greenQ, minus27), atMost(greenQ, margin27)));
    V cyans = _mm256_or_si256(_mm256_and_si256(greenMax, atLeast(greenQ, margin73)),
                              _mm256_and_si256(blueMax, atLeast(blueQ, margin73)));
    lanes[0] = _mm256_andnot_si256(grey, yellows);
    lanes[1] = _mm256_andnot_si256(grey, greens);
    lanes[2] = _mm256_andnot_si256(grey, cyans);
    lanes[3] = _mm256_setzero_si256();
}

// FusedSlideCore::bands, one lane mask per band.
TAVELUNE_AVX2 inline void slideBandLanes(const ColourCoreKernel& k, const Rgb& c, V lanes[4])
{
    V r = c.r, g = c.g, b = c.b;
    V max = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
    V d = _mm256_sub_epi32(max, _mm256_min_epi32(_mm256_min_epi32(r, g), b));
    V sixD = _mm256_mullo_epi32(splat(kSixthsPerCircle), d);
    V redSixths =
        _mm256_add_epi32(_mm256_sub_epi32(g, b), _mm256_and_si256(_mm256_cmpgt_epi32(b, g), sixD));
    V greenSixths = _mm256_add_epi32(_mm256_add_epi32(d, d), _mm256_sub_epi32(b, r));
    V blueSixths = _mm256_add_epi32(_mm256_slli_epi32(d, 2), _mm256_sub_epi32(r, g));
    V sixths = select(_mm256_cmpeq_epi32(g, max), blueSixths, greenSixths);
    sixths = select(_mm256_cmpeq_epi32(r, max), sixths, redSixths);
    V scaled = _mm256_mullo_epi32(splat(kHundredthsPerSixth), sixths);
    V hasHue = _mm256_cmpgt_epi32(d, _mm256_setzero_si256());
    for (int i = 0; i < 4; ++i) {
        if (i >= k.bandCount) {
            lanes[i] = _mm256_setzero_si256();
        } else if (k.always >> i & 1) {
            lanes[i] = splat(-1);
        } else {
            V low = _mm256_mullo_epi32(splat(k.low[i]), d);
            V high = _mm256_mullo_epi32(splat(k.high[i]), d);
            lanes[i] = _mm256_and_si256(
                hasHue, _mm256_and_si256(atLeast(scaled, low), atMost(scaled, high)));
        }
    }
}

TAVELUNE_AVX2 inline void bandLanes(const ColourCoreKernel& k, const Rgb& c, V lanes[4])
{
    if (k.velviaBands)
        velviaBandLanes(c, lanes);
    else
        slideBandLanes(k, c, lanes);
}

TAVELUNE_AVX2 inline V anyLane(const V lanes[4])
{
    return _mm256_or_si256(_mm256_or_si256(lanes[0], lanes[1]),
                           _mm256_or_si256(lanes[2], lanes[3]));
}

// Runs eight pixels at a time; the last few through a padded copy.
template <typename Eight>
TAVELUNE_AVX2 inline void runEights(const uint32_t* src, uint32_t* dst, size_t n, Eight eight)
{
    size_t i = 0;
    for (; i + 8 <= n; i += 8) {
        V p = _mm256_loadu_si256(reinterpret_cast<const V*>(src + i));
        _mm256_storeu_si256(reinterpret_cast<V*>(dst + i), eight(p, i));
    }
    if (i < n) {
        alignas(32) uint32_t tail[8] = {};
        std::memcpy(tail, src + i, (n - i) * sizeof(uint32_t));
        V p = _mm256_load_si256(reinterpret_cast<const V*>(tail));
        _mm256_store_si256(reinterpret_cast<V*>(tail), eight(p, i));
        std::memcpy(dst + i, tail, (n - i) * sizeof(uint32_t));
    }
}

}  // namespace tavelune::avx2

#endif
