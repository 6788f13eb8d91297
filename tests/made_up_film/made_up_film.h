// A film that only test builds know: one registry row and its recipe, to show that the row is
// all the command line, the settings file and the film page need.
#pragma once

#include "film/film_registry.h"

namespace tavelune {

const FilmRecipe& madeUpRecipe();

/// Its names differ from column to column, so each reader is seen to take its own; it shows
/// none of the film options. Its text id is in no string table.
inline constexpr FilmRow kMadeUpFilmRow = {77,           "madeup",     "made-up",
                                           61999,        "madeup-look", "Made-Up 64",
                                           madeUpRecipe, {false, false, false}};

}  // namespace tavelune
