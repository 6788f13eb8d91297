// JPEG codec: density rules, colour models, the fast routes against the plain ones, errors.
#include "engine/jpeg_codec.h"

#include <gtest/gtest.h>

#include <cmath>

#include "codec_test_util.h"
#include "engine/codec_support.h"
#include "engine/engine_messages.h"
#include "engine/format_dispatch.h"
#include "job/notices.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::MessageCollector;
using test::TempDir;

// Rewrites the JFIF density fields of a file our writer made (APP0 right after SOI).
void setDensity(const std::string& path, uint8_t unit, uint16_t density)
{
    auto bytes = test::readFileBytes(path);
    ASSERT_GT(bytes.size(), 20u);
    ASSERT_EQ(bytes[2], 0xFF);
    ASSERT_EQ(bytes[3], 0xE0);
    bytes[13] = unit;
    bytes[14] = bytes[16] = uint8_t(density >> 8);
    bytes[15] = bytes[17] = uint8_t(density);
    test::writeFileBytes(path, bytes);
}

TEST(JpegCodec, DensityGivesDpi)
{
    TempDir dir;
    const std::string path = dir.file("d.jpg");
    JpegCodec codec;
    ASSERT_TRUE(codec.write(path, test::patternPicture(8, 8, false), 90));
    struct Case {
        uint8_t unit;
        uint16_t density;
        float dpi;
    };
    for (Case c : {Case{1, 300, 300.0f}, Case{2, 118, 299.72f}, Case{0, 300, 72.0f},
                   Case{3, 300, 72.0f}, Case{1, 0, 72.0f}}) {
        setDensity(path, c.unit, c.density);
        Image out;
        ASSERT_TRUE(codec.read(path, out));
        EXPECT_FLOAT_EQ(out.dpi(), c.dpi) << int(c.unit) << " " << c.density;
    }
}

TEST(JpegCodec, WritesIntegerDpiAndDropsAlpha)
{
    TempDir dir;
    const std::string path = dir.file("w.jpg");
    // A smooth picture with varying alpha, so that compression error stays small.
    Image picture;
    ASSERT_TRUE(picture.create(16, 9, 150.9f));
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 16; ++x)
            picture.rowFromTop(y)[x] = (uint32_t(x * 16) << 24) | (uint32_t(x * 15) << 16) |
                                       (uint32_t(y * 25) << 8) | uint32_t(200 - x * 5);
    JpegCodec codec;
    ASSERT_TRUE(codec.write(path, picture, 100));
    auto bytes = test::readFileBytes(path);
    EXPECT_EQ(bytes[13], 1);
    EXPECT_EQ((bytes[14] << 8) | bytes[15], 150);
    EXPECT_EQ((bytes[16] << 8) | bytes[17], 150);
    Image out;
    ASSERT_TRUE(codec.read(path, out));
    ASSERT_EQ(out.width(), 16);
    ASSERT_EQ(out.height(), 9);
    EXPECT_EQ(out.dpi(), 150.0f);
    for (uint32_t p : test::topDownPixels(out)) ASSERT_EQ(p >> 24, 0xFFu);
    // Quality 100 keeps the colours close; a row-order mistake would not be.
    int worst = 0;
    for (int y = 0; y < 9; ++y)
        for (int x = 0; x < 16; ++x)
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(int((out.pixelAt(x, y) >> shift) & 0xFF) -
                                                 int((picture.pixelAt(x, y) >> shift) & 0xFF)));
    EXPECT_LT(worst, 20);
}

TEST(JpegCodec, GreyAndCmykFilesLoadAsOpaqueColour)
{
    JpegCodec codec;
    Image grey;
    ASSERT_TRUE(codec.read(test::fixturePath("codecs/grey.jpg"), grey));
    bool someGrey = false;
    for (uint32_t p : test::topDownPixels(grey)) {
        ASSERT_EQ(p >> 24, 0xFFu);
        ASSERT_EQ((p >> 16) & 0xFF, p & 0xFF);
        ASSERT_EQ((p >> 8) & 0xFF, p & 0xFF);
        someGrey |= (p & 0xFF) != 0 && (p & 0xFF) != 0xFF;
    }
    EXPECT_TRUE(someGrey);
    // The CMYK file holds the reference picture's colours; compare with the RGB decoding.
    Image cmyk, rgb;
    ASSERT_TRUE(codec.read(test::fixturePath("codecs/cmyk.jpg"), cmyk));
    ASSERT_TRUE(codec.read(test::fixturePath("codecs/rgb.jpg"), rgb));
    ASSERT_EQ(cmyk.width(), rgb.width());
    ASSERT_EQ(cmyk.height(), rgb.height());
    double total = 0;
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x)
            for (int shift : {0, 8, 16})
                total += std::abs(int((cmyk.pixelAt(x, y) >> shift) & 0xFF) -
                                  int((rgb.pixelAt(x, y) >> shift) & 0xFF));
    EXPECT_LT(total / (rgb.width() * rgb.height() * 3), 12.0);
}

