// The slide recipes, step by step over whole runs.
#include "film/slide_film.h"

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
namespace {

// Before each band; with three bands the bar moves as Velvia's does.
constexpr int kBandAdvances[SlideRecipe::kMaxBands] = {10, 5, 10, 5};
constexpr int kLayerAdvances[] = {5, 10, 10, 10, 10, 10, 5};

}  // namespace

std::vector<int> slideCoreAdvances(const SlideRecipe& recipe)
{
    std::vector<int> advances(std::begin(kLayerAdvances), std::end(kLayerAdvances));
    int bands = std::clamp(recipe.bandCount, 0, SlideRecipe::kMaxBands);
    advances.insert(advances.end(), kBandAdvances, kBandAdvances + bands);
    advances.push_back(5);
    advances.push_back(5);
    return advances;
}

bool slideFilmCore(uint32_t* dst, const uint32_t* src, uint32_t n, const SlideRecipe& recipe,
                   float gamma, bool portrait, Progress* progress, int budget)
{
    ProgressBudget bar(progress, budget);
    PixelRun temp(n);
    uint32_t* t = temp.pixels;
    if (!t)
        return false;
    std::vector<int> advances = slideCoreAdvances(recipe);
    auto step = advances.begin();
    bar.advance(*step++);
    softLightPixels(dst, src, src, n);
    bar.advance(*step++);
    overlayPixels(t, src, dst, n);
    fillChannel(t, n, 'A', recipe.overlayAlpha);
    blendByAlpha(dst, t, dst, n);
    bar.advance(*step++);
    screenPixels(t, src, src, n);
    setShadowAlpha(t, n);
    bar.advance(*step++);
    applyLevels(t, t, n, 0, 255, 0, 255, recipe.shadowGamma, kAllChannels);
    blendByAlpha(dst, t, dst, n);
    bar.advance(*step++);
    multiplyPixels(t, src, dst, n);
    fillChannel(t, n, 'A', recipe.multiplyAlpha);
    blendByAlpha(dst, t, dst, n);
    bar.advance(*step++);
    multiplyPixels(t, src, src, n);
    setColourHighlightAlpha(t, n);
    bar.advance(*step++);
    blendByAlpha(dst, t, dst, n);
    // The layers at the recipe's strength over the picture they were made from.
    fillChannel(dst, n, 'A', recipe.strength);
    blendByAlpha(dst, dst, src, n);
    for (int i = 0; i < std::clamp(recipe.bandCount, 0, SlideRecipe::kMaxBands); ++i) {
        bar.advance(*step++);
        const SlideBand& band = recipe.bands[i];
        adjustHsv(dst, dst, n, band.hueShift, band.saturation, 0, band.from, band.to);
    }
    bar.advance(*step++);
    applyLevels(dst, dst, n, 0, 255, 0, 255, gamma, kAllChannels);
    bar.advance(*step++);
    const ChannelMix& mix = portrait ? recipe.portraitMix : recipe.mix;
    mixChannels(dst, dst, n, mix.m[0], mix.m[1], mix.m[2], mix.m[3], mix.m[4], mix.m[5], mix.m[6],
                mix.m[7], mix.m[8]);
    bar.finish();
    return true;
}

bool slideFilm(uint32_t* result, const uint32_t* source, uint32_t n, const SlideRecipe& recipe,
               int exposure, int saturation, bool portrait, Progress* progress, int budget)
{
    auto core = [&](uint32_t* dst, const uint32_t* src, float gamma, int share) {
        return slideFilmCore(dst, src, n, recipe, gamma, portrait, progress, share);
    };
    return runSaturationPasses(result, source, n, exposureGamma(exposure),
                               recipe.saturationPassGamma, saturation, progress, budget, core);
}

}  // namespace tavelune
