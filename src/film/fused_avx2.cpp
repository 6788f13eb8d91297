// The fused chains' vector kernels in AVX2, compiled per function so the rest of the program
// still runs on any x86-64; every step gives the one-pixel path's integers exactly.
#include <algorithm>
#include <array>
#include <atomic>
#include <cstring>

#include "film/fused_vbmi.h"
#include "film/fused_vector.h"
#include "pixel/layer_alpha.h"
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

struct Hsv {
    V hue, saturation, value;
};

// pixelToHsv.
TAVELUNE_AVX2 Hsv hsvOf(const Rgb& c)
{
    V max = _mm256_max_epi32(_mm256_max_epi32(c.r, c.g), c.b);
    V min = _mm256_min_epi32(_mm256_min_epi32(c.r, c.g), c.b);
    V zero = _mm256_setzero_si256();
    Hsv out;
    out.value = truncated(toDouble(max) * splatD(kByteToPercent) + splatD(0.5));
    D8 maxD = toDouble(max);
    V spread = _mm256_sub_epi32(max, min);
    out.saturation =
        truncated(toDouble(_mm256_mullo_epi32(spread, splat(100))) / maxD + splatD(0.5));
    out.saturation = _mm256_andnot_si256(_mm256_cmpeq_epi32(max, zero), out.saturation);
    V redMax = _mm256_cmpeq_epi32(c.r, max);
    V greenMax = _mm256_cmpeq_epi32(c.g, max);
    V numerator = select(greenMax, _mm256_sub_epi32(c.r, c.g), _mm256_sub_epi32(c.b, c.r));
    numerator = select(redMax, numerator, _mm256_sub_epi32(c.g, c.b));
    D8 q = toDouble(numerator) / toDouble(spread);
    D8 h = selectD(greenMax, splatD(4) + q, splatD(2) + q);
    h = selectD(redMax, h, q);
    h = h * splatD(kDegreesPerSixth);
    D8 wrapped = h + splatD(kFullCircle);
    h = {_mm256_blendv_pd(h.lo, wrapped.lo, _mm256_cmp_pd(h.lo, _mm256_setzero_pd(), _CMP_LT_OQ)),
         _mm256_blendv_pd(h.hi, wrapped.hi, _mm256_cmp_pd(h.hi, _mm256_setzero_pd(), _CMP_LT_OQ))};
    h = {_mm256_andnot_pd(_mm256_cmp_pd(h.lo, _mm256_set1_pd(kFullCircle), _CMP_GE_OQ), h.lo),
         _mm256_andnot_pd(_mm256_cmp_pd(h.hi, _mm256_set1_pd(kFullCircle), _CMP_GE_OQ), h.hi)};
    // Nearly grey colours are exactly grey, with hue 0.
    out.hue =
        _mm256_andnot_si256(_mm256_cmpeq_epi32(out.saturation, zero), truncated(h + splatD(0.5)));
    return out;
}

TAVELUNE_AVX2 inline V clampTo(V v, int low, int high)
{
    return _mm256_min_epi32(_mm256_max_epi32(v, splat(low)), splat(high));
}

