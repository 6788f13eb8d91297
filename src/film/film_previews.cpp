// Film previews: the source reduced once, then each film's step over it.
#include "film/film_previews.h"

#include "engine/fit_within.h"
#include "film/film_registry.h"
#include "film/film_step.h"

namespace tavelune {

bool filmPreviewSource(const Image& source, int maxSide, Image& out)
{
    if (source.isEmpty() || maxSide < 1)
        return false;
    Image reduced(source);
    if (reduced.isEmpty() || !fitWithin(reduced, maxSide))
        return false;
    out = std::move(reduced);
    return true;
}

FilmPreviews renderFilmPreviews(const Image& source, const FilmSettings& settings,
                                const std::atomic<bool>* stop)
{
    FilmPreviews previews;
    for (const FilmRow& film : filmRows()) {
        if (stop && stop->load())
            return previews;
        FilmSettings look = settings;
        look.enabled = true;
        look.filmType = film.code;
        Image picture;
        if (source.isEmpty() || !runFilmStep(source, picture, look, nullptr, 0))
            picture = Image();
        previews.pictures.push_back(std::move(picture));
    }
    previews.complete = true;
    return previews;
}

}  // namespace tavelune
