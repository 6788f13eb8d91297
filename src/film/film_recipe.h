// A film's recipe: how the film step renders one film, on either engine.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>

#include "film/film_settings.h"
#include "film/pointwise_film.h"
#include "film/progress_plan.h"
#include "pixel/progress.h"

namespace tavelune {

struct SlideRecipe;

class FilmRecipe {
public:
    virtual ~FilmRecipe() = default;
    /// The chain folded into a function of each pixel (the fast engine); null when this
    /// chain cannot be folded, so it must run the long way. May throw std::bad_alloc.
    virtual std::unique_ptr<PointwiseFilm> fused(const FilmSettings& settings) const = 0;
    /// The bar's moves of runChain, for the fused chain to play back as it goes.
    virtual ProgressPlan progressPlan(const FilmSettings& settings, int budget) const = 0;
    /// The chain of run kernels from source into result, which starts white and opaque.
    /// False when a temporary run cannot be allocated.
    virtual bool runChain(uint32_t* result, const uint32_t* source, uint32_t n,
                          const FilmSettings& settings, Progress* progress, int budget) const = 0;
    /// The constants of a film made with the slide chain; null for other chains.
    virtual const SlideRecipe* slideRecipe() const { return nullptr; }
};

/// The colour slide chain with a recipe's constants (the recipe must outlive it).
class SlideChainRecipe final : public FilmRecipe {
public:
    explicit SlideChainRecipe(const SlideRecipe& recipe) : m_recipe(recipe) {}
    std::unique_ptr<PointwiseFilm> fused(const FilmSettings& settings) const override;
    ProgressPlan progressPlan(const FilmSettings& settings, int budget) const override;
    bool runChain(uint32_t* result, const uint32_t* source, uint32_t n,
                  const FilmSettings& settings, Progress* progress, int budget) const override;
    const SlideRecipe* slideRecipe() const override { return &m_recipe; }

private:
    const SlideRecipe& m_recipe;
};

/// The recipes of the registry's films.
const FilmRecipe& velviaRecipe();
const FilmRecipe& tmaxRecipe();
const FilmRecipe& e100VsRecipe();
const FilmRecipe& astiaRecipe();

}  // namespace tavelune
