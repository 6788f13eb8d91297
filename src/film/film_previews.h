// Small previews of one picture through every film, for choosing a film by its look.
#pragma once

#include <atomic>
#include <vector>

#include "engine/image.h"
#include "film/film_settings.h"

namespace tavelune {

/// source reduced (bilinear) so that its longer side is at most maxSide, as an opened
/// picture is reduced; a copy when it already fits. False for an empty source or no memory.
bool filmPreviewSource(const Image& source, int maxSide, Image& out);

struct FilmPreviews {
    /// One per film row, in list order; empty for a film without a recipe or whose step failed.
    std::vector<Image> pictures;
    /// False when stop was raised before every film was drawn.
    bool complete = false;
};

/// The film step of each film over source, with settings' options and the film switched on
/// whatever the page says (a preview shows what the film would do). stop (may be null) is
/// looked at between films.
FilmPreviews renderFilmPreviews(const Image& source, const FilmSettings& settings,
                                const std::atomic<bool>* stop);

}  // namespace tavelune
