// The hue-band step of the colour chains in AVX2, eight colours at a time in doubles: the
// same operations in the same order as the one-pixel code, so every rounding is the same.
#include "film/fused_avx2_lanes.h"
#include "film/fused_vector.h"
#include "pixel/hsv.h"

namespace tavelune {

#if defined(__x86_64__)
using namespace avx2;

namespace {

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
        truncated(toDouble(_mm256_mullo_epi32(spread, splat(kPercent))) / maxD + splatD(0.5));
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
    V saturation = clampTo(truncated(saturationScale * toDouble(c.saturation)), 0, kPercent);
    D8 valueScale = w * splatD(band.valuePct) * perPercent + splatD(1);
    V value = clampTo(truncated(valueScale * toDouble(c.value)), 0, kPercent);

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
        return _mm256_and_si256(truncated(x * splatD(kMaxByte) + splatD(0.5)), splat(kByte));
    };
    Rgb out = {byte(r), byte(g), byte(b)};
    V grey =
        _mm256_and_si256(truncated(valueD * splatD(kPercentToByte) + splatD(0.5)), splat(kByte));
    V isGrey = _mm256_cmpeq_epi32(saturation, _mm256_setzero_si256());
    // A hue above 360 keeps the colour.
    V keep = _mm256_cmpgt_epi32(hue, splat(kFullCircle));
    out.r = select(keep, select(isGrey, out.r, grey), base.r);
    out.g = select(keep, select(isGrey, out.g, grey), base.g);
    out.b = select(keep, select(isGrey, out.b, grey), base.b);
    return out;
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
        V later = _mm256_setzero_si256();
        for (int j = i + 1; j < k.bandCount; ++j) {
            lanes[j] = select(changed, lanes[j], again[j]);
            later = _mm256_or_si256(later, again[j]);
        }
        // The changed colours that no later band may hold need no new hue: those bands pass
        // them by.
        if (none(_mm256_and_si256(changed, later)))
            continue;
        Hsv now = hsvOf(c);
        hsv = {select(changed, hsv.hue, now.hue), select(changed, hsv.saturation, now.saturation),
               select(changed, hsv.value, now.value)};
    }
    return c;
}

}  // namespace

TAVELUNE_AVX2 void applyBandsVector(const ColourCoreKernel& core, uint32_t* pixels, size_t n)
{
    runEights(pixels, pixels, n, [&](V p, size_t) TAVELUNE_AVX2 {
        Rgb c = channels(p);
        V lanes[4];
        bandLanes(core, c, lanes);
        c = withBands(core, c, lanes);
        return opaquePixels(c.r, c.g, c.b);
    });
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

#else

// Never called without the vector unit; defined so that the program links everywhere.
void applyBandsVector(const ColourCoreKernel&, uint32_t*, size_t) {}
void adjustHsvVector(const HsvAdjustment::Parts&, uint32_t*, size_t) {}

#endif

}  // namespace tavelune
