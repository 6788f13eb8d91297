// The film step of the conversion: the result picture rebuilt from the source by a recipe.
// Layer film: recipes, the film step and sharpening; sits on engine and pixel.
#pragma once

#include "film/film_settings.h"
#include "pixel/progress.h"

namespace tavelune {

class Image;

/// Rebuilds result from source with the settings (read once), then sharpens. Film switched
/// off: result is an exact copy. The bar (may be null) moves by budget points. False when
/// the result cannot be created, for a film type without a recipe (the result is left white)
/// or when the recipe runs out of memory.
bool runFilmStep(const Image& source, Image& result, const FilmSettings& settings,
                 Progress* progress, int budget, FilmEngine engine = FilmEngine::Fast);

/// Whether the film step knows how to render this film type.
bool hasFilmRecipe(int filmType);

}  // namespace tavelune