// HsvAdjustment::adjust then hsvToPixel, on the colour channels.
TAVELUNE_AVX2 Rgb adjusted(const HsvAdjustment::Parts& band, const Hsv& c, const Rgb& base)
{
    V distance = _mm256_abs_epi32(_mm256_sub_epi32(splat(band.centre), c.hue));
    V fromEdge =
        _mm256_add_epi32(_mm256_sub_epi32(splat(band.half), distance), splat(kBandFeather));
    D8 w = toDouble(fromEdge) * splatD(kPerFeatherDegree);
    // std::clamp(w, 0.0, 1.0); w is never NaN or -0.
    w = {_mm256_min_pd(_mm256_max_pd(w.lo, _mm256_setzero_pd()), _mm256_set1_pd(1.0)),
         _mm256_min_pd(_mm256_max_pd(w.hi, _mm256_setzero_pd()), _mm256_set1_pd(1.0))};
    V hue = truncated(toDouble(c.hue) + w * splatD(band.hueShift));
    V below = _mm256_cmpgt_epi32(_mm256_setzero_si256(), hue);
    V above = _mm256_cmpgt_epi32(hue, splat(kFullCircle));
    hue = _mm256_add_epi32(hue, _mm256_and_si256(below, splat(kFullCircle)));
    hue = _mm256_sub_epi32(hue, _mm256_and_si256(above, splat(kFullCircle)));
    D8 perPercent = splatD(kPerPercent);
    D8 saturationScale = w * splatD(band.saturationPct) * perPercent + splatD(1);
    V saturation = clampTo(truncated(saturationScale * toDouble(c.saturation)), 0, 100);
    D8 valueScale = w * splatD(band.valuePct) * perPercent + splatD(1);
    V value = clampTo(truncated(valueScale * toDouble(c.value)), 0, 100);

    D8 valueD = toDouble(value);
    D8 v = throughFloat(valueD * perPercent);
    D8 m = valueD * (splatD(1) - toDouble(saturation) * perPercent) * perPercent;
    // The sixth of the circle: hue <= 60 is the first, 61..120 the second, and so on.
    V sixth = _mm256_setzero_si256();
    for (int edge = kDegreesPerSixth; edge < kFullCircle; edge += kDegreesPerSixth)
        sixth = _mm256_sub_epi32(sixth, _mm256_cmpgt_epi32(hue, splat(edge)));
    D8 t = toDouble(_mm256_sub_epi32(hue, _mm256_mullo_epi32(sixth, splat(kDegreesPerSixth))));
    D8 c60 = splatD(kPerDegreeOfSixth);
    D8 up = m + (v - m) * t * c60;
    D8 down = v + (m - v) * t * c60;
    auto is = [&](int k) TAVELUNE_AVX2 { return _mm256_cmpeq_epi32(sixth, splat(k)); };
    auto either = [&](int a, int b) TAVELUNE_AVX2 { return _mm256_or_si256(is(a), is(b)); };
    D8 r = selectD(is(1), selectD(either(2, 3), selectD(is(4), v, up), m), down);
    D8 g = selectD(is(0), selectD(either(1, 2), selectD(is(3), m, down), v), up);
    D8 b = selectD(either(0, 1), selectD(is(2), selectD(either(3, 4), down, v), up), m);
    auto byte = [&](D8 x) TAVELUNE_AVX2 {
        return _mm256_and_si256(truncated(x * splatD(255) + splatD(0.5)), splat(0xFF));
    };
    Rgb out = {byte(r), byte(g), byte(b)};
    V grey =
        _mm256_and_si256(truncated(valueD * splatD(kPercentToByte) + splatD(0.5)), splat(0xFF));
    V isGrey = _mm256_cmpeq_epi32(saturation, _mm256_setzero_si256());
    // A hue above 360 keeps the colour.
    V keep = _mm256_cmpgt_epi32(hue, splat(kFullCircle));
    out.r = select(keep, select(isGrey, out.r, grey), base.r);
    out.g = select(keep, select(isGrey, out.g, grey), base.g);
    out.b = select(keep, select(isGrey, out.b, grey), base.b);
    return out;
}

