// The two LUT file formats, written from a sampled lattice.
#pragma once

#include <string>

#include "film/film_lut.h"

namespace tavelune {

/// "Tavelune E100 VS, exposure +2, saturation -3, portrait": what the LUT holds.
std::string lutTitle(const FilmSettings& settings);

/// A .cube text: TITLE, LUT_3D_SIZE, the domain 0..1, then one "r g b" line per lattice
/// point, red fastest, six decimals.
bool writeCubeFile(const std::string& path, const FilmLattice& lattice, const std::string& title);

/// A HaldCLUT of the given level (lattice size level²) as a 16-bit RGB PNG of level³ square
/// pixels, red fastest along the rows from the top. The lattice must have level² points.
bool writeHaldPng(const std::string& path, const FilmLattice& lattice, int level);

}  // namespace tavelune
