// The E100 VS and Astia recipes.
#include "film/film_settings.h"
#include "film/slide_recipe.h"

namespace tavelune {
namespace {

// Saturated and punchy like Velvia, but cleaner and a little warmer: the same blend layers,
// greens raised less (foliage stays foliage), cyans and blues raised together for clean
// skies, and the deep oranges of skin, which the layers push toward red, turned three
// degrees back. The mix warms by giving red a little more and blue a little less.
constexpr SlideRecipe kE100Vs = {
    128,
    0.8,
    128,
    255,
    {{45, 75, 0, 20}, {105, 135, 0, 8}, {165, 240, 0, 16}, {5, 17, 3, 0}},
    4,
    {{105, -2, -2, -2, 104, -2, -2, -2, 103}},
    {{100, 0, 0, 10, 90, 0, 20, 5, 75}},
    1.375f,
};

// Soft: gentler overlay and multiply layers, laid at half strength over the picture, so
// contrast and colour rise only a little; small even saturation steps; deep skin oranges
// turned back toward their own hue and calmed; a mix whose rows sum to 100 keeps greys
// grey. Portrait warms less than the vivid films, since Astia's skin is already right.
constexpr SlideRecipe kAstia = {
    96,
    0.8,
    96,
    128,
    {{45, 75, 0, 8}, {105, 135, 0, 8}, {165, 195, 0, 8}, {5, 17, 3, -5}},
    4,
    {{102, -1, -1, -1, 102, -1, -1, -1, 102}},
    {{100, 0, 0, 6, 94, 0, 12, 4, 84}},
    1.375f,
};

}  // namespace

const SlideRecipe* slideRecipeFor(int filmType)
{
    switch (filmType) {
        case kFilmE100Vs:
            return &kE100Vs;
        case kFilmAstia:
            return &kAstia;
        default:
            return nullptr;
    }
}

}  // namespace tavelune
