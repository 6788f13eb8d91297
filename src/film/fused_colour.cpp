// Tables for the colour chain; each entry is computed with the kernels' own formulas.
#include "film/fused_colour.h"

#include <algorithm>

#include "film/colour_film.h"
#include "film/film_settings.h"
#include "pixel/blend_kernels.h"
#include "pixel/layer_alpha.h"
#include "pixel/pixel.h"
#include "pixel/tone_kernels.h"

namespace tavelune {
namespace {

constexpr unsigned kYellows = 1;
constexpr unsigned kGreens = 2;
constexpr unsigned kCyans = 4;

// The bands (of 45..75, 105..135, 165..195 degrees) that may hold the pixel's hue, judged from
// the ratio q of the channel differences without dividing. The bands' edges sit at q = 0.7417
// and 0.2583 (hues 44.5, 75.5, 104.5, 135.5, 164.5, 195.5); the tests keep a margin of 0.01,
// so a band they leave out can never be the one the exact computation finds.
constexpr bool bandsAre(int y0, int y1, int g0, int g1, int c0, int c1)
{
    return kColourBands[0].from == y0 && kColourBands[0].to == y1 && kColourBands[1].from == g0 &&
           kColourBands[1].to == g1 && kColourBands[2].from == c0 && kColourBands[2].to == c1;
}
static_assert(bandsAre(45, 75, 105, 135, 165, 195),
              "bandsThatMayHold is worked out for these bands");

inline unsigned bandsThatMayHold(int r, int g, int b)
{
    // Written without branches: which channel is largest changes from pixel to pixel.
    int max = std::max({r, g, b});
    int d = max - std::min({r, g, b});
    unsigned grey = d == 0;
    unsigned redMax = r == max;                // hue 60 q, or 360 + 60 q below 0
    unsigned greenMax = !redMax & (g == max);  // hue 60 (2 + q)
    unsigned blueMax = !redMax & !greenMax;    // hue 60 (4 + q)
    int margin73 = 73 * d;
    int margin27 = 27 * d;
    int greenQ = 100 * (b - r);
    unsigned yellows = (redMax & (100 * (g - b) >= margin73)) | (greenMax & (greenQ <= -margin73));
    unsigned greens = greenMax & (greenQ >= -margin27) & (greenQ <= margin27);
    unsigned cyans = (greenMax & (greenQ >= margin73)) | (blueMax & (100 * (g - r) >= margin73));
    return (yellows * kYellows | greens * kGreens | cyans * kCyans) & (grey - 1);
}

inline unsigned bandsThatMayHold(uint32_t p)
{
    return bandsThatMayHold(redOf(p), greenOf(p), blueOf(p));
}

}  // namespace

FusedColourCore::FusedColourCore(float gamma, bool portrait)
    : m_layered(new uint8_t[256 * 256]),
      m_yellows(0, kBandSaturationBoost, 0, kColourBands[0].from, kColourBands[0].to),
      m_greens(0, kBandSaturationBoost, 0, kColourBands[1].from, kColourBands[1].to),
      m_cyans(0, kBandSaturationBoost, 0, kColourBands[2].from, kColourBands[2].to)
{
    std::array<uint8_t, 256> levels08 = LevelsCurve(0, 255, 0, 255, 0.8).lookup();
    std::array<uint8_t, 256> blended{};
    for (int s = 0; s < 256; ++s) {
        int d = blend::softLight(s, s);
        blended[size_t(s)] = uint8_t(blend::byAlpha(blend::overlay(s, d), d, 128));
        m_square[size_t(s)] = uint8_t(blend::multiply(s, s));
        m_screenAndSquare[size_t(s)] = uint32_t(blend::screen(s, s)) | uint32_t(m_square[size_t(s)])
                                                                           << 16;
    }
    for (int mean = 0; mean < 256; ++mean) {
        int alpha = shadowWeight(mean);
        for (int s = 0; s < 256; ++s) {
            int d =
                blend::byAlpha(levels08[size_t(blend::screen(s, s))], blended[size_t(s)], alpha);
            d = blend::byAlpha(blend::multiply(s, d), d, 128);
            m_layered[size_t(mean * 256 + s)] = uint8_t(d);
        }
    }
    for (int sum = 0; sum < 766; ++sum) {
        m_shadowMean[size_t(sum)] = uint8_t(sum / 3);
        m_highlightWeight[size_t(sum)] = uint8_t(colourHighlightWeight(sum / 3));
    }
    std::array<uint8_t, 256> levels = LevelsCurve(0, 255, 0, 255, gamma).lookup();
    ChannelMix mix = colourFilmMix(portrait);
    for (int out = 0; out < 3; ++out)
        for (int in = 0; in < 3; ++in)
            for (int v = 0; v < 256; ++v)
                m_mixTerms[size_t(out)][size_t(in)][size_t(v)] =
                    int16_t(mixTerm(levels[size_t(v)], std::clamp(mix.m[out * 3 + in], -200, 200)));
}

uint32_t FusedColourCore::operator()(uint32_t pixel) const
{
    int s[3] = {redOf(pixel), greenOf(pixel), blueOf(pixel)};
    uint32_t sums = m_screenAndSquare[size_t(s[0])] + m_screenAndSquare[size_t(s[1])] +
                    m_screenAndSquare[size_t(s[2])];
    const uint8_t* layered = m_layered.get() + size_t(m_shadowMean[sums & 0xFFFF]) * 256;
    int highlight = m_highlightWeight[sums >> 16];
    int d[3];
    for (int c = 0; c < 3; ++c)
        d[c] = blend::byAlphaMultiplied(m_square[size_t(s[c])], layered[s[c]], highlight);

    // The three bands one after the other, each on the pixel the one before left.
    if (unsigned bands = bandsThatMayHold(d[0], d[1], d[2])) {
        uint32_t p = makePixel(255, d[0], d[1], d[2]);
        HsvColour hsv = pixelToHsv(p);
        auto step = [&](const HsvAdjustment& band, unsigned later) {
            if (!band.contains(hsv.hue))
                return;
            p = band.adjust(hsv, p);
            bands = bandsThatMayHold(p) & later;
            if (bands)
                hsv = pixelToHsv(p);
        };
        if (bands & kYellows)
            step(m_yellows, kGreens | kCyans);
        if (bands & kGreens)
            step(m_greens, kCyans);
        if (bands & kCyans)
            step(m_cyans, 0);
        d[0] = redOf(p);
        d[1] = greenOf(p);
        d[2] = blueOf(p);
    }

    int out[3];
    for (int c = 0; c < 3; ++c) {
        const auto& terms = m_mixTerms[size_t(c)];
        int sum = terms[0][size_t(d[0])] + terms[1][size_t(d[1])] + terms[2][size_t(d[2])];
        out[c] = std::clamp(sum, 0, 255);
    }
    return makePixel(255, out[0], out[1], out[2]);
}

FusedColourFilm::FusedColourFilm(int exposure, int saturation, bool portrait)
    : m_first(exposureGamma(exposure), portrait),
      m_desaturate(0, std::clamp(5 * saturation, -100, 100), 0, 0, 359)
{
    if (saturation > 0) {
        m_second = std::make_unique<FusedColourCore>(kSaturationPassGamma, portrait);
        m_secondAlpha = int(std::min(10 * saturation, 100) * 2.5500000000000003) & 0xFF;
    }
    m_reduce = saturation < 0;
}

void FusedColourFilm::run(const uint32_t* src, uint32_t* dst, size_t n) const
{
    for (size_t i = 0; i < n; ++i) dst[i] = (*this)(src[i]);
}

uint32_t FusedColourFilm::operator()(uint32_t pixel) const
{
    uint32_t p = m_first(pixel);
    if (m_reduce)
        return m_desaturate.apply(p);
    if (!m_second)
        return p;
    uint32_t q = (*m_second)(p);
    return makePixel(255, blend::byAlphaMultiplied(redOf(q), redOf(p), m_secondAlpha),
                     blend::byAlphaMultiplied(greenOf(q), greenOf(p), m_secondAlpha),
                     blend::byAlphaMultiplied(blueOf(q), blueOf(p), m_secondAlpha));
}

}  // namespace tavelune
