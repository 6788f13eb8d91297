// Tables for the slide chain; each entry is computed with the kernels' own formulas.
#include "film/fused_slide.h"

#include <algorithm>

#include "film/film_settings.h"
#include "pixel/blend_kernels.h"
#include "pixel/layer_alpha.h"
#include "pixel/pixel.h"
#include "pixel/tone_kernels.h"

namespace tavelune {
namespace {

std::array<HsvAdjustment, SlideRecipe::kMaxBands> adjustmentsOf(const SlideRecipe& recipe)
{
    auto at = [&](int i) {
        const SlideBand& b = recipe.bands[i];
        return HsvAdjustment(b.hueShift, b.saturation, 0, b.from, b.to);
    };
    static_assert(SlideRecipe::kMaxBands == 4);
    return {at(0), at(1), at(2), at(3)};
}

}  // namespace

FusedSlideCore::FusedSlideCore(const SlideRecipe& recipe, float gamma, bool portrait)
    : m_layered(new uint8_t[256 * 256]),
      m_strength(recipe.strength & 0xFF),
      m_bandCount(std::clamp(recipe.bandCount, 0, SlideRecipe::kMaxBands)),
      m_adjustments(adjustmentsOf(recipe))
{
    std::array<uint8_t, 256> shadowLevels =
        LevelsCurve(0, 255, 0, 255, recipe.shadowGamma).lookup();
    const int overlayAlpha = recipe.overlayAlpha & 0xFF;
    const int multiplyAlpha = recipe.multiplyAlpha & 0xFF;
    std::array<uint8_t, 256> blended{};
    for (int s = 0; s < 256; ++s) {
        int d = blend::softLight(s, s);
        blended[size_t(s)] = uint8_t(blend::byAlpha(blend::overlay(s, d), d, overlayAlpha));
        m_square[size_t(s)] = uint8_t(blend::multiply(s, s));
        m_screenAndSquare[size_t(s)] = uint32_t(blend::screen(s, s)) | uint32_t(m_square[size_t(s)])
                                                                           << 16;
    }
    for (int mean = 0; mean < 256; ++mean) {
        int alpha = shadowWeight(mean);
        for (int s = 0; s < 256; ++s) {
            int d = blend::byAlpha(shadowLevels[size_t(blend::screen(s, s))], blended[size_t(s)],
                                   alpha);
            d = blend::byAlpha(blend::multiply(s, d), d, multiplyAlpha);
            m_layered[size_t(mean * 256 + s)] = uint8_t(d);
        }
    }
    for (int sum = 0; sum < 766; ++sum) {
        m_shadowMean[size_t(sum)] = uint8_t(sum / 3);
        m_highlightWeight[size_t(sum)] = uint8_t(colourHighlightWeight(sum / 3));
    }
    std::array<uint8_t, 256> levels = LevelsCurve(0, 255, 0, 255, gamma).lookup();
    const ChannelMix& mix = portrait ? recipe.portraitMix : recipe.mix;
    for (int out = 0; out < 3; ++out)
        for (int in = 0; in < 3; ++in)
            for (int v = 0; v < 256; ++v)
                m_mixTerms[size_t(out)][size_t(in)][size_t(v)] =
                    int16_t(mixTerm(levels[size_t(v)], std::clamp(mix.m[out * 3 + in], -200, 200)));
    for (int step = -255; step <= 255; ++step)
        m_strengthStep[size_t(step + 255)] = int16_t(blend::byAlphaMultiplied(step, 0, m_strength));
    for (int i = 0; i < m_bandCount; ++i) {
        const SlideBand& b = recipe.bands[i];
        // A band that reaches hue 0 holds the greys, whose hue is 0 whatever their channels
        // say; one that wraps or is clamped is left to the exact test alone.
        if (b.from <= 0 || b.from >= b.to || b.to > 359)
            m_always |= 1u << i;
        m_low[size_t(i)] = 100 * b.from - 51;
        m_high[size_t(i)] = 100 * b.to + 51;
    }
}

// Which bands may hold the colour's hue, one bit per band, without dividing: the hue in
// hundredths of a degree times the channel spread is an integer, and the bands' edges (half
// a degree outside them) are widened by a hundredth so rounding can never lose a band.
inline uint32_t FusedSlideCore::bands(int r, int g, int b) const
{
    int max = std::max({r, g, b});
    int d = max - std::min({r, g, b});
    // hue / 60 x d, chosen without branches: which channel is largest changes from pixel to
    // pixel.
    int redSixths = g - b + (g < b) * 6 * d;
    int greenSixths = 2 * d + b - r;
    int blueSixths = 4 * d + r - g;
    int sixths = r == max ? redSixths : g == max ? greenSixths : blueSixths;
    int scaled = 6000 * sixths;
    uint32_t mask = 0;
    for (int i = 0; i < m_bandCount; ++i)
        mask |= uint32_t(int(scaled >= m_low[size_t(i)] * d) & int(scaled <= m_high[size_t(i)] * d))
                << i;
    // A grey has no hue to test.
    return (mask & -uint32_t(d > 0)) | m_always;
}

uint32_t FusedSlideCore::operator()(uint32_t pixel) const
{
    int s[3] = {redOf(pixel), greenOf(pixel), blueOf(pixel)};
    uint32_t sums = m_screenAndSquare[size_t(s[0])] + m_screenAndSquare[size_t(s[1])] +
                    m_screenAndSquare[size_t(s[2])];
    const uint8_t* layered = m_layered.get() + size_t(m_shadowMean[sums & 0xFFFF]) * 256;
    int highlight = m_highlightWeight[sums >> 16];
    int d[3];
    for (int c = 0; c < 3; ++c)
        d[c] = blend::byAlphaMultiplied(m_square[size_t(s[c])], layered[s[c]], highlight);
    // At full strength the layers replace the source: byAlphaMultiplied gives them unchanged.
    if (m_strength != 255)
        for (int c = 0; c < 3; ++c) d[c] = s[c] + m_strengthStep[size_t(d[c] - s[c] + 255)];

    if (uint32_t possible = bands(d[0], d[1], d[2])) {
        uint32_t p = makePixel(255, d[0], d[1], d[2]);
        HsvColour hsv = pixelToHsv(p);
        for (int i = 0; i < m_bandCount; ++i) {
            const HsvAdjustment& band = m_adjustments[size_t(i)];
            if (!(possible >> i & 1) || !band.contains(hsv.hue))
                continue;
            p = band.adjust(hsv, p);
            // Only the bands still to come matter, and they need the new hue.
            possible = bands(redOf(p), greenOf(p), blueOf(p)) & ~((2u << i) - 1);
            if (!possible)
                break;
            hsv = pixelToHsv(p);
        }
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

FusedSlideFilm::FusedSlideFilm(const SlideRecipe& recipe, int exposure, int saturation,
                               bool portrait)
    : m_first(recipe, exposureGamma(exposure), portrait),
      m_desaturate(0, std::clamp(5 * saturation, -100, 100), 0, 0, 359)
{
    if (saturation > 0) {
        m_second = std::make_unique<FusedSlideCore>(recipe, recipe.saturationPassGamma, portrait);
        m_secondAlpha = int(std::min(10 * saturation, 100) * 2.5500000000000003) & 0xFF;
    }
    m_reduce = saturation < 0;
}

void FusedSlideFilm::run(const uint32_t* src, uint32_t* dst, size_t n) const
{
    for (size_t i = 0; i < n; ++i) dst[i] = (*this)(src[i]);
}

uint32_t FusedSlideFilm::operator()(uint32_t pixel) const
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
