// Reading JPEGs reduced by DCT scaling: full size unchanged, reduced sizes and colours, errors.
#include <gtest/gtest.h>

#include <cstdlib>
#include <vector>

#include "codec_test_util.h"
#include "engine/codec_support.h"
#include "engine/jpeg_codec.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

// Smooth, so that an 8 x 8 average of the full decoding predicts the 1/8 one closely.
Image smoothPicture(int w, int h)
{
    Image image;
    image.create(w, h, 180.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.rowFromTop(y)[x] = 0xFF000000u | (uint32_t(x * 255 / w) << 16) |
                                     (uint32_t(y * 255 / h) << 8) | uint32_t(128);
    return image;
}

int channel(uint32_t pixel, int shift)
{
    return int((pixel >> shift) & 0xFF);
}

TEST(JpegReducedRead, WithoutAReductionGivesTheCodecsBytes)
{
    test::TempDir dir;
    const std::string made = dir.file("made.jpg");
    ASSERT_TRUE(JpegCodec().write(made, test::patternPicture(101, 67, false, 240.0f), 85));
    for (const std::string& path :
         {made, test::fixturePath("codecs/grey.jpg"), test::fixturePath("codecs/cmyk.jpg")}) {
        Image expected;
        ASSERT_TRUE(JpegCodec().read(path, expected)) << path;
        for (int denominator : {1, 0, 3, 16, -2}) {
            int seenWidth = 0, seenHeight = 0;
            Image out;
            ASSERT_TRUE(readJpegReduced(path, out, [&](int w, int h) {
                seenWidth = w;
                seenHeight = h;
                return denominator;
            }));
            EXPECT_EQ(seenWidth, expected.width()) << path;
            EXPECT_EQ(seenHeight, expected.height()) << path;
            EXPECT_TRUE(test::samePixels(out, expected)) << path << " 1/" << denominator;
            EXPECT_FLOAT_EQ(out.dpi(), expected.dpi()) << path;
        }
    }
}

TEST(JpegReducedRead, ReducedSidesRoundUpAndKeepTheColours)
{
    test::TempDir dir;
    const std::string path = dir.file("smooth.jpg");
    ASSERT_TRUE(JpegCodec().write(path, smoothPicture(203, 131), 95));
    Image full;
    ASSERT_TRUE(JpegCodec().read(path, full));
    for (int d : {2, 4, 8}) {
        Image out;
        ASSERT_TRUE(readJpegReduced(path, out, [d](int, int) { return d; }));
        ASSERT_EQ(out.width(), (203 + d - 1) / d);
        ASSERT_EQ(out.height(), (131 + d - 1) / d);
        EXPECT_FLOAT_EQ(out.dpi(), 180.0f);
        // Each reduced pixel against the mean of the d x d block of the full decoding.
        int worst = 0;
        for (int y = 0; y < out.height(); ++y)
            for (int x = 0; x < out.width(); ++x)
                for (int shift : {0, 8, 16}) {
                    int sum = 0, n = 0;
                    for (int v = y * d; v < std::min(y * d + d, 131); ++v)
                        for (int u = x * d; u < std::min(x * d + d, 203); ++u, ++n)
                            sum += channel(full.pixelAt(u, v), shift);
                    worst = std::max(worst, std::abs(channel(out.pixelAt(x, y), shift) - sum / n));
                }
        EXPECT_LE(worst, 6) << "1/" << d;
        EXPECT_EQ(out.pixelAt(0, 0) >> 24, 0xFFu);
    }

    // CMYK goes through its own conversion: same size rule, colours of the full decoding.
    const std::string cmyk = test::fixturePath("codecs/cmyk.jpg");
    Image cmykFull, cmykHalf;
    ASSERT_TRUE(JpegCodec().read(cmyk, cmykFull));
    ASSERT_TRUE(readJpegReduced(cmyk, cmykHalf, [](int, int) { return 2; }));
    ASSERT_EQ(cmykHalf.width(), (cmykFull.width() + 1) / 2);
    ASSERT_EQ(cmykHalf.height(), (cmykFull.height() + 1) / 2);
    for (int shift : {0, 8, 16})
        EXPECT_NEAR(channel(cmykHalf.pixelAt(0, 0), shift), channel(cmykFull.pixelAt(0, 0), shift),
                    40);
}

TEST(JpegReducedRead, BrokenFilesFailAsTheCodecDoes)
{
    test::TempDir dir;
    const std::string whole = dir.file("whole.jpg");
    ASSERT_TRUE(JpegCodec().write(whole, test::patternPicture(64, 48, false), 90));
    auto bytes = test::readFileBytes(whole);
    const std::string cut = dir.file("cut.jpg");
    test::writeFileBytes(cut, std::vector<unsigned char>(bytes.begin(), bytes.begin() + 400));
    const std::string junk = dir.file("junk.jpg");
    test::writeFileBytes(junk, std::vector<unsigned char>(200, 0x42));

    for (const std::string& path : {cut, junk}) {
        test::MessageCollector messages;
        (void)takeLibraryBoxes();  // what tests before this one left on the thread
        Image out;
        ASSERT_TRUE(out.create(3, 3, 72.0f));
        EXPECT_FALSE(readJpegReduced(path, out, [](int, int) { return 4; })) << path;
        EXPECT_TRUE(out.isEmpty()) << path;
        EXPECT_EQ(takeLibraryBoxes().size(), 1u) << path;
        EXPECT_TRUE(messages.messages().empty()) << path;
    }
    Image out;
    EXPECT_FALSE(readJpegReduced(dir.file("missing.jpg"), out, [](int, int) { return 2; }));
    EXPECT_FALSE(readJpegReduced("", out, [](int, int) { return 2; }));
}

}  // namespace
}  // namespace tavelune
