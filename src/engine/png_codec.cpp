// PNG reading. libpng reports errors by longjmp to the setjmp point in decode(), which skips
// C++ destructors: decode() and the callbacks hold only plain data, and the rows live in the
// caller's picture.
#include "engine/png_codec.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

void pngError(png_structp png, png_const_charp text)
{
    try {
        noteCodecFailure(text ? text : "PNG error");
    } catch (...) {
    }
    png_longjmp(png, 1);
}

void pngWarning(png_structp, png_const_charp) {}

// Longjmp target: plain data only.
bool decode(std::FILE* file, Image& out)
{
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        return false;
    }
    png_bytep* volatile rows = nullptr;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        std::free(rows);
        out.destroyPixels();
        return false;
    }
    png_init_io(png, file);
    png_set_sig_bytes(png, 4);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info);
    const png_uint_32 height = png_get_image_height(png, info);
    if (!pictureSizeAllowed(width, height))
        png_longjmp(png, 1);  // the refusal is noted already
    float dpi = float(double(png_get_x_pixels_per_meter(png, info)) * 0.0254);
    if (!(dpi > 0.0f))
        dpi = 72.0f;

    // Applied by libpng in its own order; set here in this one.
    png_set_strip_16(png);
    png_set_palette_to_rgb(png);
    png_set_gray_to_rgb(png);
    if (png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_tRNS_to_alpha(png);
    png_color_16p fileBackground = nullptr;
    if (png_get_bKGD(png, info, &fileBackground)) {
        png_set_background(png, fileBackground, PNG_BACKGROUND_GAMMA_FILE, 1, 1.0);
    } else {
        png_color_16 black{};
        png_set_background(png, &black, PNG_BACKGROUND_GAMMA_SCREEN, 0, 1.0);
    }
    png_set_bgr(png);
    png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    if (png_get_rowbytes(png, info) != png_size_t(width) * 4)
        png_error(png, "unexpected row size after transformations");

    if (!out.create(int(width), int(height), dpi))
        png_error(png, "out of memory");
    rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * height));
    if (!rows)
        png_error(png, "out of memory");
    for (png_uint_32 k = 0; k < height; ++k)
        rows[k] = reinterpret_cast<png_bytep>(out.rowFromTop(int(k)));
    png_read_image(png, rows);
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    std::free(rows);
    return true;
}

bool hasTransparency(const Image& image)
{
    const uint32_t* pixel = image.pixels();
    for (size_t i = 0, n = image.pixelCount(); i < n; ++i)
        if ((pixel[i] >> 24) != 0xFF)
            return true;
    return false;
}

// Longjmp target: plain data only. The rows are the picture's own (B, G, R, A bytes).
bool encode(std::FILE* file, const Image& image, png_bytep* rows)
{
    png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, pngError, pngWarning);
    if (!png)
        return false;
    png_infop info = png_create_info_struct(png);
    if (!info) {
        png_destroy_write_struct(&png, nullptr);
        return false;
    }
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_write_struct(&png, &info);
        return false;
    }
    const bool alpha = hasTransparency(image);
    png_init_io(png, file);
    png_set_IHDR(png, info, png_uint_32(image.width()), png_uint_32(image.height()), 8,
                 alpha ? PNG_COLOR_TYPE_RGB_ALPHA : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    const auto perMetre = png_uint_32(double(image.dpi()) / 0.0254 + 0.5);
    png_set_pHYs(png, info, perMetre, perMetre, PNG_RESOLUTION_METER);
    png_set_rows(png, info, rows);
    png_write_png(png, info,
                  PNG_TRANSFORM_BGR | (alpha ? 0 : PNG_TRANSFORM_STRIP_FILLER_AFTER), nullptr);
    png_destroy_write_struct(&png, &info);
    return true;
}

}  // namespace

bool PngCodec::write(const std::string& path, const Image& image, int)
{
    if (path.empty())
        return false;
    auto* rows = static_cast<png_bytep*>(std::malloc(sizeof(png_bytep) * size_t(image.height())));
    if (!rows) {
        noteCodecFailure("out of memory");
        return false;
    }
    for (int y = 0; y < image.height(); ++y)
        rows[y] = const_cast<png_bytep>(reinterpret_cast<const png_byte*>(image.rowFromTop(y)));
    std::FILE* file = std::fopen(path.c_str(), "wb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        std::free(rows);
        return false;
    }
    bool ok = encode(file, image, rows);
    std::free(rows);
    if (std::fclose(file) != 0)
        ok = false;
    if (!ok && lastCodecFailure().empty())
        noteCodecFailure("write error");
    return ok;
}

bool PngCodec::create(int width, int height, float dpi)
{
    return createAfterRelease(width, height, dpi);
}

bool PngCodec::read(const std::string& path, Image& out)
{
    if (path.empty())
        return false;
    out.destroyPixels();
    std::FILE* file = openForReading(path);
    if (!file)
        return false;
    png_byte signature[4] = {};
    bool ok = std::fread(signature, 1, 4, file) == 4 && png_sig_cmp(signature, 0, 4) == 0;
    if (!ok)
        noteCodecFailure("not a PNG file");
    else
        ok = decode(file, out);
    std::fclose(file);
    return ok;
}

}  // namespace tavelune
