// --to-srgb: a picture with a wide-gamut profile is turned into sRGB before the film, on the
// strip road and the whole-picture road alike, and the output is tagged sRGB.
#include <gtest/gtest.h>

#include "engine/colour_profile.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "engine/picture_metadata.h"
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

}  // namespace
}  // namespace tavelune
