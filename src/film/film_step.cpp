// The film step: create the result, run the film's recipe, sharpen.
#include "film/film_step.h"

#include <cstdint>
#include <limits>
#include <memory>

#include "engine/image.h"
#include "engine/parallel.h"
#include "film/film_recipe.h"
#include "film/film_registry.h"
#include "film/sharpen.h"

namespace tavelune {
namespace {

// Small enough that a chunk's source and result stay in the cache while it is worked on,
// large enough that handing chunks out costs nothing.
constexpr size_t kChunkPixels = 16384;

void runFused(const uint32_t* source, uint32_t* result, size_t n, const PointwiseFilm& film,
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
    const FilmRecipe* recipe = filmRecipe(settings.filmType);
    const std::unique_ptr<PointwiseFilm> fused =
        engine == FilmEngine::Fast && recipe ? recipe->fused(settings) : nullptr;
    if (fused ? !result.allocate(source.width(), source.height(), source.dpi())
              : !result.create(source.width(), source.height(), source.dpi()))
        return false;
    if (!recipe)
        return false;
    const size_t count = source.pixelCount();
    if (fused) {
        runFused(source.pixels(), result.pixels(), count, *fused,
                 recipe->progressPlan(settings, budget), progress);
    } else {
        // The run kernels count pixels in 32 bits.
        if (count > std::numeric_limits<uint32_t>::max())
            return false;
        if (!recipe->runChain(result.pixels(), source.pixels(), uint32_t(count), settings,
                              progress, budget))
            return false;
    }
    sharpenPicture(result, settings.sharpnessPosition,
                   engine == FilmEngine::Fast ? defaultThreadCount() : 1);
    return true;
}

bool hasFilmRecipe(int filmType)
{
    return filmRecipe(filmType) != nullptr;
}

}  // namespace tavelune
