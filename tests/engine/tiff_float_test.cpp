// TIFF files with floating-point samples: clipped to 0..1 and rounded, or refused with a reason.
#include <gtest/gtest.h>

#include <tiffio.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/codec_support.h"
#include "engine/tiff_codec.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

struct FloatTiff {
    int bits = 32;
    int samples = 3;
    bool planar = false;
    bool tiled = false;
};

// Sample value of channel k at column x: a ramp from -0.25 to 1.25 plus NaN in column 0.
double sampleValue(int x, int k, int width)
{
    if (x == 0)
        return NAN;
    return -0.25 + 1.5 * double(x) / double(width - 1) - 0.1 * k;
}

uint16_t toHalf(float value)
{
    // Enough for the values of the test: normal numbers and NaN.
    if (std::isnan(value))
        return 0x7E00;
    uint32_t bits;
    std::memcpy(&bits, &value, 4);
    const uint32_t sign = (bits >> 16) & 0x8000;
    const int exponent = int((bits >> 23) & 0xFF) - 127 + 15;
    if (exponent <= 0)
        return uint16_t(sign);
    const uint32_t mantissa = (bits >> 13) & 0x3FF;
    return uint16_t(sign | (uint32_t(exponent) << 10) | mantissa);
}

bool writeFloatTiff(const std::string& path, const FloatTiff& f, int width, int height)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    if (!tiff)
        return false;
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, uint32_t(width));
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, uint32_t(height));
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, f.bits);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, f.samples);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, f.samples >= 3 ? PHOTOMETRIC_RGB : PHOTOMETRIC_MINISBLACK);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, f.planar ? PLANARCONFIG_SEPARATE : PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    if (f.samples == 4 || f.samples == 2) {
        const uint16_t extra[1] = {EXTRASAMPLE_UNASSALPHA};
        TIFFSetField(tiff, TIFFTAG_EXTRASAMPLES, 1, extra);
    }
    if (f.tiled) {
        TIFFSetField(tiff, TIFFTAG_TILEWIDTH, 16);
        TIFFSetField(tiff, TIFFTAG_TILELENGTH, 16);
    } else {
        TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 3);
    }
    const int bytes = f.bits / 8;
    auto put = [&](std::vector<uint8_t>& out, size_t index, double v) {
        if (bytes == 2) {
            const uint16_t h = toHalf(float(v));
            std::memcpy(out.data() + index * 2, &h, 2);
        } else if (bytes == 4) {
            const float s = float(v);
            std::memcpy(out.data() + index * 4, &s, 4);
        } else {
            std::memcpy(out.data() + index * 8, &v, 8);
        }
    };
    const int planes = f.planar ? f.samples : 1;
    const int perPixel = f.planar ? 1 : f.samples;
    bool ok = true;
    if (f.tiled) {
        std::vector<uint8_t> tile(size_t(TIFFTileSize(tiff)));
        for (int plane = 0; plane < planes; ++plane)
            for (int ty = 0; ty < height; ty += 16)
                for (int tx = 0; tx < width; tx += 16) {
                    std::fill(tile.begin(), tile.end(), 0);
                    for (int y = 0; y < 16; ++y)
                        for (int x = 0; x < 16; ++x)
                            for (int k = 0; k < perPixel; ++k)
                                put(tile, size_t((y * 16 + x) * perPixel + k),
                                    sampleValue(std::min(tx + x, width - 1), f.planar ? plane : k, width));
                    ok = ok && TIFFWriteTile(tiff, tile.data(), uint32_t(tx), uint32_t(ty), 0,
                                             uint16_t(plane)) != -1;
                }
    } else {
        std::vector<uint8_t> line(size_t(TIFFScanlineSize(tiff)));
        for (int plane = 0; plane < planes; ++plane)
            for (int y = 0; y < height; ++y) {
                for (int x = 0; x < width; ++x)
                    for (int k = 0; k < perPixel; ++k)
                        put(line, size_t(x * perPixel + k), sampleValue(x, f.planar ? plane : k, width));
                ok = ok && TIFFWriteScanline(tiff, line.data(), uint32_t(y), uint16_t(plane)) != -1;
            }
    }
    TIFFClose(tiff);
    return ok;
}

uint32_t level(double v)
{
    if (!(v > 0))
        return 0;
    return v >= 1 ? 255 : uint32_t(std::lround(v * 255));
}

TEST(TiffFloat, SamplesAreClippedAndRoundedInEveryLayout)
{
    test::TempDir dir;
    const int width = 40, height = 20;
    const FloatTiff cases[] = {
        {32, 3, false, false}, {32, 4, false, false}, {64, 3, false, false}, {16, 3, false, false},
        {32, 3, true, false},  {32, 1, false, false}, {32, 2, false, false}, {32, 3, false, true},
        {32, 4, true, true},
    };
    for (const FloatTiff& f : cases) {
        const std::string name = std::to_string(f.bits) + " bits, " + std::to_string(f.samples) +
                                 " samples" + (f.planar ? ", planar" : "") + (f.tiled ? ", tiled" : "");
        const std::string path = dir.file("float.tif");
        ASSERT_TRUE(writeFloatTiff(path, f, width, height)) << name;
        Image out;
        ASSERT_TRUE(TiffCodec().read(path, out)) << name << ": " << lastCodecFailure();
        ASSERT_EQ(out.width(), width);
        int wrong = 0;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) {
                const uint32_t p = out.pixelAt(x, y);
                // Half floats hold about three decimal digits: a level either way.
                const int slack = f.bits == 16 ? 1 : 0;
                const bool grey = f.samples < 3;
                for (int k = 0; k < 3; ++k) {
                    const int expected = int(level(sampleValue(x, grey ? 0 : k, width)));
                    wrong += std::abs(int((p >> (16 - 8 * k)) & 0xFF) - expected) > slack;
                }
                const int alphaChannel = grey ? 1 : 3;
                const int alpha = f.samples == 2 || f.samples == 4
                                      ? int(level(sampleValue(x, alphaChannel, width)))
                                      : 255;
                wrong += std::abs(int(p >> 24) - alpha) > slack;
            }
        EXPECT_EQ(wrong, 0) << name;
    }
}

TEST(TiffFloat, UnsupportedLayoutsAreRefusedWithAReason)
{
    test::TempDir dir;
    const std::string path = dir.file("float24.tif");
    // 24-bit floats: libtiff writes them, nothing here reads them.
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 4u);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1u);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 24);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_SAMPLEFORMAT, SAMPLEFORMAT_IEEEFP);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_MINISBLACK);
    std::vector<uint8_t> line(12, 0);
    TIFFWriteScanline(tiff, line.data(), 0, 0);
    TIFFClose(tiff);
    Image out;
    clearCodecFailure();
    EXPECT_FALSE(TiffCodec().read(path, out));
    EXPECT_TRUE(out.isEmpty());
    EXPECT_NE(lastCodecFailure().find("24-bit"), std::string::npos) << lastCodecFailure();
}

}  // namespace
}  // namespace tavelune
