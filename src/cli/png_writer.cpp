// PNG output over libpng; png_error longjmps back to the setjmp below, so no C++ object with a
// destructor lives inside the guarded function.
#include "cli/png_writer.h"

#include <png.h>

#include <cmath>
#include <csetjmp>
#include <cstdio>
#include <vector>

#include "engine/safe_write.h"

namespace tavelune::cli {
namespace {

void pngError(png_structp png, png_const_charp)
{
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// rows holds height rows of width * 3 bytes, top row first.
bool writeRows(std::FILE* file, png_bytep* rows, int width, int height, float dpi)
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
    png_set_IHDR(png, info, png_uint_32(width), png_uint_32(height), 8, PNG_COLOR_TYPE_RGB,
                 PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const auto perMetre = png_uint_32(std::lround(double(dpi) / 0.0254));
    png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    png_set_rows(png, info, rows);
    png_write_png(png, info, PNG_TRANSFORM_IDENTITY, nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool writePngFile(const std::string& path, const Image& image, std::string* error)
{
    if (image.isEmpty()) {
        if (error != nullptr)
            *error = "empty picture";
        return false;
    }
    const int width = image.width();
    const int height = image.height();
    std::vector<png_byte> bytes(static_cast<std::size_t>(width) * 3 *
                                static_cast<std::size_t>(height));
    std::vector<png_bytep> rows(static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
        png_bytep out = bytes.data() + std::size_t(y) * std::size_t(width) * 3;
        rows[std::size_t(y)] = out;
        const uint32_t* in = image.rowFromTop(y);
        for (int x = 0; x < width; ++x) {
            *out++ = png_byte(in[x] >> 16);
            *out++ = png_byte(in[x] >> 8);
            *out++ = png_byte(in[x]);
        }
    }
    return writeViaTemporary(
        path,
        [&](const std::string& temporaryPath) {
            std::FILE* file = std::fopen(temporaryPath.c_str(), "wb");
            if (file == nullptr)
                return false;
            const bool written = writeRows(file, rows.data(), width, height, image.dpi());
            return std::fclose(file) == 0 && written;
        },
        error);
}

}  // namespace tavelune::cli
