// TIFF codec: round trips with alpha, the written tags, resolution units and write failures.
#include "engine/tiff_codec.h"

#include <gtest/gtest.h>
#include <tiffio.h>

#include "codec_test_util.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(TiffCodec, RoundTripKeepsPixelsAlphaAndDpi)
{
    test::TempDir dir;
    Image picture = test::patternPicture(13, 7, true, 240.5f);
    TiffCodec codec;
    for (int compression : {kTiffCompressionNone, kTiffCompressionLzw}) {
        SCOPED_TRACE(compression);
        const std::string path = dir.file("r.tif");
        ASSERT_TRUE(codec.write(path, picture, compression));
        Image back;
        ASSERT_TRUE(codec.read(path, back));
        EXPECT_TRUE(test::samePixels(back, picture));
        EXPECT_FLOAT_EQ(back.dpi(), 240.5f);

        TIFF* tiff = TIFFOpen(path.c_str(), "r");
        ASSERT_NE(tiff, nullptr);
        uint16_t samples = 0, bits = 0, stored = 0, unit = 0;
        uint32_t rowsPerStrip = 0;
        char* software = nullptr;
        TIFFGetField(tiff, TIFFTAG_SAMPLESPERPIXEL, &samples);
        TIFFGetField(tiff, TIFFTAG_BITSPERSAMPLE, &bits);
        TIFFGetField(tiff, TIFFTAG_COMPRESSION, &stored);
        TIFFGetField(tiff, TIFFTAG_RESOLUTIONUNIT, &unit);
        TIFFGetField(tiff, TIFFTAG_ROWSPERSTRIP, &rowsPerStrip);
        ASSERT_TRUE(TIFFGetField(tiff, TIFFTAG_SOFTWARE, &software));
        EXPECT_STREQ(software, "Corvane");
        EXPECT_EQ(samples, 4);
        EXPECT_EQ(bits, 8);
        EXPECT_EQ(stored, compression);
        EXPECT_EQ(unit, RESUNIT_INCH);
        EXPECT_EQ(rowsPerStrip, 7u);
        EXPECT_EQ(TIFFNumberOfStrips(tiff), 1u);
        TIFFClose(tiff);
    }
}

// A minimal 2 x 1 RGB file with the resolution tags given (unit 0 = no unit tag).
void writeRgbTiff(const std::string& path, float resolution, uint16_t unit)
{
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    ASSERT_NE(tiff, nullptr);
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, 2);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, 1);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    if (resolution > 0)
        TIFFSetField(tiff, TIFFTAG_XRESOLUTION, resolution);
    if (unit)
        TIFFSetField(tiff, TIFFTAG_RESOLUTIONUNIT, unit);
    uint8_t row[6] = {10, 20, 30, 200, 150, 100};
    TIFFWriteEncodedStrip(tiff, 0, row, 6);
    TIFFClose(tiff);
}

TEST(TiffCodec, ResolutionUnits)
{
    test::TempDir dir;
    struct Case {
        float resolution;
        uint16_t unit;
        float dpi;
    };
    for (Case c : {Case{118.11f, RESUNIT_CENTIMETER, 300.0f}, Case{0, 0, 72.0f},
                   Case{150, RESUNIT_INCH, 150.0f}, Case{150, RESUNIT_NONE, 150.0f},
                   Case{0.5f, RESUNIT_INCH, 72.0f}}) {
        const std::string path = dir.file("u.tif");
        writeRgbTiff(path, c.resolution, c.unit);
        Image out;
        ASSERT_TRUE(TiffCodec().read(path, out));
        EXPECT_NEAR(out.dpi(), c.dpi, 0.01) << c.resolution << " " << c.unit;
        EXPECT_EQ(out.pixelAt(0, 0), 0xFF0A141Eu);
        EXPECT_EQ(out.pixelAt(1, 0), 0xFFC89664u);
    }
}

TEST(TiffCodec, WriteFailuresReturnZero)
{
    test::TempDir dir;
    Image picture = test::patternPicture(32, 32, false);
    TiffCodec codec;
    EXPECT_FALSE(codec.write(dir.file("x.tif"), picture, 7));  // only none and LZW
    EXPECT_FALSE(codec.write(dir.file("no/such/x.tif"), picture, kTiffCompressionLzw));
    EXPECT_FALSE(codec.write("/dev/full", picture, kTiffCompressionNone));
    EXPECT_FALSE(codec.write("", picture, kTiffCompressionNone));
}

}  // namespace
}  // namespace tavelune