TEST(JpegCodec, DirectRoutesGiveTheSameBytesAsThePlainOnes)
{
    TempDir dir;
    JpegCodec codec;
    for (const std::string& path :
         {test::samplePath("coffee.jpg"), test::samplePath("chelsea-rotated.jpg"),
          test::samplePath("rocket.jpg"), test::fixturePath("codecs/grey.jpg"),
          test::fixturePath("codecs/cmyk.jpg"), test::fixturePath("codecs/rgb-444.jpg"),
          test::fixturePath("codecs/progressive.jpg")}) {
        SCOPED_TRACE(path);
        Image direct, plain;
        ASSERT_TRUE(codec.read(path, direct));
        ASSERT_TRUE(readJpegThroughRgb(path, plain));
        EXPECT_TRUE(test::samePixels(direct, plain));
        EXPECT_EQ(direct.dpi(), plain.dpi());

        for (int quality : {10, 75, 100}) {
            ASSERT_TRUE(codec.write(dir.file("a.jpg"), direct, quality));
            ASSERT_TRUE(writeJpegThroughRgb(dir.file("b.jpg"), direct, quality));
            EXPECT_EQ(test::readFileBytes(dir.file("a.jpg")),
                      test::readFileBytes(dir.file("b.jpg")))
                << quality;
        }
    }
}

TEST(JpegCodec, LibraryErrorsGiveTheFatalBoxAndFail)
{
    TempDir dir;
    auto jpeg = test::readFileBytes(test::samplePath("coffee.jpg"));
    test::writeFileBytes(dir.file("png.jpg"), test::readFileBytes(test::samplePath("coffee.png")));
    test::writeFileBytes(dir.file("cut.jpg"), {jpeg.begin(), jpeg.begin() + jpeg.size() / 2});
    test::writeFileBytes(dir.file("header.jpg"), {jpeg.begin(), jpeg.begin() + 200});
    test::writeFileBytes(dir.file("empty.jpg"), {});
    JpegCodec codec;
    for (const char* name : {"png.jpg", "cut.jpg", "header.jpg", "empty.jpg"}) {
        SCOPED_TRACE(name);
        MessageCollector messages;
        Image out = test::patternPicture(2, 2, false);
        EXPECT_FALSE(codec.read(dir.file(name), out));
        EXPECT_TRUE(out.isEmpty());
        EXPECT_EQ(takeLibraryBoxes().size(), 1u);
        // Through the open road the library's box rides along with the failure; the front
        // end shows it first, in the fatal box, then the open error.
        const ImageStatus opened = openImage(dir.file(name), out);
        EXPECT_EQ(opened.code(), ImageError::ReadFailed);
        ASSERT_EQ(opened.warnings().size(), 1u);
        EXPECT_EQ(opened.warnings()[0].code, ImageError::LibraryFault);
        EXPECT_TRUE(messages.messages().empty());
        const Notices boxes = imageNotices(opened);
        ASSERT_EQ(boxes.size(), 2u);
        const NoticeBox fatal = noticeBox(boxes[0]);
        EXPECT_EQ(fatal.caption, messages::kJpegFatalCaption);
        EXPECT_EQ(fatal.icon, MessageIcon::Error);
        EXPECT_EQ(fatal.text, opened.warnings()[0].detail);
        EXPECT_FALSE(fatal.text.empty());
        const NoticeBox failed = noticeBox(boxes[1]);
        EXPECT_EQ(failed.text, messages::kOpenImageError);
        EXPECT_TRUE(failed.caption.empty());
    }
    MessageCollector messages;
    Image out;
    // Only the end marker missing: the whole picture is there, so it loads.
    test::writeFileBytes(dir.file("noeoi.jpg"), {jpeg.begin(), jpeg.end() - 2});
    EXPECT_TRUE(codec.read(dir.file("noeoi.jpg"), out));
    EXPECT_EQ(out.width(), 600);
    EXPECT_FALSE(codec.read(dir.file("missing.jpg"), out));
    EXPECT_FALSE(codec.read("", out));
    EXPECT_TRUE(messages.messages().empty());
}

TEST(JpegCodec, WriteErrorsEndInZeroNotAnAbort)
{
    MessageCollector messages;
    JpegCodec codec;
    Image picture = test::patternPicture(64, 64, false);
    EXPECT_FALSE(codec.write("/dev/full", picture, 90));
    EXPECT_FALSE(writeJpegThroughRgb("/dev/full", picture, 90));
    // Wider than the format allows: the library refuses while starting.
    Image wide;
    ASSERT_TRUE(wide.create(70000, 1, 72.0f));
    TempDir dir;
    EXPECT_FALSE(codec.write(dir.file("wide.jpg"), wide, 90));
    EXPECT_FALSE(codec.write("", picture, 90));
    // The codec still works afterwards.
    EXPECT_TRUE(codec.write(dir.file("ok.jpg"), picture, 90));
}

TEST(JpegCodec, LoadKeepsPathAndReleaseEmpties)
{
    JpegCodec codec;
    EXPECT_EQ(codec.filePath(), nullptr);
    EXPECT_FALSE(codec.save("x.jpg", 90));  // nothing held
    ASSERT_TRUE(codec.load(test::samplePath("coffee.jpg")));
    EXPECT_EQ(codec.width(), 600);
    EXPECT_EQ(codec.height(), 400);
    EXPECT_EQ(codec.filePath(), test::samplePath("coffee.jpg"));
    MessageCollector messages;
    EXPECT_FALSE(codec.load(test::samplePath("coffee.png")));
    EXPECT_TRUE(codec.isEmpty());
    EXPECT_EQ(codec.image(), nullptr);
    EXPECT_EQ(codec.dpi(), 0.0f);
}

}  // namespace
}  // namespace tavelune
