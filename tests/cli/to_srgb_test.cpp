// --to-srgb: a picture with a wide-gamut profile is turned into sRGB before the film, on the
// strip road and the whole-picture road alike, and the output is tagged sRGB.
#include <gtest/gtest.h>

#include "engine/colour_profile.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "engine/picture_metadata.h"
#include "exif/entry_values.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "support/cli_runner.h"
#include "support/test_colour.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::shellQuote;

TEST(ToSrgb, EqualsLittleCmsThenTheFilmOnBothRoadsAndTagsTheOutputSrgb)
{
    test::TempDir dir;
    PictureMetadata wide;
    wide.icc = reference::adobeRgbProfile();
    ASSERT_FALSE(wide.icc.empty());
    Image picture = test::colourRamp(96, 64);
    // The strip road reads JPEG; the whole-picture road takes a TIFF.
    const struct {
        const char* road;
        std::string source;
    } roads[] = {{"strips", dir.file("wide.jpg")}, {"whole picture", dir.file("wide.tif")}};
    ASSERT_TRUE(saveImage(roads[0].source, picture, ImageFormat::Jpeg, 95, &wide).ok());
    ASSERT_TRUE(saveImage(roads[1].source, picture, ImageFormat::Tiff, 1, &wide).ok());
    for (const auto& road : roads) {
        SCOPED_TRACE(road.road);
        Image decoded;
        ASSERT_TRUE(openImage(road.source, decoded).ok());
        const Image reference = reference::lcmsSrgbCopy(decoded, wide.icc);
        ASSERT_FALSE(reference.isEmpty());
        const std::string converted = dir.file("reference.tif");
        ASSERT_TRUE(saveImage(converted, reference, ImageFormat::Tiff, 1).ok());
        const std::string expected = dir.file("expected.tif");
        const std::string out = dir.file("out.tif");
        ASSERT_EQ(test::runTaveluneCli("convert " + shellQuote(converted) + " " + shellQuote(expected))
                      .status,
                  0);
        const test::CliResult run = test::runTaveluneCli("convert --to-srgb " +
                                                         shellQuote(road.source) + " " + shellQuote(out));
        ASSERT_EQ(run.status, 0) << run.err;
        Image want, got, plain;
        ASSERT_TRUE(openImage(expected, want).ok());
        ASSERT_TRUE(openImage(out, got).ok());
        EXPECT_LE(reference::largestChannelDifference(got, want), 1);
        EXPECT_TRUE(readPictureMetadata(out).metadata.icc == srgbProfile());

        // Off (the default): the numbers go to the film as they are and the profile stays.
        ASSERT_EQ(test::runTaveluneCli("convert " + shellQuote(road.source) + " " + shellQuote(out))
                      .status,
                  0);
        ASSERT_TRUE(openImage(out, plain).ok());
        EXPECT_GT(reference::largestChannelDifference(plain, want), 8);
        EXPECT_TRUE(readPictureMetadata(out).metadata.icc == wide.icc);
    }
}

// A CMYK JPEG's inks go through the profile it carries, not the built-in formula: the output
// equals LittleCMS's own picture of the inks, then the film, on both roads.
TEST(ToSrgb, ACmykJpegGoesThroughItsOwnProfileOnBothRoads)
{
    test::TempDir dir;
    const std::vector<std::uint8_t> icc = reference::cmykProfile();
    ASSERT_FALSE(icc.empty());
    ASSERT_LT(icc.size(), 65519u);
    // One APP2 chunk right after the start of the file, as cameras and editors put it.
    std::vector<unsigned char> bytes = test::readFileBytes(test::fixturePath("codecs/cmyk.jpg"));
    ASSERT_GT(bytes.size(), 2u);
    const std::string tag("ICC_PROFILE\0\1\1", 14);
    const std::size_t length = 2 + tag.size() + icc.size();
    std::vector<unsigned char> segment = {0xFF, 0xE2, (unsigned char)(length >> 8),
                                          (unsigned char)(length & 0xFF)};
    segment.insert(segment.end(), tag.begin(), tag.end());
    segment.insert(segment.end(), icc.begin(), icc.end());
    bytes.insert(bytes.begin() + 2, segment.begin(), segment.end());
    const std::string upright = dir.file("cmyk.jpg");
    test::writeFileBytes(upright, bytes);
    // A turn in EXIF sends the picture down the whole-picture road; the EXIF writer wants a
    // JFIF segment to put its own beside.
    const std::string turned = dir.file("turned.jpg");
    std::vector<unsigned char> jfif = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 1, 0, 0, 1, 0, 1, 0, 0};
    jfif.insert(jfif.begin(), bytes.begin(), bytes.begin() + 2);
    jfif.insert(jfif.end(), bytes.begin() + 2, bytes.end());
    test::writeFileBytes(turned, jfif);
    Image decoded = reference::lcmsSrgbFromCmykJpeg(upright, icc);
    ASSERT_FALSE(decoded.isEmpty());
    ExifData exif;
    exif.CreateDefaultEntries(decoded.width(), decoded.height(), 72, 72);
    setShortValue(exif.FindEntry(kIfd0, 274, EntryLookup::Create), 3);
    ASSERT_TRUE(exif.SaveExif(turned).ok());

    const std::string converted = dir.file("reference.tif");
    const std::string expected = dir.file("expected.tif");
    ASSERT_TRUE(saveImage(converted, decoded, ImageFormat::Tiff, 1).ok());
    ASSERT_EQ(test::runTaveluneCli("convert " + shellQuote(converted) + " " + shellQuote(expected))
                  .status,
              0);
    Image want;
    ASSERT_TRUE(openImage(expected, want).ok());
    const struct {
        const char* road;
        std::string source;
        int turn;
    } roads[] = {{"strips", upright, 0}, {"whole picture", turned, 180}};
    for (const auto& road : roads) {
        SCOPED_TRACE(road.road);
        const std::string out = dir.file("out.tif");
        const test::CliResult run =
            test::runTaveluneCli("convert --to-srgb " + shellQuote(road.source) + " " + shellQuote(out));
        ASSERT_EQ(run.status, 0) << run.err;
        Image got, formula;
        ASSERT_TRUE(openImage(out, got).ok());
        if (road.turn) {
            ASSERT_TRUE(got.rotate(road.turn));
        }
        EXPECT_LE(reference::largestChannelDifference(got, want), 1);
        EXPECT_TRUE(readPictureMetadata(out).metadata.icc == srgbProfile());
        // The formula's picture is another one: the test tells the two apart.
        ASSERT_EQ(test::runTaveluneCli("convert " + shellQuote(road.source) + " " + shellQuote(out))
                      .status,
                  0);
        ASSERT_TRUE(openImage(out, formula).ok());
        if (road.turn) {
            ASSERT_TRUE(formula.rotate(road.turn));
        }
        EXPECT_GT(reference::largestChannelDifference(formula, want), 8);
    }
}

}  // namespace
}  // namespace tavelune
