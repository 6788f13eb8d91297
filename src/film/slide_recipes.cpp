// The E100 VS and Astia recipes.
#include "film/film_recipe.h"
#include "film/film_registry.h"
#include "film/slide_recipe.h"

namespace tavelune {
namespace {

// Saturated and punchy like Velvia, but cleaner and a little warmer. A lighter overlay and a
// stronger multiply keep the depth while pushing dark oranges (skin) less toward red; greens
// are raised less than Velvia's, so foliage stays foliage; the mix warms by giving red a
// little more and blue a little less. Every change is smooth in the colour: a 3D LUT of the
// look follows it as closely as it follows Velvia.
constexpr SlideRecipe kE100Vs = {
    64,
    0.8,
    144,
    255,
    {{45, 75, 0, 20}, {105, 135, 0, 8}, {165, 195, 0, 16}, {}},
    3,
    {{105, -2, -2, -2, 104, -2, -2, -2, 103}},
    {{100, 0, 0, 10, 90, 0, 20, 5, 75}},
    1.375f,
};

// Soft: no overlay layer (it is what turns dark skin red), a multiply layer at half opacity,
// and all of it laid at half strength over the picture, so contrast and colour rise only a
// little; small even saturation steps; a mix whose rows sum to 100 keeps greys grey.
// Portrait warms less than the vivid films, since Astia's skin is already right.
constexpr SlideRecipe kAstia = {
    0,
    0.8,
    128,
    128,
    {{45, 75, 0, 8}, {105, 135, 0, 8}, {165, 195, 0, 8}, {}},
    3,
    {{102, -1, -1, -1, 102, -1, -1, -1, 102}},
    {{100, 0, 0, 6, 94, 0, 12, 4, 84}},
    1.375f,
};

}  // namespace

const FilmRecipe& e100VsRecipe()
{
    static const SlideChainRecipe recipe(kE100Vs);
    return recipe;
}

const FilmRecipe& astiaRecipe()
{
    static const SlideChainRecipe recipe(kAstia);
    return recipe;
}

const SlideRecipe* slideRecipeFor(int filmType)
{
    const FilmRecipe* recipe = filmRecipe(filmType);
    return recipe ? recipe->slideRecipe() : nullptr;
}

}  // namespace tavelune
