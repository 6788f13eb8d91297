// .cube text and HaldCLUT PNG.
#include "job/lut_files.h"

#include <cmath>
#include <cstdio>
#include <vector>

#include "engine/png_rows.h"
#include "film/film_registry.h"

namespace tavelune {

std::string lutTitle(const FilmSettings& settings)
{
    if (!settings.enabled)
        return "Tavelune, film switched off";
    const FilmRow* row = findFilm(settings.filmType);
    std::string title = std::string("Tavelune ") + (row ? row->lutTitle : "film");
    char text[64];
    std::snprintf(text, sizeof text, ", exposure %+d, saturation %+d", settings.exposure,
                  settings.saturation);
    title += text;
    // Only the options the film offers are part of its look.
    const FilmOptionsShown shown = filmOptionsShown(settings.filmType);
    title += shown.portrait && settings.portrait ? ", portrait" : "";
    title += shown.highKey && settings.highKey ? ", high key" : "";
    title += shown.blackCorrection && settings.blackCorrection ? ", black correction" : "";
    return title;
}

bool writeCubeFile(const std::string& path, const FilmLattice& lattice, const std::string& title)
{
    std::FILE* file = std::fopen(path.c_str(), "w");
    if (file == nullptr)
        return false;
    std::fprintf(file, "TITLE \"%s\"\nLUT_3D_SIZE %d\nDOMAIN_MIN 0 0 0\nDOMAIN_MAX 1 1 1\n",
                 title.c_str(), lattice.size);
    const std::vector<float>& v = lattice.rgb;
    for (size_t i = 0; i + 2 < v.size(); i += 3)
        std::fprintf(file, "%.6f %.6f %.6f\n", double(v[i]), double(v[i + 1]), double(v[i + 2]));
    bool ok = !std::ferror(file);
    return std::fclose(file) == 0 && ok;
}

bool writeHaldPng(const std::string& path, const FilmLattice& lattice, int level)
{
    const int side = level * level * level;
    if (level < 2 || lattice.size != level * level || lattice.rgb.size() != size_t(side) * side * 3)
        return false;
    // The lattice's order is the picture's: red fastest, rows from the top.
    std::vector<unsigned char> bytes(size_t(side) * side * 6);
    for (size_t i = 0; i < lattice.rgb.size(); ++i) {
        auto value = unsigned(std::lround(double(lattice.rgb[i]) * 65535.0));
        bytes[2 * i] = uint8_t(value >> 8);  // PNG stores 16-bit samples big-endian
        bytes[2 * i + 1] = uint8_t(value & 0xFF);
    }
    std::vector<unsigned char*> rows(static_cast<size_t>(side));
    for (int y = 0; y < side; ++y) rows[size_t(y)] = bytes.data() + size_t(y) * side * 6;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = writeRgbPngRows(file, rows.data(), side, side, 16);
    return std::fclose(file) == 0 && written;
}

}  // namespace tavelune
