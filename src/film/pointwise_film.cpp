// The film step's recipe as a function of each pixel alone, for work done piece by piece.
#include "film/pointwise_film.h"

#include <cstring>
#include <new>

#include "film/film_step.h"
#include "film/fused_colour.h"
#include "film/fused_mono.h"
#include "film/fused_slide.h"
#include "film/slide_recipe.h"

namespace tavelune {
namespace {

template <typename Film>
class Fused final : public PointwiseFilm {
public:
    template <typename... Args>
    explicit Fused(Args&&... args) : m_film(std::forward<Args>(args)...)
    {
    }
    void run(const uint32_t* src, uint32_t* dst, size_t n) const override
    {
        m_film.run(src, dst, n);
    }

private:
    Film m_film;
};

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
        if (!hasFilmRecipe(settings.filmType))
            return nullptr;
        if (const SlideRecipe* slide = slideRecipeFor(settings.filmType))
            return std::make_unique<Fused<FusedSlideFilm>>(*slide, settings.exposure,
                                                           settings.saturation, settings.portrait);
        if (settings.filmType == kFilmTmax) {
            if (!FusedMonoFilm::foldable())
                return nullptr;
            return std::make_unique<Fused<FusedMonoFilm>>(
                settings.exposure, settings.saturation, settings.highKey, settings.blackCorrection);
        }
        return std::make_unique<Fused<FusedColourFilm>>(settings.exposure, settings.saturation,
                                                        settings.portrait);
    } catch (const std::bad_alloc&) {
        return nullptr;
    }
}

}  // namespace tavelune
