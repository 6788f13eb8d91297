// The film step's recipe as a function of each pixel alone, for work done piece by piece.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <utility>

#include "film/film_settings.h"
#include "film/repeat_skipping.h"

namespace tavelune {

/// dst[i] = film(src[i]): what runFilmStep writes before sharpening, for any split of the
/// picture into runs.
class PointwiseFilm {
public:
    /// The fast engine's film for settings (a plain copy when the film is off); null when the
    /// film type has no recipe or its chain cannot be folded into a per-pixel function.
    static std::unique_ptr<PointwiseFilm> make(const FilmSettings& settings);
    virtual ~PointwiseFilm() = default;
    virtual void run(const uint32_t* src, uint32_t* dst, size_t n) const = 0;
};

/// A fused film (FusedColourFilm, FusedMonoFilm, FusedSlideFilm) as a PointwiseFilm.
template <typename Film>
class FusedPointwise final : public PointwiseFilm {
public:
    template <typename... Args>
    explicit FusedPointwise(Args&&... args) : m_film(std::forward<Args>(args)...)
    {
    }
    void run(const uint32_t* src, uint32_t* dst, size_t n) const override
    {
        runSkippingRepeats(src, dst, n, [this](const uint32_t* s, uint32_t* d, size_t k) {
            m_film.run(s, d, k);
        });
    }

private:
    Film m_film;
};

}  // namespace tavelune
