// Camera raw development on DNG files written at test time from a known picture.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "codec_test_util.h"
#include "engine/codec_support.h"
#include "engine/jpeg_codec.h"
#include "engine/raw_codec.h"
#include "support/test_dng.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

// Six patches of 20 x 20 in three columns and two rows, upright.
constexpr uint32_t kPatches[2][3] = {{0xFFC83C32, 0xFF3CAA50, 0xFF3250BE},
                                     {0xFFFFFFFF, 0xFF808080, 0xFFDCC83C}};

Image patchPicture(int patch = 20)
{
    return test::patchPicture(kPatches, patch);
}

// A DNG of the patches that orientation 6 shows upright, as cameras held upright store them.
std::string writeTurnedDng(test::TempDir& dir, const char* name)
{
    const std::string path = dir.file(name);
    test::TestDngOptions options;
    options.orientation = 6;
    EXPECT_TRUE(test::writeTestDng(path, patchPicture(), options));
    return path;
}

TEST(RawCodec, DevelopsEveryOrientationUprightToThePatchColours)
{
    test::TempDir dir;
    for (int orientation : {1, 3, 6, 8}) {
        const std::string path = dir.file("shot.dng");
        test::TestDngOptions options;
        options.orientation = orientation;
        ASSERT_TRUE(test::writeTestDng(path, patchPicture(), options));
        RawCodec codec;
        Image out;
        ASSERT_TRUE(codec.read(path, out)) << orientation << ": " << lastCodecFailure();
        ASSERT_EQ(out.width(), 60) << orientation;
        ASSERT_EQ(out.height(), 40) << orientation;
        for (int row = 0; row < 2; ++row)
            for (int column = 0; column < 3; ++column) {
                const uint32_t got = out.pixelAt(column * 20 + 10, row * 20 + 10);
                // White balance, matrix and curve in floating point: a level or two.
                EXPECT_LE(test::channelDifference(got, kPatches[row][column]), 2)
                    << "orientation " << orientation << " patch " << row << "," << column
                    << std::hex << " got " << got;
                EXPECT_EQ(got >> 24, 0xFFu);
            }
    }
}

TEST(RawCodec, HalfSizeDevelopmentHasTheTonesOfTheFullOne)
{
    test::TempDir dir;
    const std::string path = dir.file("half.dng");
    test::TestDngOptions options;
    options.orientation = 6;
    options.halfWhite = true;  // no automatic brightening: a dark shot stays dark in both
    ASSERT_TRUE(test::writeTestDng(path, patchPicture(40), options));
    Image full, half;
    ASSERT_TRUE(developRaw(path, full, false));
    ASSERT_TRUE(developRaw(path, half, true));
    ASSERT_EQ(half.width(), full.width() / 2);
    ASSERT_EQ(half.height(), full.height() / 2);
    ASSERT_TRUE(full.resize(half.width(), half.height(), kBilinear));
    double sum = 0;
    for (int y = 0; y < half.height(); ++y)
        for (int x = 0; x < half.width(); ++x)
            for (int shift : {0, 8, 16})
                sum += std::abs(int((half.pixelAt(x, y) >> shift) & 0xFF) -
                                int((full.pixelAt(x, y) >> shift) & 0xFF));
    const double mean = sum / (3.0 * half.width() * half.height());
    EXPECT_LE(mean, 3.0);
    // Half the white level: the grey patch (128) lands near the sRGB level of half its light.
    const uint32_t grey = full.pixelAt(half.width() / 2, half.height() * 3 / 4);
    EXPECT_NEAR(int(grey & 0xFF), 94, 3) << std::hex << grey;
}

TEST(RawCodec, ShotInformationComesFromTheRaw)
{
    test::TempDir dir;
    const std::string path = writeTurnedDng(dir, "info.dng");
    RawShotInfo info;
    ASSERT_TRUE(readRawShotInfo(path, info)) << lastCodecFailure();
    EXPECT_EQ(info.make, "Tavelune");
    EXPECT_EQ(info.model, "Test Camera");
    EXPECT_EQ(info.artist, "Test Artist");
    EXPECT_DOUBLE_EQ(info.isoSpeed, 200);
    EXPECT_NEAR(info.exposureTime, 1.0 / 125, 1e-6);
    EXPECT_NEAR(info.aperture, 5.6, 1e-5);
    EXPECT_NEAR(info.focalLength, 35, 1e-5);
    EXPECT_NE(info.timestamp, 0);
    EXPECT_EQ(info.orientation, 6);
    EXPECT_EQ(info.width, 60);
    EXPECT_EQ(info.height, 40);
}

