// The film step: create the result, run the film's recipe, sharpen.
#include "film/film_step.h"

#include <cstdint>
#include <limits>

#include "engine/image.h"
#include "engine/parallel.h"
#include "film/colour_film.h"
#include "film/fused_colour.h"
#include "film/fused_mono.h"
#include "film/fused_slide.h"
#include "film/mono_film.h"
#include "film/progress_plan.h"
#include "film/sharpen.h"
#include "film/slide_film.h"

namespace tavelune {
namespace {

// Small enough that a chunk's source and result stay in the cache while it is worked on,
// large enough that handing chunks out costs nothing.
constexpr size_t kChunkPixels = 16384;

template <typename PixelFunction>
void runFused(const uint32_t* source, uint32_t* result, size_t n, const PixelFunction& film,
              ProgressPlan plan, Progress* progress)
{
    int start = progress ? progress->position() : 0;
    auto work = [&](size_t begin, size_t end) {
        film.run(source + begin, result + begin, end - begin);
    };
    auto report = [&](size_t done) {
        if (progress)
            plan.playUntil(plan.size() * done / n, *progress, start);
    };
    parallelChunks(n, kChunkPixels, defaultThreadCount(), work, report);
}

bool runRecipe(const Image& source, Image& result, const FilmSettings& settings, Progress* progress,
               int budget, FilmEngine engine)
{
    const uint32_t* src = source.pixels();
    uint32_t* dst = result.pixels();
    size_t count = source.pixelCount();
    bool mono = settings.filmType == kFilmTmax;
    const SlideRecipe* slide = slideRecipeFor(settings.filmType);
    if (engine == FilmEngine::Fast && (!mono || FusedMonoFilm::foldable())) {
        if (slide) {
            FusedSlideFilm film(*slide, settings.exposure, settings.saturation, settings.portrait);
            runFused(src, dst, count, film,
                     ProgressPlan::slideFilm(*slide, settings.saturation, budget), progress);
        } else if (mono) {
            FusedMonoFilm film(settings.exposure, settings.saturation, settings.highKey,
                               settings.blackCorrection);
            runFused(src, dst, count, film, ProgressPlan::monoFilm(settings.highKey, budget),
                     progress);
        } else {
            FusedColourFilm film(settings.exposure, settings.saturation, settings.portrait);
            runFused(src, dst, count, film, ProgressPlan::colourFilm(settings.saturation, budget),
                     progress);
        }
        return true;
    }
    // The run kernels count pixels in 32 bits.
    if (count > std::numeric_limits<uint32_t>::max())
        return false;
    uint32_t n = uint32_t(count);
    if (slide)
        return slideFilm(dst, src, n, *slide, settings.exposure, settings.saturation,
                         settings.portrait, progress, budget);
    if (mono)
        return monoFilm(dst, src, n, settings.exposure, settings.saturation, settings.highKey,
                        settings.blackCorrection, progress, budget);
    return colourFilm(dst, src, n, settings.exposure, settings.saturation, settings.portrait,
                      progress, budget);
}

}  // namespace

bool runFilmStep(const Image& source, Image& result, const FilmSettings& settings,
                 Progress* progress, int budget, FilmEngine engine)
{
    if (!settings.enabled) {
        bool copied = result.create(source.width(), source.height(), source.dpi(), source.pixels());
        if (progress)
            progress->set(progress->position() + budget);
        return copied;
    }
    // White and opaque: the long monochrome chain composes over this alpha, and a film
    // without a recipe leaves the result white. The folded chains write every pixel whole,
    // so their result is not filled first.
    result.setFillColour(0xFFFFFFFF);
    const bool writesEveryPixel = engine == FilmEngine::Fast && hasFilmRecipe(settings.filmType) &&
                                  (settings.filmType != kFilmTmax || FusedMonoFilm::foldable());
    if (writesEveryPixel ? !result.allocate(source.width(), source.height(), source.dpi())
                         : !result.create(source.width(), source.height(), source.dpi()))
        return false;
    if (!hasFilmRecipe(settings.filmType))
        return false;
    if (!runRecipe(source, result, settings, progress, budget, engine))
        return false;
    sharpenPicture(result, settings.sharpnessPosition,
                   engine == FilmEngine::Fast ? defaultThreadCount() : 1);
    return true;
}

bool hasFilmRecipe(int filmType)
{
    return filmType == kFilmVelvia || filmType == kFilmTmax || slideRecipeFor(filmType);
}

}  // namespace tavelune
