// The monochrome recipe, step by step over whole runs.
#include "film/mono_film.h"

#include <algorithm>

#include "engine/image.h"
#include "film/film_settings.h"
#include "film/progress_budget.h"
#include "pixel/blend_kernels.h"
#include "pixel/hsv.h"
#include "pixel/layer_alpha.h"
#include "pixel/luma.h"
#include "pixel/tone_kernels.h"

namespace tavelune {

bool monoFilm(uint32_t* result, const uint32_t* source, uint32_t n, int exposure, int saturation,
              bool highKey, bool blackCorrection, Progress* progress, int budget)
{
    ProgressBudget bar(progress, budget);
    uint32_t* t = allocatePixels(n);
    if (!t)
        return false;
    uint32_t* d = result;
    const uint32_t* s = source;
    const auto [r, g, b] = kMonoMix;
    bar.advance(5);
    mixChannels(t, s, n, r, g, b, r, g, b, r, g, b);
    bar.advance(10);
    softLightPixels(d, s, t, n);
    if (highKey) {
        bar.advance(5);
        screenPixels(t, s, d, n);
        fillChannel(t, n, 'A', kHighKeyScreenAlpha);
        compositeOver(d, t, d, n);
        bar.advance(10);
        overlayPixels(t, s, d, n);
        fillChannel(t, n, 'A', 128);
        compositeOver(d, t, d, n);
        bar.advance(10);
        screenPixels(t, s, s, n);
        setShadowAlpha(t, n);
        bar.advance(10);
        applyLevels(t, t, n, 0, 255, 0, 255, 0.9, kAllChannels);
        blendByAlpha(d, t, d, n);
        bar.advance(10);
        multiplyPixels(t, s, d, n);
        fillChannel(t, n, 'A', 128);
        compositeOver(d, t, d, n);
        bar.advance(10);
        multiplyPixels(t, s, s, n);
        setMonoHighlightAlpha(t, n);
        blendByAlpha(d, t, d, n);
        bar.advance(10);
    } else {
        bar.advance(15);
        overlayPixels(t, s, d, n);
        fillChannel(t, n, 'A', 128);
        compositeOver(d, t, d, n);
        bar.advance(20);
        screenPixels(t, s, d, n);
        fillChannel(t, n, 'A', 128);
        compositeOver(d, t, d, n);
        bar.advance(25);
    }
    freePixels(t);
    greyByLuma(d, n);
    bar.advance(10);
    applyLevels(d, d, n, 0, 255, 0, 255, exposureGamma(exposure), kAllChannels);
    bar.advance(10);
    // Lifting green alone cancels the reddish look of neutral greys on some devices.
    if (blackCorrection)
        applyLevels(d, d, n, 0, 255, 0, 255, 1.2, 'G');
    int v = std::clamp(5 * saturation, -100, 100);
    if (v != 0)
        adjustHsv(d, d, n, 0, 0, v, 0, 359);
    bar.finish();
    return true;
}

}  // namespace tavelune
