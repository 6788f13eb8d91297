// The fused chains' vector kernels in AVX2, compiled per function so the rest of the program
// still runs on any x86-64; every step gives the one-pixel path's integers exactly.
#include <atomic>
#include <cstring>

#include "film/fused_vector.h"
#include "pixel/luma.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define TAVELUNE_AVX2 __attribute__((target("avx2")))
#endif

namespace tavelune {
namespace {

bool cpuHasVector()
{
#if defined(__x86_64__)
    return __builtin_cpu_supports("avx2");
#else
    return false;
#endif
}

std::atomic<bool> g_vectorEnabled{cpuHasVector()};

}  // namespace

bool fusedVectorAvailable()
{
    return cpuHasVector();
}

bool fusedVectorEnabled()
{
    return g_vectorEnabled.load(std::memory_order_relaxed);
}

void setFusedVectorEnabled(bool enabled)
{
    g_vectorEnabled.store(enabled && cpuHasVector(), std::memory_order_relaxed);
}

#if defined(__x86_64__)
namespace {

using V = __m256i;

TAVELUNE_AVX2 inline V splat(int v)
{
    return _mm256_set1_epi32(v);
}

// trunc(x / 255) for |x| <= 65025: |x| * ceil(2^23 / 255) >> 23 is exact there (a test tries
// every x) and stays below 2^31.
TAVELUNE_AVX2 inline V div255(V x)
{
    V q = _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_abs_epi32(x), splat(32897)), 23);
    return _mm256_sign_epi32(q, x);
}

// floor(x / 3) for 0 <= x <= 765, by ceil(2^17 / 3).
TAVELUNE_AVX2 inline V div3(V x)
{
    return _mm256_srli_epi32(_mm256_mullo_epi32(x, splat(43691)), 17);
}

// blend::byAlphaMultiplied.
TAVELUNE_AVX2 inline V byAlpha(V a, V b, V alpha)
{
    return _mm256_add_epi32(b, div255(_mm256_mullo_epi32(_mm256_sub_epi32(a, b), alpha)));
}

TAVELUNE_AVX2 inline V gather(const int32_t* table, V index)
{
    return _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), index, 4);
}

// table[index] of a byte table that can be read 3 bytes past its last entry.
TAVELUNE_AVX2 inline V gatherByte(const uint8_t* table, V index)
{
    V word = _mm256_i32gather_epi32(reinterpret_cast<const int*>(table), index, 1);
    return _mm256_and_si256(word, splat(0xFF));
}

TAVELUNE_AVX2 inline V channel(V pixels, int shift)
{
    return _mm256_and_si256(_mm256_srli_epi32(pixels, shift), splat(0xFF));
}

TAVELUNE_AVX2 inline V opaquePixels(V r, V g, V b)
{
    V rg = _mm256_or_si256(_mm256_slli_epi32(r, 16), _mm256_slli_epi32(g, 8));
    return _mm256_or_si256(_mm256_or_si256(rg, b), splat(int(0xFF000000u)));
}

TAVELUNE_AVX2 inline V clampByte(V v)
{
    return _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), splat(255));
}

// blend::screen(s, s) and blend::multiply(s, s); the product table holds exact products.
TAVELUNE_AVX2 inline V screenOfItself(V s)
{
    V inverse = _mm256_sub_epi32(splat(255), s);
    return _mm256_sub_epi32(splat(254), _mm256_srli_epi32(_mm256_mullo_epi32(inverse, inverse), 8));
}

TAVELUNE_AVX2 inline V squareOf(V s)
{
    return _mm256_srli_epi32(_mm256_mullo_epi32(s, s), 8);
}

TAVELUNE_AVX2 inline V atLeast(V a, V b)
{
    return _mm256_xor_si256(_mm256_cmpgt_epi32(b, a), splat(-1));
}

TAVELUNE_AVX2 inline V atMost(V a, V b)
{
    return atLeast(b, a);
}