// bandsThatMayHold of FusedColourCore, one lane mask per band.
TAVELUNE_AVX2 void velviaBandLanes(const Rgb& c, V lanes[4])
{
    V r = c.r, g = c.g, b = c.b;
    V max = _mm256_max_epi32(_mm256_max_epi32(r, g), b);
    V d = _mm256_sub_epi32(max, _mm256_min_epi32(_mm256_min_epi32(r, g), b));
    V redMax = _mm256_cmpeq_epi32(r, max);
    V greenMax = _mm256_andnot_si256(redMax, _mm256_cmpeq_epi32(g, max));
    V blueMax = _mm256_andnot_si256(_mm256_or_si256(redMax, greenMax), splat(-1));
    V hundred = splat(100);
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
TAVELUNE_AVX2 void slideBandLanes(const ColourCoreKernel& k, const Rgb& c, V lanes[4])
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

// The hue bands in order, as the cores' adjustBands: a band changes the colours it holds, and
// the bands after it are tested again on the changed colour.
TAVELUNE_AVX2 Rgb withBands(const ColourCoreKernel& k, Rgb c, V lanes[4])
{
    Hsv hsv = hsvOf(c);
    for (int i = 0; i < k.bandCount; ++i) {
        const HsvAdjustment::Parts& band = k.bands[i];
        V inside = _mm256_and_si256(atLeast(hsv.hue, splat(band.fromHue)),
                                    atMost(hsv.hue, splat(band.toHue)));
        V changed = _mm256_and_si256(lanes[i], inside);
        if (none(changed))
            continue;
        Rgb next = adjusted(band, hsv, c);
        c = {select(changed, c.r, next.r), select(changed, c.g, next.g),
             select(changed, c.b, next.b)};
        if (i + 1 == k.bandCount)
            break;
        V again[4];
        bandLanes(k, c, again);
        for (int j = i + 1; j < k.bandCount; ++j) lanes[j] = select(changed, lanes[j], again[j]);
        Hsv now = hsvOf(c);
        hsv = {select(changed, hsv.hue, now.hue), select(changed, hsv.saturation, now.saturation),
               select(changed, hsv.value, now.value)};
    }
    return c;
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
    V e = _mm256_min_epi32(_mm256_add_epi32(div3(squareSum), splat(kHighlightLift)), splat(255));
    V highlight = _mm256_add_epi32(_mm256_srli_epi32(_mm256_mullo_epi32(e, e), kSquareShift),
                                   splat(kSquareWeightFloor));
    V strength = splat(k.strength);
    V d[3];
    for (int c = 0; c < 3; ++c) {
        V layered = gatherByte(k.layered, _mm256_add_epi32(row, s[c]));
        d[c] = byAlpha(square[c], layered, highlight);
        if (k.strength != 255)
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
        low = _mm256_add_epi16(low,
                               _mm256_i32gather_epi64(table, _mm256_castsi256_si128(d[c]), 8));
        high = _mm256_add_epi16(
            high, _mm256_i32gather_epi64(table, _mm256_extracti128_si256(d[c], 1), 8));
    }
    // Packing with unsigned saturation clamps each channel to 0..255. It packs within 128-bit
    // lanes, which leaves the pixels' 64-bit pairs in the order 01 45 23 67.
    return _mm256_permute4x64_epi64(_mm256_packus_epi16(low, high), 0xD8);
}

TAVELUNE_AVX2 inline Rgb channels(V pixels)
{
    return {channel(pixels, 16), channel(pixels, 8), channel(pixels, 0)};
}

TAVELUNE_AVX2 inline V anyLane(const V lanes[4])
{
    return _mm256_or_si256(_mm256_or_si256(lanes[0], lanes[1]),
                           _mm256_or_si256(lanes[2], lanes[3]));
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
        V v = _mm256_sub_epi32(splat(255), div3(screenSum));
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
    // A block at a time: the layers, then the hue bands for just the colours that may need
    // them, gathered eight to a vector, then the mix.
    constexpr size_t kBlock = 256;
    alignas(32) uint32_t layered[kBlock];
    alignas(32) int32_t banded[kBlock + 16];
    // The kernel was made for the AVX-512 stages when it has no table of every mean.
    const bool vbmi = core.layered == nullptr;
    // Then the mixer runs with the layers, and again on the colours the bands changed.
    const bool mixedWithLayers = vbmi && core.mixByParts;
    for (size_t begin = 0; begin < n; begin += kBlock) {
        size_t count = std::min(kBlock, n - begin);
        size_t found = 0;
        if (vbmi) {
            found = colourLayersVbmi(core, src + begin, layered, count, banded,
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
        }
        if (found) {
            // Repeat the last colour to fill the last eight; it is written back unchanged.
            for (size_t i = found; i < (found + 7) / 8 * 8; ++i) banded[i] = banded[found - 1];
            for (size_t j = 0; j < found; j += 8) {
                V index = _mm256_load_si256(reinterpret_cast<const V*>(banded + j));
                Rgb c = channels(
                    _mm256_i32gather_epi32(reinterpret_cast<const int*>(layered), index, 4));
                V lanes[4];
                bandLanes(core, c, lanes);
                c = withBands(core, c, lanes);
                V result = opaquePixels(c.r, c.g, c.b);
                uint32_t* to = layered;
                if (mixedWithLayers) {
                    result = mixed8(core, result);
                    to = dst + begin;
                }
                alignas(32) uint32_t out[8];
                _mm256_store_si256(reinterpret_cast<V*>(out), result);
                for (size_t i = 0; i < 8; ++i) to[banded[j + i]] = out[i];
            }
        }
        if (!mixedWithLayers)
            runEights(layered, dst + begin, count,
                      [&](V p, size_t) TAVELUNE_AVX2 { return mixed8(core, p); });
    }
}

TAVELUNE_AVX2 void adjustHsvVector(const HsvAdjustment::Parts& band, uint32_t* p, size_t n)
{
    ColourCoreKernel one{};
    one.bandCount = 1;
    one.bands[0] = band;
    runEights(p, p, n, [&](V pixels, size_t) TAVELUNE_AVX2 {
        V lanes[4] = {splat(-1), _mm256_setzero_si256(), _mm256_setzero_si256(),
                      _mm256_setzero_si256()};
        Rgb c = withBands(one, channels(pixels), lanes);
        return opaquePixels(c.r, c.g, c.b);
    });
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
void adjustHsvVector(const HsvAdjustment::Parts&, uint32_t*, size_t) {}
void blendTowardVector(uint32_t*, const uint32_t*, size_t, int) {}
void runMonoVector(const MonoKernel&, const uint32_t*, uint32_t*, size_t) {}
void divideBy255Vector(const int32_t*, int32_t*, size_t) {}
void divideBy3Vector(const int32_t*, int32_t*, size_t) {}

#endif

}  // namespace tavelune
