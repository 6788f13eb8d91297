// The colour chains' layer and mixer stages in AVX-512, thirty-two pixels at a time in 16-bit
// lanes. VBMI's two-register byte permutes look a 256-entry table up in four registers, so
// the layers are worked out from their per-channel tables instead of read from the 64 KB
// table of every mean, and the mixer's levels come from one such table. Compiled per
// function; every step gives the one-pixel path's integers exactly.
#include "film/fused_vbmi.h"

#include "film/vector_path_switch.h"
#include "pixel/hsv.h"

#if defined(__x86_64__)
#include <immintrin.h>
#define TAVELUNE_VBMI __attribute__((target("avx512f,avx512bw,avx512dq,avx512vl,avx512vbmi")))
#endif

namespace tavelune {
namespace {

bool cpuHasVbmi()
{
#if defined(__x86_64__)
    return __builtin_cpu_supports("avx2") && __builtin_cpu_supports("avx512f") &&
           __builtin_cpu_supports("avx512bw") && __builtin_cpu_supports("avx512vbmi");
#else
    return false;
#endif
}

VectorPathSwitch g_vbmi{cpuHasVbmi()};

}  // namespace

bool fusedVbmiAvailable()
{
    return g_vbmi.available();
}

bool fusedVbmiEnabled()
{
    return g_vbmi.enabled();
}

void setFusedVbmiEnabled(bool enabled)
{
    g_vbmi.setEnabled(enabled);
}

#if defined(__x86_64__)
namespace {

using Z = __m512i;

// The low byte of every 16-bit lane.
constexpr __mmask64 kEvenBytes = 0x5555555555555555ull;

struct Bytes64 {
    alignas(64) uint8_t b[64];
};

// vpermt2b indices that take byte `offset` of each of 32 pixels (two registers) into the low
// byte of lane j.
constexpr Bytes64 channelIndex(int offset)
{
    Bytes64 index{};
    for (int j = 0; j < 32; ++j) index.b[2 * j] = uint8_t(4 * j + offset);
    return index;
}

constexpr Bytes64 kBlueIndex = channelIndex(0);
constexpr Bytes64 kGreenIndex = channelIndex(1);
constexpr Bytes64 kRedIndex = channelIndex(2);

struct Words32 {
    alignas(64) uint16_t w[32];
};

// vpermt2w indices that interleave the low words (blue, green) of lanes first.. with their
// high words (red, alpha) into sixteen pixels.
constexpr Words32 pixelIndex(int first)
{
    Words32 index{};
    for (int j = 0; j < 16; ++j) {
        index.w[2 * j] = uint16_t(first + j);
        index.w[2 * j + 1] = uint16_t(32 + first + j);
    }
    return index;
}

constexpr Words32 kFirstPixels = pixelIndex(0);
constexpr Words32 kLastPixels = pixelIndex(16);

TAVELUNE_VBMI inline Z load(const void* p)
{
    return _mm512_loadu_si512(p);
}

TAVELUNE_VBMI inline Z splat16(int v)
{
    return _mm512_set1_epi16(short(v));
}

// A 256-entry byte table in four registers.
struct Table {
    Z q[4];
};

TAVELUNE_VBMI inline Table tableAt(const uint8_t* t)
{
    return {{load(t), load(t + 64), load(t + 128), load(t + 192)}};
}

// Values 0..255 in 16-bit lanes with the byte masks of which half of a table holds each.
struct Index {
    Z v;
    __mmask64 low, high;
};

TAVELUNE_VBMI inline Index indexOf(Z v)
{
    // The high bytes are 0, so only the low ones can have bit 7 set.
    const __mmask64 top = _mm512_movepi8_mask(v);
    return {v, _kandn_mask64(top, kEvenBytes), top};
}

TAVELUNE_VBMI inline Z lookup(const Table& t, const Index& i)
{
    return _mm512_or_si512(_mm512_maskz_permutex2var_epi8(i.low, t.q[0], i.v, t.q[1]),
                           _mm512_maskz_permutex2var_epi8(i.high, t.q[2], i.v, t.q[3]));
}

// trunc(x / 255) for 0 <= x <= 65535, and floor(x / 3) for x <= 765 (tests try every x of
// the narrower 32-bit forms; these are the same multipliers).
TAVELUNE_VBMI inline Z div255(Z x)
{
    return _mm512_srli_epi16(_mm512_mulhi_epu16(x, splat16(32897)), 7);
}

TAVELUNE_VBMI inline Z div3(Z x)
{
    return _mm512_srli_epi16(_mm512_mulhi_epu16(x, splat16(43691)), 1);
}

// blend::byAlpha: b + trunc((a - b) x alpha / 255), the product's magnitude within 16 bits.
TAVELUNE_VBMI inline Z byAlpha(Z a, Z b, Z alpha)
{
    const Z difference = _mm512_sub_epi16(a, b);
    Z step = div255(_mm512_mullo_epi16(_mm512_abs_epi16(difference), alpha));
    step = _mm512_mask_sub_epi16(step, _mm512_movepi16_mask(difference), _mm512_setzero_si512(),
                                 step);
    return _mm512_add_epi16(b, step);
}

struct Rgb16 {
    Z r, g, b;
};

TAVELUNE_VBMI inline Z channelOf(Z first, Z last, const Bytes64& index)
{
    return _mm512_maskz_permutex2var_epi8(kEvenBytes, first, load(index.b), last);
}

TAVELUNE_VBMI inline Rgb16 channelsOf(Z first, Z last)
{
    return {channelOf(first, last, kRedIndex), channelOf(first, last, kGreenIndex),
            channelOf(first, last, kBlueIndex)};
}

struct Pixels32 {
    Z first, last;
};

TAVELUNE_VBMI inline Pixels32 opaquePixels(const Rgb16& c)
{
    const Z blueGreen = _mm512_or_si512(c.b, _mm512_slli_epi16(c.g, 8));
    const Z redAlpha = _mm512_or_si512(c.r, splat16(0xFF00));
    return {_mm512_permutex2var_epi16(blueGreen, load(kFirstPixels.w), redAlpha),
            _mm512_permutex2var_epi16(blueGreen, load(kLastPixels.w), redAlpha)};
}

// Runs thirty-two pixels at a time; a short last run is read and written under a mask.
template <typename Step>
TAVELUNE_VBMI inline void runThirtyTwos(const uint32_t* src, uint32_t* dst, size_t n, Step step)
{
    for (size_t i = 0; i < n; i += 32) {
        const size_t count = n - i < 32 ? n - i : 32;
        const uint32_t lanes = count == 32 ? ~0u : (1u << count) - 1;
        const __mmask16 first = __mmask16(lanes);
        const __mmask16 last = __mmask16(lanes >> 16);
        const Pixels32 out = step(_mm512_maskz_loadu_epi32(first, src + i),
                                  _mm512_maskz_loadu_epi32(last, src + i + 16), i, lanes);
        _mm512_mask_storeu_epi32(dst + i, first, out.first);
        _mm512_mask_storeu_epi32(dst + i + 16, last, out.last);
    }
}

struct LayerTables {
    Table screen, blended, shadowLevels, shadowWeight, highlight;
};

TAVELUNE_VBMI Rgb16 layers32(const LayerTables& t, const ColourCoreKernel& k, const Rgb16& s)
{
    const Index at[3] = {indexOf(s.r), indexOf(s.g), indexOf(s.b)};
    const Z source[3] = {s.r, s.g, s.b};
    Z square[3];
    Z screenSum = _mm512_setzero_si512();
    Z squareSum = _mm512_setzero_si512();
    for (int c = 0; c < 3; ++c) {
        screenSum = _mm512_add_epi16(screenSum, lookup(t.screen, at[c]));
        // blend::multiply(s, s): two operations, fewer than a lookup.
        square[c] = _mm512_srli_epi16(_mm512_mullo_epi16(source[c], source[c]), 8);
        squareSum = _mm512_add_epi16(squareSum, square[c]);
    }
    const Z shadow = lookup(t.shadowWeight, indexOf(div3(screenSum)));
    const Z highlight = lookup(t.highlight, indexOf(div3(squareSum)));
    const Z multiplyAlpha = splat16(k.multiplyAlpha);
    const Z strength = splat16(k.strength);
    Z d[3];
    for (int c = 0; c < 3; ++c) {
        Z layered = byAlpha(lookup(t.shadowLevels, at[c]), lookup(t.blended, at[c]), shadow);
        // blend::multiply(s, layered): the product stays below 2^16.
        const Z product = _mm512_srli_epi16(_mm512_mullo_epi16(source[c], layered), 8);
        layered = byAlpha(product, layered, multiplyAlpha);
        d[c] = byAlpha(square[c], layered, highlight);
        if (k.strength != 255)
            d[c] = byAlpha(d[c], source[c], strength);
    }
    return {d[0], d[1], d[2]};
}

// bandsThatMayHold of FusedColourCore for any band.
TAVELUNE_VBMI __mmask32 velviaBandsMayHold(const Rgb16& c)
{
    const Z max = _mm512_max_epi16(_mm512_max_epi16(c.r, c.g), c.b);
    const Z d = _mm512_sub_epi16(max, _mm512_min_epi16(_mm512_min_epi16(c.r, c.g), c.b));
    const __mmask32 redMax = _mm512_cmpeq_epi16_mask(c.r, max);
    const __mmask32 greenMax = ~redMax & _mm512_cmpeq_epi16_mask(c.g, max);
    const __mmask32 blueMax = ~(redMax | greenMax);
    const Z hundred = splat16(100);
    const Z margin73 = _mm512_mullo_epi16(splat16(kVelviaBandOuterMargin), d);
    const Z margin27 = _mm512_mullo_epi16(splat16(kVelviaBandInnerMargin), d);
    const Z minus73 = _mm512_sub_epi16(_mm512_setzero_si512(), margin73);
    const Z minus27 = _mm512_sub_epi16(_mm512_setzero_si512(), margin27);
    // 100 x a difference of bytes fits 16 bits.
    const Z greenQ = _mm512_mullo_epi16(hundred, _mm512_sub_epi16(c.b, c.r));
    const Z redQ = _mm512_mullo_epi16(hundred, _mm512_sub_epi16(c.g, c.b));
    const Z blueQ = _mm512_mullo_epi16(hundred, _mm512_sub_epi16(c.g, c.r));
    const __mmask32 yellows = (redMax & _mm512_cmpge_epi16_mask(redQ, margin73)) |
                              (greenMax & _mm512_cmple_epi16_mask(greenQ, minus73));
    const __mmask32 greens = greenMax & _mm512_cmpge_epi16_mask(greenQ, minus27) &
                             _mm512_cmple_epi16_mask(greenQ, margin27);
    const __mmask32 cyans = (greenMax & _mm512_cmpge_epi16_mask(greenQ, margin73)) |
                            (blueMax & _mm512_cmpge_epi16_mask(blueQ, margin73));
    return (yellows | greens | cyans) & _mm512_cmpneq_epi16_mask(d, _mm512_setzero_si512());
}

// Lanes 16 x half.. of v as 32-bit lanes. The masked forms: GCC warns of the plain ones'
// undefined start values.
TAVELUNE_VBMI inline Z widened(Z v, int half)
{
    const __m256i part = half ? _mm512_maskz_extracti64x4_epi64(0xF, v, 1)
                              : _mm512_maskz_extracti64x4_epi64(0xF, v, 0);
    return _mm512_maskz_cvtepi16_epi32(0xFFFF, part);
}

// FusedSlideCore::bands for any band; the scaled hue needs 32 bits.
TAVELUNE_VBMI __mmask32 slideBandsMayHold(const ColourCoreKernel& k, const Rgb16& c)
{
    if (k.bandCount == 0)
        return 0;
    if (k.always & ((1u << k.bandCount) - 1))
        return ~__mmask32(0);
    const Z max = _mm512_max_epi16(_mm512_max_epi16(c.r, c.g), c.b);
    const Z d = _mm512_sub_epi16(max, _mm512_min_epi16(_mm512_min_epi16(c.r, c.g), c.b));
    const Z sixD = _mm512_mullo_epi16(splat16(kSixthsPerCircle), d);
    const Z redSixths = _mm512_mask_add_epi16(_mm512_sub_epi16(c.g, c.b),
                                              _mm512_cmpgt_epi16_mask(c.b, c.g),
                                              _mm512_sub_epi16(c.g, c.b), sixD);
    const Z greenSixths = _mm512_add_epi16(_mm512_add_epi16(d, d), _mm512_sub_epi16(c.b, c.r));
    const Z blueSixths = _mm512_add_epi16(_mm512_slli_epi16(d, 2), _mm512_sub_epi16(c.r, c.g));
    Z sixths = _mm512_mask_blend_epi16(_mm512_cmpeq_epi16_mask(c.g, max), blueSixths, greenSixths);
    sixths = _mm512_mask_blend_epi16(_mm512_cmpeq_epi16_mask(c.r, max), sixths, redSixths);
    __mmask32 any = 0;
    for (int half = 0; half < 2; ++half) {
        const Z wideSixths = widened(sixths, half);
        const Z wideD = widened(d, half);
        const Z scaled = _mm512_mullo_epi32(_mm512_set1_epi32(kHundredthsPerSixth), wideSixths);
        __mmask16 lanes = 0;
        for (int i = 0; i < k.bandCount; ++i) {
            const Z low = _mm512_mullo_epi32(_mm512_set1_epi32(k.low[i]), wideD);
            const Z high = _mm512_mullo_epi32(_mm512_set1_epi32(k.high[i]), wideD);
            lanes |= _mm512_cmpge_epi32_mask(scaled, low) & _mm512_cmple_epi32_mask(scaled, high);
        }
        any |= __mmask32(lanes) << (16 * half);
    }
    // A grey has no hue to test.
    return any & _mm512_cmpgt_epi16_mask(d, _mm512_setzero_si512());
}

// The mixer on layered channels, by the kernel's parts.
TAVELUNE_VBMI Rgb16 mix32(const Table& levels, const ColourCoreKernel& k, const Rgb16& d)
{
    const Z level[3] = {lookup(levels, indexOf(d.r)), lookup(levels, indexOf(d.g)),
                        lookup(levels, indexOf(d.b))};
    Z out[3];
    for (int o = 0; o < 3; ++o) {
        Z sum = _mm512_setzero_si512();
        for (int in = 0; in < 3; ++in) {
            const MixPart& part = k.mix[o][in];
            if (part.wholes == 0 && part.multiplier == 0)
                continue;
            Z term = _mm512_mulhi_epu16(level[in], splat16(part.multiplier));
            if (part.wholes > 0) {
                for (int w = 0; w < part.wholes; ++w) term = _mm512_add_epi16(term, level[in]);
                // Below a whole the term never passes the level.
                term = _mm512_min_epu16(term, splat16(255));
            }
            sum = part.negative ? _mm512_sub_epi16(sum, term) : _mm512_add_epi16(sum, term);
        }
        out[o] = _mm512_min_epi16(_mm512_max_epi16(sum, _mm512_setzero_si512()), splat16(255));
    }
    return {out[0], out[1], out[2]};
}

}  // namespace

TAVELUNE_VBMI size_t colourLayersVbmi(const ColourCoreKernel& core, const uint32_t* src,
                                      uint32_t* layered, size_t n, int32_t* banded,
                                      uint32_t* bandedPixels, uint32_t* mixed)
{
    const Table levels = tableAt(core.byteTables + 256 * kLevelsTable);
    const uint8_t* tables = core.byteTables;
    const LayerTables t = {tableAt(tables + 256 * kScreenTable),
                           tableAt(tables + 256 * kBlendedTable),
                           tableAt(tables + 256 * kShadowLevelsTable),
                           tableAt(tables + 256 * kShadowWeightTable),
                           tableAt(tables + 256 * kHighlightTable)};
    const Z lanes16 = _mm512_setr_epi32(0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15);
    size_t found = 0;
    runThirtyTwos(src, layered, n, [&](Z first, Z last, size_t i, uint32_t inside)
                                       TAVELUNE_VBMI {
        const Rgb16 d = layers32(t, core, channelsOf(first, last));
        const uint32_t may =
            uint32_t(core.velviaBands ? velviaBandsMayHold(d) : slideBandsMayHold(core, d)) &
            inside;
        const Pixels32 colours = opaquePixels(d);
        // Their indices and colours packed to the front, sixteen lanes at a time. Compressing
        // in a register and storing whole is much faster than a compressing store.
        const Z index = _mm512_add_epi32(_mm512_set1_epi32(int(i)), lanes16);
        const Z indices[2] = {index, _mm512_add_epi32(index, _mm512_set1_epi32(16))};
        const Z halves[2] = {colours.first, colours.last};
        for (int half = 0; half < 2; ++half) {
            const __mmask16 picked = __mmask16(may >> (16 * half));
            _mm512_storeu_si512(banded + found, _mm512_maskz_compress_epi32(picked, indices[half]));
            _mm512_storeu_si512(bandedPixels + found,
                                _mm512_maskz_compress_epi32(picked, halves[half]));
            found += size_t(__builtin_popcount(picked));
        }
        if (mixed) {
            // Stored as the layered pixels are, under the same mask.
            const Pixels32 out = opaquePixels(mix32(levels, core, d));
            _mm512_mask_storeu_epi32(mixed + i, __mmask16(inside), out.first);
            _mm512_mask_storeu_epi32(mixed + i + 16, __mmask16(inside >> 16), out.last);
        }
        return colours;
    });
    return found;
}

#else

// Never called without the vector unit; defined so that the program links everywhere.
size_t colourLayersVbmi(const ColourCoreKernel&, const uint32_t*, uint32_t*, size_t, int32_t*,
                        uint32_t*, uint32_t*)
{
    return 0;
}

#endif

}  // namespace tavelune
