// The colour, monochrome and slide chains behind the recipe interface.
#include "film/film_recipe.h"

#include "film/colour_film.h"
#include "film/fused_colour.h"
#include "film/fused_mono.h"
#include "film/fused_slide.h"
#include "film/mono_film.h"
#include "film/slide_film.h"

namespace tavelune {
namespace {

class ColourChainRecipe final : public FilmRecipe {
public:
    std::unique_ptr<PointwiseFilm> fused(const FilmSettings& s) const override
    {
        return std::make_unique<FusedPointwise<FusedColourFilm>>(s.exposure, s.saturation,
                                                                 s.portrait);
    }
    ProgressPlan progressPlan(const FilmSettings& s, int budget) const override
    {
        return ProgressPlan::colourFilm(s.saturation, budget);
    }
    bool runChain(uint32_t* result, const uint32_t* source, uint32_t n, const FilmSettings& s,
                  Progress* progress, int budget) const override
    {
        return colourFilm(result, source, n, s.exposure, s.saturation, s.portrait, progress,
                          budget);
    }
};

class MonoChainRecipe final : public FilmRecipe {
public:
    std::unique_ptr<PointwiseFilm> fused(const FilmSettings& s) const override
    {
        if (!FusedMonoFilm::foldable())
            return nullptr;
        return std::make_unique<FusedPointwise<FusedMonoFilm>>(s.exposure, s.saturation, s.highKey,
                                                               s.blackCorrection);
    }
    ProgressPlan progressPlan(const FilmSettings& s, int budget) const override
    {
        return ProgressPlan::monoFilm(s.highKey, budget);
    }
    bool runChain(uint32_t* result, const uint32_t* source, uint32_t n, const FilmSettings& s,
                  Progress* progress, int budget) const override
    {
        return monoFilm(result, source, n, s.exposure, s.saturation, s.highKey, s.blackCorrection,
                        progress, budget);
    }
};

}  // namespace

std::unique_ptr<PointwiseFilm> SlideChainRecipe::fused(const FilmSettings& s) const
{
    return std::make_unique<FusedPointwise<FusedSlideFilm>>(m_recipe, s.exposure, s.saturation,
                                                            s.portrait);
}

ProgressPlan SlideChainRecipe::progressPlan(const FilmSettings& s, int budget) const
{
    return ProgressPlan::slideFilm(m_recipe, s.saturation, budget);
}

bool SlideChainRecipe::runChain(uint32_t* result, const uint32_t* source, uint32_t n,
                                const FilmSettings& s, Progress* progress, int budget) const
{
    return slideFilm(result, source, n, m_recipe, s.exposure, s.saturation, s.portrait, progress,
                     budget);
}

const FilmRecipe& velviaRecipe()
{
    static const ColourChainRecipe recipe;
    return recipe;
}

const FilmRecipe& tmaxRecipe()
{
    static const MonoChainRecipe recipe;
    return recipe;
}

}  // namespace tavelune
