// Floating-point TIFF samples to 8-bit levels, strip by strip or tile by tile.
#include "engine/tiff_float.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "engine/codec_support.h"

namespace tavelune {
namespace {

float halfToFloat(std::uint16_t half)
{
    const int sign = half >> 15;
    const int exponent = (half >> 10) & 0x1F;
    const int mantissa = half & 0x3FF;
    float value;
    if (exponent == 0)
        value = std::ldexp(float(mantissa), -24);
    else if (exponent == 31)
        value = mantissa ? NAN : INFINITY;
    else
        value = std::ldexp(float(mantissa | 0x400), exponent - 25);
    return sign ? -value : value;
}

std::uint32_t level(double value)
{
    if (!(value > 0.0))  // also NaN
        return 0;
    if (value >= 1.0)
        return 255;
    return std::uint32_t(std::lround(value * 255.0));
}

struct Layout {
    std::uint32_t width = 0, height = 0;
    std::uint16_t bits = 0, samples = 0, planar = PLANARCONFIG_CONTIG, photometric = 0;
    bool tiled = false;
    std::uint32_t tileWidth = 0, tileHeight = 0;
};

double sampleAt(const std::uint8_t* bytes, std::uint16_t bits, std::size_t index)
{
    if (bits == 16) {
        std::uint16_t v;
        std::memcpy(&v, bytes + index * 2, 2);
        return halfToFloat(v);
    }
    if (bits == 32) {
        float v;
        std::memcpy(&v, bytes + index * 4, 4);
        return v;
    }
    double v;
    std::memcpy(&v, bytes + index * 8, 8);
    return v;
}

// Puts channel `channel` (or all of them, channel < 0) of a block of width x rows samples,
// `stride` samples per block row, at column x0, row y0 of the picture.
void place(const Layout& layout, Image& out, const std::uint8_t* block, std::uint32_t x0,
           std::uint32_t y0, std::uint32_t blockWidth, std::uint32_t rows, int channel)
{
    const int perPixel = channel < 0 ? layout.samples : 1;
    const bool grey = layout.photometric == PHOTOMETRIC_MINISBLACK;
    for (std::uint32_t r = 0; r < rows && y0 + r < layout.height; ++r) {
        std::uint32_t* row = out.rowFromTop(int(y0 + r));
        for (std::uint32_t c = 0; c < blockWidth && x0 + c < layout.width; ++c) {
            const std::size_t base = (std::size_t(r) * blockWidth + c) * std::size_t(perPixel);
            std::uint32_t& pixel = row[x0 + c];
            const int first = channel < 0 ? 0 : channel;
            const int last = channel < 0 ? layout.samples - 1 : channel;
            for (int k = first; k <= last; ++k) {
                const std::uint32_t v =
                    level(sampleAt(block, layout.bits, base + std::size_t(k - first)));
                // Channel k of the file: grey (k 0) fills red, green and blue.
                if (grey ? k == 0 : k < 3) {
                    const int shift = grey ? -1 : 16 - 8 * k;
                    if (shift < 0)
                        pixel = (pixel & 0xFF000000u) | (v << 16) | (v << 8) | v;
                    else
                        pixel = (pixel & ~(0xFFu << shift)) | (v << shift);
                } else if (k == (grey ? 1 : 3)) {
                    pixel = (pixel & 0x00FFFFFFu) | (v << 24);
                }
            }
        }
    }
}

bool readStrips(TIFF* tiff, const Layout& layout, Image& out)
{
    const tmsize_t lineSize = TIFFScanlineSize(tiff);
    const int planes = layout.planar == PLANARCONFIG_SEPARATE ? layout.samples : 1;
    const std::size_t perLine = std::size_t(layout.width) *
                                (planes == 1 ? layout.samples : 1u) * (layout.bits / 8u);
    if (lineSize <= 0 || std::size_t(lineSize) < perLine) {
        noteCodecFailure("unexpected TIFF scan line size");
        return false;
    }
    std::vector<std::uint8_t> line(static_cast<std::size_t>(lineSize));
    for (int plane = 0; plane < planes; ++plane)
        for (std::uint32_t y = 0; y < layout.height; ++y) {
            if (TIFFReadScanline(tiff, line.data(), y, std::uint16_t(plane)) < 0)
                return false;
            place(layout, out, line.data(), 0, y, layout.width, 1, planes == 1 ? -1 : plane);
        }
    return true;
}

bool readTiles(TIFF* tiff, const Layout& layout, Image& out)
{
    const tmsize_t tileSize = TIFFTileSize(tiff);
    const int planes = layout.planar == PLANARCONFIG_SEPARATE ? layout.samples : 1;
    if (layout.tileWidth == 0 || layout.tileHeight == 0 ||
        !pictureSizeAllowed(layout.tileWidth, layout.tileHeight) || tileSize <= 0 ||
        std::size_t(tileSize) < std::size_t(layout.tileWidth) * layout.tileHeight *
                                    (planes == 1 ? layout.samples : 1u) * (layout.bits / 8u)) {
        noteCodecFailure("unexpected TIFF tile size");
        return false;
    }
    std::vector<std::uint8_t> tile(static_cast<std::size_t>(tileSize));
    for (int plane = 0; plane < planes; ++plane)
        for (std::uint32_t y = 0; y < layout.height; y += layout.tileHeight)
            for (std::uint32_t x = 0; x < layout.width; x += layout.tileWidth) {
                if (TIFFReadTile(tiff, tile.data(), x, y, 0, std::uint16_t(plane)) < 0)
                    return false;
                place(layout, out, tile.data(), x, y, layout.tileWidth, layout.tileHeight,
                      planes == 1 ? -1 : plane);
            }
    return true;
}

}  // namespace

bool isFloatTiff(TIFF* tiff)
{
    std::uint16_t format = SAMPLEFORMAT_UINT;
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLEFORMAT, &format);
    return format == SAMPLEFORMAT_IEEEFP;
}

