// Colour slide films other than Velvia: the colour layer chain with a recipe's constants.
#pragma once

#include <cstdint>
#include <vector>

#include "film/slide_recipe.h"
#include "pixel/progress.h"

namespace tavelune {

/// The chain from src into dst (dst is not read first). False, dst untouched, when the
/// temporary run cannot be allocated.
bool slideFilmCore(uint32_t* dst, const uint32_t* src, uint32_t n, const SlideRecipe& recipe,
                   float gamma, bool portrait, Progress* progress, int budget);

/// The whole film, with saturation handled as colourFilm does: reduced in HSV below 0,
/// a second chain blended over the first above 0.
bool slideFilm(uint32_t* result, const uint32_t* source, uint32_t n, const SlideRecipe& recipe,
               int exposure, int saturation, bool portrait, Progress* progress, int budget);

/// The advances (percent of its budget) that slideFilmCore makes, in order.
std::vector<int> slideCoreAdvances(const SlideRecipe& recipe);

}  // namespace tavelune
