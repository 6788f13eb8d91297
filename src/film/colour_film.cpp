// The colour recipe, step by step over whole runs.
#include "film/colour_film.h"

#include <algorithm>

#include "engine/image.h"
#include "film/film_settings.h"
#include "film/progress_budget.h"
#include "film/saturation_passes.h"
#include "pixel/blend_kernels.h"
#include "pixel/hsv.h"
#include "pixel/layer_alpha.h"
#include "pixel/tone_kernels.h"

namespace tavelune {
ChannelMix colourFilmMix(bool portrait)
{
    if (portrait)
        return {{100, 0, 0, 10, 90, 0, 20, 5, 75}};
    return {{104, -2, -2, -2, 104, -2, -2, -2, 104}};
}

bool colourFilmCore(uint32_t* dst, const uint32_t* src, uint32_t n, float gamma, bool portrait,
                    Progress* progress, int budget)
{
    ProgressBudget bar(progress, budget);
    PixelRun temp(n);
    uint32_t* t = temp.pixels;
    if (!t)
        return false;
    bar.advance(5);
    softLightPixels(dst, src, src, n);
    bar.advance(10);
    overlayPixels(t, src, dst, n);
    fillChannel(t, n, 'A', 128);
    blendByAlpha(dst, t, dst, n);
    bar.advance(10);
    screenPixels(t, src, src, n);
    setShadowAlpha(t, n);
    bar.advance(10);
    applyLevels(t, t, n, 0, 255, 0, 255, 0.8, kAllChannels);
    blendByAlpha(dst, t, dst, n);
    bar.advance(10);
    multiplyPixels(t, src, dst, n);
    fillChannel(t, n, 'A', 128);
    blendByAlpha(dst, t, dst, n);
    bar.advance(10);
    multiplyPixels(t, src, src, n);
    setColourHighlightAlpha(t, n);
    bar.advance(5);
    blendByAlpha(dst, t, dst, n);
    bar.advance(10);
    const auto& [yellows, greens, cyans] = kColourBands;
    adjustHsv(dst, dst, n, 0, kBandSaturationBoost, 0, yellows.from, yellows.to);
    bar.advance(5);
    adjustHsv(dst, dst, n, 0, kBandSaturationBoost, 0, greens.from, greens.to);
    bar.advance(10);
    adjustHsv(dst, dst, n, 0, kBandSaturationBoost, 0, cyans.from, cyans.to);
    bar.advance(5);
    applyLevels(dst, dst, n, 0, 255, 0, 255, gamma, kAllChannels);
    bar.advance(5);
    ChannelMix mix = colourFilmMix(portrait);
    mixChannels(dst, dst, n, mix.m[0], mix.m[1], mix.m[2], mix.m[3], mix.m[4], mix.m[5], mix.m[6],
                mix.m[7], mix.m[8]);
    bar.finish();
    return true;
}

bool colourFilm(uint32_t* result, const uint32_t* source, uint32_t n, int exposure, int saturation,
                bool portrait, Progress* progress, int budget)
{
    auto core = [&](uint32_t* dst, const uint32_t* src, float gamma, int share) {
        return colourFilmCore(dst, src, n, gamma, portrait, progress, share);
    };
    return runSaturationPasses(result, source, n, exposureGamma(exposure), kSaturationPassGamma,
                               saturation, progress, budget, core);
}

}  // namespace tavelune