// Lanes for which bandsThatMayHold of FusedColourCore is not 0.
TAVELUNE_AVX2 V velviaBandLanes(V r, V g, V b)
{
    V max = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
    V d = _mm256_sub_epi32(max, _mm256_min_epi32(_mm256_min_epi32(r, g), b));
    V redMax = _mm256_cmpeq_epi32(r, max);
    V greenMax = _mm256_andnot_si256(redMax, _mm256_cmpeq_epi32(g, max));
    V blueMax = _mm256_andnot_si256(_mm256_or_si256(redMax, greenMax), splat(-1));
    V hundred = splat(100);
    V margin73 = _mm256_mullo_epi32(splat(73), d);
    V margin27 = _mm256_mullo_epi32(splat(27), d);
    V minus73 = _mm256_sub_epi32(_mm256_setzero_si256(), margin73);
    V minus27 = _mm256_sub_epi32(_mm256_setzero_si256(), margin27);
    V greenQ = _mm256_mullo_epi32(hundred, _mm256_sub_epi32(b, r));
    V redQ = _mm256_mullo_epi32(hundred, _mm256_sub_epi32(g, b));
    V blueQ = _mm256_mullo_epi32(hundred, _mm256_sub_epi32(g, r));
    V yellows = _mm256_or_si256(_mm256_and_si256(redMax, atLeast(redQ, margin73)),
                                _mm256_and_si256(greenMax, atMost(greenQ, minus73)));
    V greens = _mm256_and_si256(greenMax, _mm256_and_si256(atLeast(greenQ, minus27),
                                                           atMost(greenQ, margin27)));
    V cyans = _mm256_or_si256(_mm256_and_si256(greenMax, atLeast(greenQ, margin73)),
                              _mm256_and_si256(blueMax, atLeast(blueQ, margin73)));
    V any = _mm256_or_si256(_mm256_or_si256(yellows, greens), cyans);
    return _mm256_andnot_si256(_mm256_cmpeq_epi32(d, _mm256_setzero_si256()), any);
}

// Lanes for which FusedSlideCore::bands is not 0.
TAVELUNE_AVX2 V slideBandLanes(const ColourCoreKernel& k, V r, V g, V b)
{
    if (k.always)
        return splat(-1);
    V max = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
    V d = _mm256_sub_epi32(max, _mm256_min_epi32(_mm256_min_epi32(r, g), b));
    V sixD = _mm256_mullo_epi32(splat(6), d);
    V redSixths = _mm256_add_epi32(_mm256_sub_epi32(g, b),
                                   _mm256_and_si256(_mm256_cmpgt_epi32(b, g), sixD));
    V greenSixths = _mm256_add_epi32(_mm256_add_epi32(d, d), _mm256_sub_epi32(b, r));
    V blueSixths = _mm256_add_epi32(_mm256_slli_epi32(d, 2), _mm256_sub_epi32(r, g));
    V redMax = _mm256_cmpeq_epi32(r, max);
    V greenMax = _mm256_cmpeq_epi32(g, max);
    V sixths = _mm256_blendv_epi8(blueSixths, greenSixths, greenMax);
    sixths = _mm256_blendv_epi8(sixths, redSixths, redMax);
    V scaled = _mm256_mullo_epi32(splat(6000), sixths);
    V any = _mm256_setzero_si256();
    for (int i = 0; i < k.bandCount; ++i) {
        V low = _mm256_mullo_epi32(splat(k.low[i]), d);
        V high = _mm256_mullo_epi32(splat(k.high[i]), d);
        any = _mm256_or_si256(any, _mm256_and_si256(atLeast(scaled, low), atMost(scaled, high)));
    }
    return _mm256_andnot_si256(_mm256_cmpeq_epi32(d, _mm256_setzero_si256()), any);
}