bool readFloatTiff(TIFF* tiff, Image& out)
{
    Layout layout;
    TIFFGetField(tiff, TIFFTAG_IMAGEWIDTH, &layout.width);
    TIFFGetField(tiff, TIFFTAG_IMAGELENGTH, &layout.height);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_BITSPERSAMPLE, &layout.bits);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_SAMPLESPERPIXEL, &layout.samples);
    TIFFGetFieldDefaulted(tiff, TIFFTAG_PLANARCONFIG, &layout.planar);
    TIFFGetField(tiff, TIFFTAG_PHOTOMETRIC, &layout.photometric);
    layout.tiled = TIFFIsTiled(tiff) != 0;
    if (layout.tiled) {
        TIFFGetField(tiff, TIFFTAG_TILEWIDTH, &layout.tileWidth);
        TIFFGetField(tiff, TIFFTAG_TILELENGTH, &layout.tileHeight);
    }
    const bool grey = layout.photometric == PHOTOMETRIC_MINISBLACK &&
                      (layout.samples == 1 || layout.samples == 2);
    const bool rgb = layout.photometric == PHOTOMETRIC_RGB &&
                     (layout.samples == 3 || layout.samples == 4);
    if (layout.bits != 16 && layout.bits != 32 && layout.bits != 64) {
        noteCodecFailure("floating-point TIFF with " + std::to_string(layout.bits) +
                         "-bit samples is not supported");
        return false;
    }
    if (!grey && !rgb) {
        noteCodecFailure("floating-point TIFF: only grey and RGB pictures are supported");
        return false;
    }
    if (layout.width != std::uint32_t(out.width()) || layout.height != std::uint32_t(out.height()))
        return false;
    std::uint32_t* pixels = out.pixels();
    std::fill(pixels, pixels + out.pixelCount(), 0xFF000000u);
    return layout.tiled ? readTiles(tiff, layout, out) : readStrips(tiff, layout, out);
}

}  // namespace tavelune
