// The fused chains' vector kernels in AVX2, compiled per function so the rest of the program
// still runs on any x86-64; every step gives the one-pixel path's integers exactly. The hue
// bands' step is in fused_bands_avx2.cpp.
#include <algorithm>
#include <array>
#include <cstring>

#include "film/fused_avx2_lanes.h"
#include "film/fused_vbmi.h"
#include "film/fused_vector.h"
#include "film/vector_path_switch.h"
#include "pixel/layer_alpha.h"
#include "pixel/luma.h"

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

VectorPathSwitch g_vector{cpuHasVector()};

}  // namespace

bool fusedVectorAvailable()
{
    return g_vector.available();
}

bool fusedVectorEnabled()
{
    return g_vector.enabled();
}

void setFusedVectorEnabled(bool enabled)
{
    g_vector.setEnabled(enabled);
}

#if defined(__x86_64__)
using namespace avx2;

namespace {

// trunc(x / 255) for |x| <= 65025: |x| * ceil(2^23 / 255) >> 23 is exact there (a test tries
// every x) and stays below 2^31.
constexpr int kDiv255Shift = 23;
constexpr int kDiv255Multiplier = ((1 << kDiv255Shift) + 254) / 255;
static_assert(kDiv255Multiplier == 32897);
TAVELUNE_AVX2 inline V div255(V x)
{
    V q = _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_abs_epi32(x), splat(kDiv255Multiplier)),
                            kDiv255Shift);
    return _mm256_sign_epi32(q, x);
}

// floor(x / 3) for 0 <= x <= 765, by ceil(2^17 / 3).
constexpr int kDiv3Shift = 17;
constexpr int kDiv3Multiplier = ((1 << kDiv3Shift) + 2) / 3;
static_assert(kDiv3Multiplier == 43691);
TAVELUNE_AVX2 inline V div3(V x)
{
    return _mm256_srli_epi32(_mm256_mullo_epi32(x, splat(kDiv3Multiplier)), kDiv3Shift);
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
    return _mm256_and_si256(word, splat(kByte));
}

TAVELUNE_AVX2 inline V clampByte(V v)
{
    return _mm256_min_epi32(_mm256_max_epi32(v, _mm256_setzero_si256()), splat(kMaxByte));
}

// blend::screen(s, s) and blend::multiply(s, s): products of bytes over 256, the screen from
// 254 so that white stays just below white.
constexpr int kProductShift = 8;
constexpr int kScreenTop = 254;
TAVELUNE_AVX2 inline V screenOfItself(V s)
{
    V inverse = _mm256_sub_epi32(splat(kMaxByte), s);
    return _mm256_sub_epi32(splat(kScreenTop),
                            _mm256_srli_epi32(_mm256_mullo_epi32(inverse, inverse), kProductShift));
}

TAVELUNE_AVX2 inline V squareOf(V s)
{
    return _mm256_srli_epi32(_mm256_mullo_epi32(s, s), kProductShift);
}

TAVELUNE_AVX2 Rgb layers8(const ColourCoreKernel& k, V pixels)
{
    V s[3] = {channel(pixels, 16), channel(pixels, 8), channel(pixels, 0)};
    V screenSum = _mm256_add_epi32(_mm256_add_epi32(screenOfItself(s[0]), screenOfItself(s[1])),
                                   screenOfItself(s[2]));
    V square[3] = {squareOf(s[0]), squareOf(s[1]), squareOf(s[2])};
    V squareSum = _mm256_add_epi32(_mm256_add_epi32(square[0], square[1]), square[2]);
    V row = _mm256_slli_epi32(div3(screenSum), 8);
    // colourHighlightWeight of the square layer's mean.
    V e =
        _mm256_min_epi32(_mm256_add_epi32(div3(squareSum), splat(kHighlightLift)), splat(kMaxByte));
    V highlight = _mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(e, e), kSquareShift),
                                   splat(kSquareWeightFloor));
    V strength = splat(k.strength);
    V d[3];
    for (int c = 0; c < 3; ++c) {
        V layered = gatherByte(k.layered, _mm256_add_epi32(row, s[c]));
        d[c] = byAlpha(square[c], layered, highlight);
        if (k.strength != kMaxByte)
            d[c] = byAlpha(d[c], s[c], strength);
    }
    return {d[0], d[1], d[2]};
}

