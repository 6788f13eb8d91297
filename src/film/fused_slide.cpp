// The slide recipes' hue bands around the shared stages.
#include "film/fused_slide.h"

#include <algorithm>

#include "film/film_settings.h"
#include "pixel/pixel.h"

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
    : m_stages({recipe.overlayAlpha, recipe.shadowGamma, recipe.multiplyAlpha, recipe.strength},
               gamma, portrait ? recipe.portraitMix : recipe.mix),
      m_bandCount(std::clamp(recipe.bandCount, 0, SlideRecipe::kMaxBands)),
      m_adjustments(adjustmentsOf(recipe))
{
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
    int redSixths = g - b + (g < b) * kSixthsPerCircle * d;
    int greenSixths = 2 * d + b - r;
    int blueSixths = 4 * d + r - g;
    int sixths = r == max ? redSixths : g == max ? greenSixths : blueSixths;
    int scaled = kHundredthsPerSixth * sixths;
    uint32_t mask = 0;
    for (int i = 0; i < m_bandCount; ++i)
        mask |= uint32_t(int(scaled >= m_low[size_t(i)] * d) & int(scaled <= m_high[size_t(i)] * d))
                << i;
    // A grey has no hue to test.
    return (mask & -uint32_t(d > 0)) | m_always;
}

inline uint32_t FusedSlideCore::adjustBands(uint32_t p, uint32_t possible) const
{
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
    return p;
}

uint32_t FusedSlideCore::operator()(uint32_t pixel) const
{
    return m_stages.through(
        pixel, [this](int r, int g, int b) { return bands(r, g, b); },
        [this](uint32_t layered, uint32_t possible) { return adjustBands(layered, possible); });
}

ColourCoreKernel FusedSlideCore::kernel() const
{
    ColourCoreKernel k = m_stages.kernel();
    k.bandCount = m_bandCount;
    for (size_t i = 0; i < size_t(m_bandCount); ++i) {
        k.bands[i] = m_adjustments[i].parts();
        k.low[i] = m_low[i];
        k.high[i] = m_high[i];
    }
    k.velviaBands = false;
    k.always = m_always;
    return k;
}

FusedSlideFilm::FusedSlideFilm(const SlideRecipe& recipe, int exposure, int saturation,
                               bool portrait)
    : FusedTwoPass(std::make_unique<FusedSlideCore>(recipe, exposureGamma(exposure), portrait),
                   saturation > 0 ? std::make_unique<FusedSlideCore>(
                                        recipe, recipe.saturationPassGamma, portrait)
                                  : nullptr,
                   saturation)
{
}

}  // namespace tavelune
