// The film step's recipe as a function of each pixel alone, for work done piece by piece.
#include "film/pointwise_film.h"

#include <cstring>
#include <new>

#include "film/film_recipe.h"
#include "film/film_registry.h"

namespace tavelune {
namespace {

class Copy final : public PointwiseFilm {
public:
    void run(const uint32_t* src, uint32_t* dst, size_t n) const override
    {
        std::memcpy(dst, src, n * sizeof(uint32_t));
    }
};

}  // namespace

std::unique_ptr<PointwiseFilm> PointwiseFilm::make(const FilmSettings& settings)
{
    try {
        if (!settings.enabled)
            return std::make_unique<Copy>();
        const FilmRecipe* recipe = filmRecipe(settings.filmType);
        return recipe ? recipe->fused(settings) : nullptr;
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace tavelune
