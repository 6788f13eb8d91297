// Tables for the colour chain; each entry is computed with the kernels' own formulas.
#include "film/fused_colour.h"

#include <algorithm>

#include "film/blend_kernels.h"
#include "film/colour_film.h"
#include "film/film_settings.h"
#include "film/layer_alpha.h"
#include "film/pixel.h"
#include "film/tone_kernels.h"

namespace tavelune {
namespace {

// False only for pixels that no band between 45 and 195 degrees can hold: greys, and colours
// whose hue is surely below 44.5 degrees or above 195.5 (with a margin, so that no rounding
// of the exact test can disagree).
inline bool mayBeInBands(int r, int g, int b)
{
    int max = std::max({r, g, b});
    int min = std::min({r, g, b});
    int d = max - min;
    if (d == 0)
        return false;
    if (r == max)
        return g >= b && 100 * (g - b) >= 74 * d;
    if (g == max)
        return true;
    return r <= g && 100 * (g - r) >= 74 * d;
}

}  // namespace

FusedColourCore::FusedColourCore(float gamma, bool portrait)
    : m_layered(new uint8_t[256 * 256]),
      m_yellows(0, 20, 0, 45, 75),
      m_greens(0, 20, 0, 105, 135),
      m_cyans(0, 20, 0, 165, 195)
{
    std::array<uint8_t, 256> levels08 = LevelsCurve(0, 255, 0, 255, 0.8).lookup();
    std::array<uint8_t, 256> blended{};
    for (int s = 0; s < 256; ++s) {
        int d = blend::softLight(s, s);
        blended[size_t(s)] = uint8_t(blend::byAlpha(blend::overlay(s, d), d, 128));
        m_screen[size_t(s)] = uint8_t(blend::screen(s, s));
        m_square[size_t(s)] = uint8_t(blend::multiply(s, s));
    }
    for (int mean = 0; mean < 256; ++mean) {
        int alpha = shadowWeight(mean);
        for (int s = 0; s < 256; ++s) {
            int d = blend::byAlpha(levels08[m_screen[size_t(s)]], blended[size_t(s)], alpha);
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
                m_mixTerms[size_t(out)][size_t(in)][size_t(v)] = int16_t(
                    mixTerm(levels[size_t(v)], std::clamp(mix.m[out * 3 + in], -200, 200)));
}

uint32_t FusedColourCore::operator()(uint32_t pixel) const
{
    int s[3] = {redOf(pixel), greenOf(pixel), blueOf(pixel)};
    int screenSum = m_screen[size_t(s[0])] + m_screen[size_t(s[1])] + m_screen[size_t(s[2])];
    const uint8_t* layered = m_layered.get() + size_t(m_shadowMean[size_t(screenSum)]) * 256;
    int squareSum = m_square[size_t(s[0])] + m_square[size_t(s[1])] + m_square[size_t(s[2])];
    int highlight = m_highlightWeight[size_t(squareSum)];
    int d[3];
    for (int c = 0; c < 3; ++c)
        d[c] = blend::byAlpha(m_square[size_t(s[c])], layered[s[c]], highlight);

    if (mayBeInBands(d[0], d[1], d[2])) {
        uint32_t p = makePixel(255, d[0], d[1], d[2]);
        HsvColour hsv = pixelToHsv(p);
        if (m_yellows.contains(hsv.hue)) {
            p = m_yellows.adjust(hsv, p);
            hsv = pixelToHsv(p);
        }
        if (m_greens.contains(hsv.hue)) {
            p = m_greens.adjust(hsv, p);
            hsv = pixelToHsv(p);
        }
        if (m_cyans.contains(hsv.hue))
            p = m_cyans.adjust(hsv, p);
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

uint32_t FusedColourFilm::operator()(uint32_t pixel) const
{
    uint32_t p = m_first(pixel);
    if (m_reduce)
        return m_desaturate.apply(p);
    if (!m_second)
        return p;
    uint32_t q = (*m_second)(p);
    return makePixel(255, blend::byAlpha(redOf(q), redOf(p), m_secondAlpha),
                     blend::byAlpha(greenOf(q), greenOf(p), m_secondAlpha),
                     blend::byAlpha(blueOf(q), blueOf(p), m_secondAlpha));
}

}  // namespace tavelune
