// Choosing and writing the LUT file; the lattice comes from the film step itself.
#include "job/lut_export.h"

#include <cstdio>

#include "engine/format_dispatch.h"
#include "engine/safe_write.h"
#include "film/film_lut.h"
#include "job/lut_files.h"

namespace tavelune {
namespace {

void fail(std::string* error, const std::string& reason)
{
    if (error)
        *error = reason;
}

}  // namespace

bool lutFormatOfPath(const std::string& path, LutFormat& format)
{
    std::string extension = splitFileName(path).extension;
    for (char& c : extension) c = char(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    if (extension == "cube")
        format = LutFormat::Cube;
    else if (extension == "png")
        format = LutFormat::HaldPng;
    else
        return false;
    return true;
}

bool isOfferedLutChoice(const LutChoice& choice)
{
    if (choice.format == LutFormat::Cube)
        return choice.size == 33 || choice.size == 65;
    return choice.size == 8 || choice.size == 12;
}

bool exportFilmLut(const std::string& path, const FilmSettings& settings, const LutChoice& choice,
                   std::string* error)
{
    if (!isOfferedLutChoice(choice)) {
        fail(error, choice.format == LutFormat::Cube ? "a .cube LUT has 33 or 65 points"
                                                     : "a HaldCLUT has level 8 or 12");
        return false;
    }
    const int points = choice.format == LutFormat::Cube ? choice.size : choice.size * choice.size;
    FilmLattice lattice;
    if (!sampleFilmLattice(settings, points, lattice)) {
        fail(error, "the film step failed");
        return false;
    }
    return writeViaTemporary(
        path,
        [&](const std::string& temporaryPath) {
            if (choice.format == LutFormat::Cube)
                return writeCubeFile(temporaryPath, lattice, lutTitle(settings));
            return writeHaldPng(temporaryPath, lattice, choice.size);
        },
        error);
}

}  // namespace tavelune
