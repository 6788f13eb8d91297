// --to-srgb: a picture with a wide-gamut profile is turned into sRGB before the film, on the
// strip road and the whole-picture road alike, and the output is tagged sRGB.
#include <gtest/gtest.h>
#include <lcms2.h>

#include <algorithm>
#include <cstdlib>

#include "engine/colour_profile.h"
#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "engine/picture_metadata.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::shellQuote;

// Adobe RGB (1998) as LittleCMS makes it from its primaries: a profile whose numbers are far
// from sRGB's in the greens and reds.
std::vector<std::uint8_t> wideProfile()
{
    const cmsCIExyY white{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE primaries{{0.64, 0.33, 1.0}, {0.21, 0.71, 1.0}, {0.15, 0.06, 1.0}};
    cmsToneCurve* gamma = cmsBuildGamma(nullptr, 2.19921875);
    cmsToneCurve* curves[3] = {gamma, gamma, gamma};
    cmsHPROFILE profile = cmsCreateRGBProfile(&white, &primaries, curves);
    cmsFreeToneCurve(gamma);
    cmsUInt32Number size = 0;
    std::vector<std::uint8_t> bytes;
    if (profile && cmsSaveProfileToMem(profile, nullptr, &size)) {
        bytes.resize(size);
        cmsSaveProfileToMem(profile, bytes.data(), &size);
    }
    if (profile)
        cmsCloseProfile(profile);
    return bytes;
}

// The reference: LittleCMS's own sRGB copy (perceptual, black-point compensation), made here.
void lcmsToSrgb(Image& picture, const std::vector<std::uint8_t>& icc)
{
    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE to = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        cmsCreateTransform(from, TYPE_BGRA_8, to, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                           cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA);
    ASSERT_NE(transform, nullptr);
    cmsDoTransform(transform, picture.pixels(), picture.pixels(),
                   cmsUInt32Number(picture.pixelCount()));
    cmsDeleteTransform(transform);
    cmsCloseProfile(from);
    cmsCloseProfile(to);
}

int largestDifference(const Image& a, const Image& b)
{
    int most = 0;
    for (size_t i = 0; i < a.pixelCount(); ++i)
        for (int shift : {0, 8, 16})
            most = std::max(most, std::abs(int((a.pixels()[i] >> shift) & 0xFF) -
                                           int((b.pixels()[i] >> shift) & 0xFF)));
    return most;
}

TEST(ToSrgb, EqualsLittleCmsThenTheFilmOnBothRoadsAndTagsTheOutputSrgb)
{
    test::TempDir dir;
    PictureMetadata wide;
    wide.icc = wideProfile();
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
        Image reference;
        ASSERT_TRUE(openImage(road.source, reference).ok());
        lcmsToSrgb(reference, wide.icc);
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
        EXPECT_LE(largestDifference(got, want), 1);
        EXPECT_TRUE(readPictureMetadata(out).metadata.icc == srgbProfile());

        // Off (the default): the numbers go to the film as they are and the profile stays.
        ASSERT_EQ(test::runTaveluneCli("convert " + shellQuote(road.source) + " " + shellQuote(out))
                      .status,
                  0);
        ASSERT_TRUE(openImage(out, plain).ok());
        EXPECT_GT(largestDifference(plain, want), 8);
        EXPECT_TRUE(readPictureMetadata(out).metadata.icc == wide.icc);
    }
}

}  // namespace
}  // namespace tavelune
