// A film look written as a 3D LUT file that other programs read: .cube text or a HaldCLUT PNG.
#pragma once

#include <string>

#include "film/film_settings.h"

namespace tavelune {

enum class LutFormat {
    Cube,     // text, size 33 or 65 points per axis
    HaldPng,  // HaldCLUT picture, level 8 (512 x 512) or 12 (1728 x 1728), 16 bits a channel
};

struct LutChoice {
    LutFormat format = LutFormat::Cube;
    int size = 33;  // Cube: points per axis; HaldPng: the level
};

/// The format a file name asks for by its extension (.cube or .png, any case); false for
/// any other.
bool lutFormatOfPath(const std::string& path, LutFormat& format);

/// True for the sizes offered: 33 and 65 for Cube, levels 8 and 12 for HaldPng.
bool isOfferedLutChoice(const LutChoice& choice);

/// Writes the film's colour transform (everything but sharpening) at path through a
/// temporary file. False, with error filled and nothing left behind, for a size not
/// offered, a film that fails, or a failed write.
bool exportFilmLut(const std::string& path, const FilmSettings& settings, const LutChoice& choice,
                   std::string* error = nullptr);

}  // namespace tavelune
