// The made-up film's recipe: the slide chain with constants of its own.
#include "film/film_recipe.h"
#include "film/slide_recipe.h"
#include "made_up_film.h"

namespace tavelune {
namespace {

// Velvia's layers with a cold mix, so its look is told apart from every real film.
constexpr SlideRecipe kMadeUp = {
    128,
    0.8,
    128,
    255,
    {{45, 75, 0, 20}, {105, 135, 0, 20}, {165, 195, 0, 20}, {}},
    3,
    {{96, 2, 2, 0, 100, 0, 0, 4, 108}},
    {{100, 0, 0, 0, 100, 0, 0, 0, 100}},
    1.375f,
};

}  // namespace

const FilmRecipe& madeUpRecipe()
{
    static const SlideChainRecipe recipe(kMadeUp);
    return recipe;
}

}  // namespace tavelune
