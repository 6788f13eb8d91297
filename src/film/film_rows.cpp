// The film table. Adding a film is a row here plus its recipe (film_recipe.h) and its name
// in resources/strings/film.inc; every reader takes the rest from the row.
#include "film/film_recipe.h"
#include "film/film_registry.h"
#ifdef TAVELUNE_MADE_UP_FILMS
// Test builds add a film to show that a row is all the readers need.
#include "made_up_film.h"
#endif

namespace tavelune {
namespace {

constexpr FilmOptionsShown kColourOptions = {true, false, false};
constexpr FilmOptionsShown kMonochromeOptions = {false, true, true};

// Text ids are rows of resources/strings/film.inc.
const FilmRow kFilmRows[] = {
    {kFilmVelvia, "velvia", "velvia", 57349, "velvia", "Velvia", velviaRecipe, kColourOptions},
    {kFilmTmax, "tmax", "tmax", 57351, "tmax", "T-Max 100", tmaxRecipe, kMonochromeOptions},
    {kFilmE100Vs, "e100vs", "e100vs", 57350, "e100vs", "E100 VS", e100VsRecipe, kColourOptions},
    {kFilmAstia, "astia", "astia", 57355, "astia", "Astia", astiaRecipe, kColourOptions},
#ifdef TAVELUNE_MADE_UP_FILMS
    kMadeUpFilmRow,
#endif
};

}  // namespace

std::span<const FilmRow> filmRows()
{
    return kFilmRows;
}

}  // namespace tavelune
