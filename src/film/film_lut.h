// A film's colour transform sampled on a 3D lattice, for export as a LUT.
#pragma once

#include <vector>

#include "film/film_settings.h"

namespace tavelune {

/// size x size x size colours, red fastest, then green, then blue; channels 0..1 in the
/// order red, green, blue. Lattice point i of an axis stands for the input i·255/(size-1).
struct FilmLattice {
    int size = 0;
    std::vector<float> rgb;  // 3 x size³ values
};

/// Samples the film step (sharpening left out: it is no colour transform) at every lattice
/// point. A point whose inputs are 8-bit values gets the film's output exactly; the others
/// interpolate trilinearly between the eight 8-bit colours around them, as a LUT reader
/// does between lattice points. False for a size outside 2..256 or when the film fails.
bool sampleFilmLattice(const FilmSettings& settings, int size, FilmLattice& out);

}  // namespace tavelune