TAVELUNE_AVX2 V colourCore8(const ColourCoreKernel& k, V pixels)
{
    V s[3] = {channel(pixels, 16), channel(pixels, 8), channel(pixels, 0)};
    V screenSum = _mm256_add_epi32(_mm256_add_epi32(screenOfItself(s[0]), screenOfItself(s[1])),
                                   screenOfItself(s[2]));
    V square[3] = {squareOf(s[0]), squareOf(s[1]), squareOf(s[2])};
    V squareSum = _mm256_add_epi32(_mm256_add_epi32(square[0], square[1]), square[2]);
    V row = _mm256_slli_epi32(div3(screenSum), 8);
    // colourHighlightWeight of the square layer's mean.
    V e = _mm256_min_epi32(_mm256_add_epi32(div3(squareSum), splat(16)), splat(255));
    V highlight = _mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(e, e), 8), splat(1));
    V strength = splat(k.strength);
    V d[3];
    for (int c = 0; c < 3; ++c) {
        V layered = gatherByte(k.layered, _mm256_add_epi32(row, s[c]));
        d[c] = byAlpha(square[c], layered, highlight);
        if (k.strength != 255)
            d[c] = byAlpha(d[c], s[c], strength);
    }

    V lanes = k.velviaBands ? velviaBandLanes(d[0], d[1], d[2])
                            : slideBandLanes(k, d[0], d[1], d[2]);
    if (int mask = _mm256_movemask_ps(_mm256_castsi256_ps(lanes))) {
        alignas(32) uint32_t p[8];
        _mm256_store_si256(reinterpret_cast<V*>(p), opaquePixels(d[0], d[1], d[2]));
        for (int i = 0; i < 8; ++i)
            if (mask >> i & 1)
                p[i] = k.bandStage(k.core, p[i]);
        V banded = _mm256_load_si256(reinterpret_cast<const V*>(p));
        d[0] = channel(banded, 16);
        d[1] = channel(banded, 8);
        d[2] = channel(banded, 0);
    }

    // Two output channels' terms per word: each sum stays within 16 bits.
    V redGreen = _mm256_setzero_si256();
    V blue = _mm256_setzero_si256();
    for (int c = 0; c < 3; ++c) {
        redGreen = _mm256_add_epi16(redGreen, gather(k.mixRedGreen + 256 * c, d[c]));
        blue = _mm256_add_epi32(blue, gather(k.mixBlue + 256 * c, d[c]));
    }
    V red = _mm256_srai_epi32(_mm256_slli_epi32(redGreen, 16), 16);
    V green = _mm256_srai_epi32(redGreen, 16);
    return opaquePixels(clampByte(red), clampByte(green), clampByte(blue));
}

TAVELUNE_AVX2 V blendToward8(V p, V q, V alpha)
{
    V out[3];
    for (int c = 0; c < 3; ++c)
        out[c] = byAlpha(channel(q, 16 - 8 * c), channel(p, 16 - 8 * c), alpha);
    return opaquePixels(out[0], out[1], out[2]);
}