TEST(RawCodec, BadFilesAreRefusedWithAReason)
{
    test::TempDir dir;
    const std::string good = dir.file("good.dng");
    ASSERT_TRUE(test::writeTestDng(good, patchPicture()));
    const auto bytes = test::readFileBytes(good);
    struct Case {
        const char* name;
        std::vector<unsigned char> bytes;
    };
    std::vector<unsigned char> huge = bytes;
    // ImageWidth and ImageLength (made LONG values) claim 60000 x 60000.
    const size_t ifd = huge[4] | (huge[5] << 8) | (huge[6] << 16) | (size_t(huge[7]) << 24);
    ASSERT_LT(ifd + 2, huge.size());
    const size_t entries = huge[ifd] | (huge[ifd + 1] << 8);
    for (size_t i = ifd + 2; i + 12 <= huge.size() && i < ifd + 2 + 12 * entries; i += 12) {
        const int tag = huge[i] | (huge[i + 1] << 8);
        if (tag == 256 || tag == 257) {
            huge[i + 2] = 4;  // LONG
            huge[i + 8] = 0x60;
            huge[i + 9] = 0xEA;
            huge[i + 10] = 0;
            huge[i + 11] = 0;
        }
    }
    std::vector<Case> cases = {
        {"empty", {}},
        {"text", {'n', 'o', 't', ' ', 'r', 'a', 'w'}},
        {"cut header", {bytes.begin(), bytes.begin() + 100}},
        {"cut pixels", {bytes.begin(), bytes.end() - 2000}},
        {"huge", huge},
    };
    // Files on which LibRaw aborts its process: refused like any damaged file.
    const std::string crashes = TAVELUNE_SOURCE_DIR "/tests/data/raw-crashes/libraw-abort-";
    for (int i = 1; i <= 5; ++i) {
        cases.push_back({"libraw abort", test::readFileBytes(crashes + std::to_string(i) + ".dng")});
        ASSERT_FALSE(cases.back().bytes.empty()) << i;
    }
    for (const auto& c : cases) {
        const std::string path = dir.file("bad.dng");
        test::writeFileBytes(path, c.bytes);
        RawCodec codec;
        Image out;
        clearCodecFailure();
        EXPECT_FALSE(codec.read(path, out)) << c.name;
        EXPECT_TRUE(out.isEmpty()) << c.name;
        EXPECT_FALSE(lastCodecFailure().empty()) << c.name;
        if (std::string(c.name) == "huge") {
            EXPECT_TRUE(lastFailureIsPixelLimit()) << lastCodecFailure();
        }
        // LibRaw's own texts ("Input/output error") say nothing of the file.
        if (std::string(c.name) == "text" || std::string(c.name) == "cut header" ||
            std::string(c.name) == "libraw abort") {
            EXPECT_TRUE(lastCodecFailure() == "not a camera raw file, or one cut short" ||
                        lastCodecFailure() == "damaged or truncated raw data")
                << c.name << ": " << lastCodecFailure();
        }
        // The other roads fail alike (cut pixels may still open: their shot is known).
        RawShotInfo info;
        if (std::string(c.name) != "cut pixels") {
            EXPECT_FALSE(readRawShotInfo(path, info)) << c.name;
        }
        EXPECT_FALSE(readRawPreview(path, 1, 1, out)) << c.name;
    }
    EXPECT_FALSE(RawCodec().write(dir.file("out.dng"), patchPicture(), 0));
}

TEST(RawCodec, PreviewOnlyWhenTheRawHasOneLargeEnough)
{
    test::TempDir dir;
    const std::string path = writeTurnedDng(dir, "preview.dng");
    Image preview;
    EXPECT_FALSE(readRawPreview(path, 1, 1, preview));
    EXPECT_TRUE(preview.isEmpty());

    // A 30 x 45 preview stored unturned, as the sensor is: shown upright it is 45 x 30.
    Image stored;
    stored.create(30, 45, 72.0f);
    stored.fill(0xFF2080C0);
    stored.rowFromTop(0)[0] = 0xFFFFFFFF;
    std::vector<std::uint8_t> jpeg;
    ASSERT_TRUE(encodeJpegStream(stored, 95, jpeg));
    ASSERT_TRUE(test::appendDngPreview(path, jpeg));
    ASSERT_TRUE(readRawPreview(path, 45, 30, preview)) << lastCodecFailure();
    EXPECT_EQ(preview.width(), 45);
    EXPECT_EQ(preview.height(), 30);
    // The stored top-left corner is the upright top-right one after a clockwise turn.
    EXPECT_GT(preview.pixelAt(44, 0) & 0xFF, 0xE0u);
    EXPECT_LT(preview.pixelAt(0, 0) & 0xFF, 0xE0u);
    EXPECT_FALSE(readRawPreview(path, 46, 30, preview));
    EXPECT_FALSE(readRawPreview(path, 45, 31, preview));
    // The development is not affected by the preview.
    Image developed;
    ASSERT_TRUE(RawCodec().read(path, developed));
    EXPECT_EQ(developed.width(), 60);
}

}  // namespace
}  // namespace tavelune
