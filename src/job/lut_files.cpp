// .cube text and HaldCLUT PNG. png_error longjmps back to the setjmp below, so no C++ object
// with a destructor lives inside the guarded function.
#include "job/lut_files.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

namespace tavelune {
namespace {

const char* filmName(int filmType)
{
    switch (filmType) {
        case kFilmVelvia:
            return "Velvia";
        case kFilmTmax:
            return "T-Max 100";
        case kFilmE100Vs:
            return "E100 VS";
        case kFilmAstia:
            return "Astia";
        default:
            return "film";
    }
}

void pngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

bool writeRows(std::FILE* file, png_bytep* rows, int side)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (png == nullptr)
        return false;
    png_infop info = png_create_info_struct(png);
    if (info == nullptr) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(side), png_uint_32(side), 16, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

std::string lutTitle(const FilmSettings& settings)
{
    if (!settings.enabled)
        return "Tavelune, film switched off";
    std::string title = std::string("Tavelune ") + filmName(settings.filmType);
    char text[64];
    std::snprintf(text, sizeof text, ", exposure %+d, saturation %+d", settings.exposure,
                  settings.saturation);
    title += text;
    if (settings.filmType == kFilmTmax) {
        title += settings.highKey ? ", high key" : "";
        title += settings.blackCorrection ? ", black correction" : "";
    } else if (settings.portrait) {
        title += ", portrait";
    }
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
    std::vector<png_byte> bytes(size_t(side) * side * 6);
    for (size_t i = 0; i < lattice.rgb.size(); ++i) {
        auto value = unsigned(std::lround(double(lattice.rgb[i]) * 65535.0));
        bytes[2 * i] = png_byte(value >> 8);  // PNG stores 16-bit samples big-endian
        bytes[2 * i + 1] = png_byte(value & 0xFF);
    }
    std::vector<png_bytep> rows(static_cast<size_t>(side));
    for (int y = 0; y < side; ++y) rows[size_t(y)] = bytes.data() + size_t(y) * side * 6;
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (file == nullptr)
        return false;
    bool written = writeRows(file, rows.data(), side);
    return std::fclose(file) == 0 && written;
}

}  // namespace tavelune