TAVELUNE_AVX2 V mixed8(const ColourCoreKernel& k, V pixels)
{
    V d[3] = {channel(pixels, 16), channel(pixels, 8), channel(pixels, 0)};
    // One 64-bit entry holds an input's terms for all three outputs: half the elements a
    // gather of one output's word would fetch. Each field's sum stays within 16 bits.
    V low = _mm256_setzero_si256();   // pixels 0..3
    V high = _mm256_setzero_si256();  // pixels 4..7
    for (int c = 0; c < 3; ++c) {
        const auto* table = reinterpret_cast<const long long*>(k.mixTerms + 256 * c);
        low = _mm256_add_epi16(low, _mm256_i32gather_epi64(table, _mm256_castsi256_si128(d[c]), 8));
        high = _mm256_add_epi16(
            high, _mm256_i32gather_epi64(table, _mm256_extracti128_si256(d[c], 1), 8));
    }
    // Packing with unsigned saturation clamps each channel to 0..255. It packs within 128-bit
    // lanes, which leaves the pixels' 64-bit pairs in the order 01 45 23 67.
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), _MM_SHUFFLE(3, 1, 2, 0));
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
    V grey = _mm256_add_epi32(
        _mm256_add_epi32(gather(k.greyTerms, s[0]), gather(k.greyTerms + 256, s[1])),
        gather(k.greyTerms + 512, s[2]));
    V row = _mm256_slli_epi32(clampByte(grey), 8);
    V d[3];
    for (int c = 0; c < 3; ++c) d[c] = gatherByte(k.early, _mm256_add_epi32(row, s[c]));
    if (k.highKey) {
        V screenSum = _mm256_add_epi32(_mm256_add_epi32(screenOfItself(s[0]), screenOfItself(s[1])),
                                       screenOfItself(s[2]));
        V square[3] = {squareOf(s[0]), squareOf(s[1]), squareOf(s[2])};
        V squareSum = _mm256_add_epi32(_mm256_add_epi32(square[0], square[1]), square[2]);
        // shadowWeight and monoHighlightWeight of the layers' means.
        V v = _mm256_sub_epi32(splat(kMaxByte), div3(screenSum));
        V shadow = _mm256_add_epi32(
            _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_mullo_epi32(v, v), v), kCubeShift),
            splat(kCubicWeightFloor));
        V m = div3(squareSum);
        V highlight = _mm256_add_epi32(
            _mm256_srli_epi32(_mm256_mullo_epi32(_mm256_mullo_epi32(m, m), m), kCubeShift),
            splat(kCubicWeightFloor));
        for (int c = 0; c < 3; ++c) {
            V layered = byAlpha(gather(k.screenLevels, s[c]), d[c], shadow);
            layered =
                gatherByte(k.multiplied, _mm256_add_epi32(_mm256_slli_epi32(layered, 8), s[c]));
            d[c] = byAlpha(square[c], layered, highlight);
        }
    }
    // lumaOf: the three weights widened to double and added in the same order.
    const float* tables[3] = {lumaRed.data(), lumaGreen.data(), lumaBlue.data()};
    D8 sum{};
    for (int c = 0; c < 3; ++c) {
        __m256 w = _mm256_i32gather_ps(tables[c], d[c], 4);
        D8 wide = {_mm256_cvtps_pd(_mm256_castps256_ps128(w)),
                   _mm256_cvtps_pd(_mm256_extractf128_ps(w, 1))};
        sum = c == 0 ? wide : sum + wide;
    }
    V luma = truncated(sum + splatD(0.5));
    return gather(reinterpret_cast<const int32_t*>(k.byLuma), luma);
}

// For each 8-bit lane mask, the numbers of its set lanes in order, a byte each.
constexpr std::array<int64_t, 256> packedLanes()
{
    std::array<int64_t, 256> table{};
    for (int mask = 0; mask < 256; ++mask) {
        uint64_t bytes = 0;
        int next = 0;
        for (int lane = 0; lane < 8; ++lane)
            if (mask >> lane & 1)
                bytes |= uint64_t(lane) << (8 * next++);
        table[size_t(mask)] = int64_t(bytes);
    }
    return table;
}

constexpr std::array<int64_t, 256> kPackedLanes = packedLanes();

}  // namespace

TAVELUNE_AVX2 void runColourCoreVector(const ColourCoreKernel& core, const uint32_t* src,
                                       uint32_t* dst, size_t n)
{
    // A block at a time: the layers, then the hue bands for just the colours that may need
    // them, packed together, then the mix.
    constexpr size_t kBlock = 256;
    alignas(32) uint32_t layered[kBlock];
    alignas(32) int32_t banded[kBlock + 16];
    alignas(32) uint32_t bandedPixels[kBlock + 16];
    // The kernel was made for the AVX-512 stages when it has no table of every mean.
    const bool vbmi = core.layered == nullptr;
    // Then the mixer runs with the layers, and again on the colours the bands changed.
    const bool mixedWithLayers = vbmi && core.mixByParts;
    for (size_t begin = 0; begin < n; begin += kBlock) {
        size_t count = std::min(kBlock, n - begin);
        size_t found = 0;
        if (vbmi) {
            found = colourLayersVbmi(core, src + begin, layered, count, banded, bandedPixels,
                                     mixedWithLayers ? dst + begin : nullptr);
        } else {
            runEights(src + begin, layered, count, [&](V p, size_t i) TAVELUNE_AVX2 {
                Rgb d = layers8(core, p);
                V lanes[4];
                bandLanes(core, d, lanes);
                unsigned mask = unsigned(_mm256_movemask_ps(_mm256_castsi256_ps(anyLane(lanes))));
                // The padding lanes of a short last eight are not the block's.
                if (i + 8 > count)
                    mask &= (1u << (count - i)) - 1;
                // The lanes' indices packed to the front, without a branch per lane.
                V lanesFirst = _mm256_cvtepu8_epi32(_mm_cvtsi64_si128(kPackedLanes[mask]));
                V index = _mm256_add_epi32(splat(int(i)), lanesFirst);
                _mm256_storeu_si256(reinterpret_cast<V*>(banded + found), index);
                found += size_t(__builtin_popcount(mask));
                return opaquePixels(d.r, d.g, d.b);
            });
            for (size_t i = 0; i < found; ++i) bandedPixels[i] = layered[banded[i]];
        }
        if (found) {
            applyBandsVector(core, bandedPixels, found);
            uint32_t* to = layered;
            if (mixedWithLayers) {
                runEights(bandedPixels, bandedPixels, found,
                          [&](V p, size_t) TAVELUNE_AVX2 { return mixed8(core, p); });
                to = dst + begin;
            }
            for (size_t i = 0; i < found; ++i) to[banded[i]] = bandedPixels[i];
        }
        if (!mixedWithLayers)
            runEights(layered, dst + begin, count,
                      [&](V p, size_t) TAVELUNE_AVX2 { return mixed8(core, p); });
    }
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