TAVELUNE_AVX2 V mono8(const MonoKernel& k, V pixels)
{
    V s[3] = {channel(pixels, 16), channel(pixels, 8), channel(pixels, 0)};
    V grey = _mm256_add_epi32(_mm256_add_epi32(gather(k.greyTerms, s[0]),
                                               gather(k.greyTerms + 256, s[1])),
                              gather(k.greyTerms + 512, s[2]));
    V row = _mm256_slli_epi32(clampByte(grey), 8);
    V d[3];
    for (int c = 0; c < 3; ++c) d[c] = gatherByte(k.early, _mm256_add_epi32(row, s[c]));
    if (k.highKey) {
        V screenSum = _mm256_add_epi32(
            _mm256_add_epi32(screenOfItself(s[0]), screenOfItself(s[1])), screenOfItself(s[2]));
        V square[3] = {squareOf(s[0]), squareOf(s[1]), squareOf(s[2])};
        V squareSum = _mm256_add_epi32(_mm256_add_epi32(square[0], square[1]), square[2]);
        // shadowWeight and monoHighlightWeight of the layers' means.
        V v = _mm256_sub_epi32(splat(255), div3(screenSum));
        V shadow = _mm256_add_epi32(
            _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_mullo_epi32(v, v), v), 16), splat(2));
        V m = div3(squareSum);
        V highlight = _mm256_add_epi32(
            _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_mullo_epi32(m, m), m), 16), splat(2));
        for (int c = 0; c < 3; ++c) {
            V layered = byAlpha(gather(k.screenLevels, s[c]), d[c], shadow);
            layered = gatherByte(k.multiplied, _mm256_add_epi32(_mm256_slli_epi32(layered, 8), s[c]));
            d[c] = byAlpha(square[c], layered, highlight);
        }
    }
    // lumaOf: the three weights widened to double and added in the same order.
    auto half = [&](int upper) TAVELUNE_AVX2 {
        __m256d sum = _mm256_setzero_pd();
        const float* tables[3] = {lumaRed.data(), lumaGreen.data(), lumaBlue.data()};
        for (int c = 0; c < 3; ++c) {
            __m128 w = upper ? _mm256_extractf128_ps(_mm256_i32gather_ps(tables[c], d[c], 4), 1)
                             : _mm256_castps256_ps128(_mm256_i32gather_ps(tables[c], d[c], 4));
            sum = c == 0 ? _mm256_cvtps_pd(w) : _mm256_add_pd(sum, _mm256_cvtps_pd(w));
        }
        return _mm256_cvttpd_epi32(_mm256_add_pd(sum, _mm256_set1_pd(0.5)));
    };
    V luma = _mm256_set_m128i(half(1), half(0));
    return gather(reinterpret_cast<const int32_t*>(k.byLuma), luma);
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

}  // namespace

TAVELUNE_AVX2 void runColourCoreVector(const ColourCoreKernel& core, const uint32_t* src,
                                       uint32_t* dst, size_t n)
{
    runEights(src, dst, n, [&](V p, size_t) TAVELUNE_AVX2 { return colourCore8(core, p); });
}

TAVELUNE_AVX2 void blendTowardVector(uint32_t* p, const uint32_t* q, size_t n, int alpha)
{
    V a = splat(alpha);
    runEights(p, p, n, [&](V pixels, size_t i) TAVELUNE_AVX2 {
        V other;
        if (i + 8 <= n) {
            other = _mm256_loadu_si256(reinterpret_cast<const V*>(q + i));
        } else {
            alignas(32) uint32_t tail[8] = {};
            std::memcpy(tail, q + i, (n - i) * sizeof(uint32_t));
            other = _mm256_load_si256(reinterpret_cast<const V*>(tail));
        }
        return blendToward8(pixels, other, a);
    });
}

TAVELUNE_AVX2 void runMonoVector(const MonoKernel& film, const uint32_t* src, uint32_t* dst,
                                 size_t n)
{
    runEights(src, dst, n, [&](V p, size_t) TAVELUNE_AVX2 { return mono8(film, p); });
}

TAVELUNE_AVX2 void divideBy255Vector(const int32_t* x, int32_t* quotient, size_t n)
{
    runEights(reinterpret_cast<const uint32_t*>(x), reinterpret_cast<uint32_t*>(quotient), n,
              [&](V v, size_t) TAVELUNE_AVX2 { return div255(v); });
}

TAVELUNE_AVX2 void divideBy3Vector(const int32_t* x, int32_t* quotient, size_t n)
{
    runEights(reinterpret_cast<const uint32_t*>(x), reinterpret_cast<uint32_t*>(quotient), n,
              [&](V v, size_t) TAVELUNE_AVX2 { return div3(v); });
}

#else

// Never called without the vector unit; defined so that the program links everywhere.
void runColourCoreVector(const ColourCoreKernel&, const uint32_t*, uint32_t*, size_t) {}
void blendTowardVector(uint32_t*, const uint32_t*, size_t, int) {}
void runMonoVector(const MonoKernel&, const uint32_t*, uint32_t*, size_t) {}
void divideBy255Vector(const int32_t*, int32_t*, size_t) {}
void divideBy3Vector(const int32_t*, int32_t*, size_t) {}

#endif

}  // namespace tavelune
