// The sheet's picture reader: when a JPEG is decoded reduced, and what its reading reports.
#include "indexprint/sheet_picture_reader.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <utility>
#include <vector>

#include "engine/format_dispatch.h"
#include "engine/image_codec.h"
#include "engine/jpeg_codec.h"
#include "engine/picture_metadata.h"
#include "exif/entry_values.h"
#include "exif/exif_data.h"
#include "exif/exif_tags.h"
#include "indexprint/fit_rectangle.h"
#include "support/cli_runner.h"
#include "support/test_colour.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(SheetPictureReduction, StrongestReductionThatKeepsTwiceTheFittedRectangle)
{
    struct Case {
        int width, height, cellWidth, cellHeight, fitMode, expected;
        const char* why;
    };
    const Case cases[] = {
        {400, 400, 100, 100, kFitInside, 2, "exactly four times: 1/2 leaves exactly twice"},
        {399, 400, 100, 100, kFitInside, 1, "a pixel short of four times across"},
        {400, 399, 100, 100, kFitInside, 1, "a pixel short of four times down"},
        {799, 800, 100, 100, kFitInside, 2, "a pixel short of eight times"},
        {800, 800, 100, 100, kFitInside, 4, "exactly eight times"},
        {1599, 1600, 100, 100, kFitInside, 4, "a pixel short of sixteen times"},
        {1600, 1600, 100, 100, kFitInside, 8, "exactly sixteen times: 1/8 leaves exactly twice"},
        {65500, 65500, 1, 1, kFitInside, 8, "no stronger reduction than 1/8"},
        {3000, 2000, 213, 142, kFitInside, 4, "the 8 x 5 sheet at 300 dpi"},
        {3000, 2000, 213, 142, kFitFill, 4, "same shape as the cell: fill is inside"},
        {1600, 800, 100, 100, kFitInside, 8, "letterboxed into 100 x 50"},
        {1600, 800, 100, 100, kFitFill, 4, "filling: drawn 200 x 100 and cut"},
        {800, 1600, 200, 100, kFitInside, 8, "tall picture in a wide cell: 50 x 100"},
        {800, 1600, 200, 100, kFitFill, 2, "tall picture filling a wide cell: 200 x 400"},
        {2000, 3000, 213, 142, kFitInside, 8, "stored upright, measured as stored: 95 x 142"},
        {2000, 3000, 213, 142, kFitFill, 4, "stored upright, filling: 213 x 320"},
        {1600, 800, 100, 100, kFitWidth, 8, "fit to width: 100 x 50"},
        {1600, 800, 100, 100, kFitHeight, 4, "fit to height: 200 x 100"},
        {1600, 400, 100, 100, 9, 2, "unknown mode stretches to the cell; the height decides"},
        {120, 80, 100, 100, kFitInside, 1, "smaller than four times"},
        {1, 1, 1, 1, kFitInside, 1, "one pixel"},
        {1600, 1600, 0, 100, kFitInside, 1, "cell without width"},
        {1600, 1600, 100, -5, kFitFill, 1, "cell without height"},
        {0, 0, 100, 100, kFitInside, 1, "picture without pixels"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(sheetPictureReduction(c.width, c.height, c.cellWidth, c.cellHeight, c.fitMode),
                  c.expected)
            << c.width << " x " << c.height << " in " << c.cellWidth << " x " << c.cellHeight
            << " mode " << c.fitMode << ": " << c.why;
}

class SheetPictureRead : public testing::Test {
protected:
    std::string writeJpeg(const std::string& name, int w, int h)
    {
        Image picture;
        picture.setFillColour(0xFF3366CC);
        EXPECT_TRUE(picture.create(w, h, 72.0f));
        const std::string path = m_dir.file(name);
        EXPECT_TRUE(JpegCodec().write(path, picture, 90));
        return path;
    }

    test::TempDir m_dir;
};

TEST_F(SheetPictureRead, LargeJpegIsReducedAndKeepsItsStoredSize)
{
    const std::string big = writeJpeg("big.jpg", 800, 400);
    SheetPicture out;
    readSheetPicture(big, 100, 100, kFitInside, true, out);
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.picture.width(), 200);  // 1/4: a 1/8 decoding would be 100 x 50, under twice
    EXPECT_EQ(out.picture.height(), 100);
    EXPECT_EQ(out.sourceWidth, 800);
    EXPECT_EQ(out.sourceHeight, 400);

    readSheetPicture(big, 100, 100, kFitInside, false, out);
    ASSERT_TRUE(out.opened);
    EXPECT_EQ(out.picture.width(), 800);
    EXPECT_EQ(out.sourceWidth, 800);

    // Small JPEGs and other formats come through whole, with the bytes ImageHandle gives.
    const std::string small = writeJpeg("small.jpg", 300, 200);
    const std::string bmp = m_dir.file("big.bmp");
    ASSERT_TRUE(saveImage(bmp, out.picture, {}, 0));
    for (const std::string& path : {small, bmp}) {
        ImageHandle handle;
        ASSERT_TRUE(handle.open(path));
        readSheetPicture(path, 100, 100, kFitInside, true, out);
        ASSERT_TRUE(out.opened) << path;
        EXPECT_EQ(out.sourceWidth, handle.width()) << path;
        EXPECT_EQ(out.sourceHeight, handle.height()) << path;
        ASSERT_EQ(out.picture.width(), handle.width()) << path;
        ASSERT_EQ(out.picture.height(), handle.height()) << path;
        for (int y = 0; y < handle.height(); ++y)
            ASSERT_TRUE(std::equal(out.picture.rowFromTop(y),
                                   out.picture.rowFromTop(y) + out.picture.width(),
                                   handle.image()->rowFromTop(y)))
                << path << " row " << y;
    }
}

TEST_F(SheetPictureRead, UprightTurnsByTheExifOrientation)
{
    struct Case {
        int orientation;
        bool upright;
        int width, height;  // of the picture read, reduced 1/4, and of its source
    };
    const Case cases[] = {
        {1, true, 200, 100}, {6, false, 200, 100}, {6, true, 100, 200},
        {8, true, 100, 200}, {3, true, 200, 100},
    };
    for (const Case& c : cases) {
        const std::string path = writeJpeg("turned.jpg", 800, 400);
        ExifData exif;
        ASSERT_TRUE(exif.CreateDefaultEntries(800, 400, 72, 72));
        setShortValue(exif.FindEntry(kIfd0, kTagOrientation, EntryLookup::Create),
                      std::uint16_t(c.orientation));
        ASSERT_TRUE(exif.SaveExif(path));
        SheetPicture out;
        readSheetPicture(path, 100, 100, kFitInside, true, out, c.upright);
        ASSERT_TRUE(out.opened) << c.orientation;
        EXPECT_EQ(out.picture.width(), c.width) << c.orientation << c.upright;
        EXPECT_EQ(out.picture.height(), c.height) << c.orientation << c.upright;
        EXPECT_EQ(out.sourceWidth, c.width * 4) << c.orientation << c.upright;
        EXPECT_EQ(out.sourceHeight, c.height * 4) << c.orientation << c.upright;
        EXPECT_TRUE(out.boxes.empty());
    }
    // PNG and WebP carry EXIF in a chunk of their own; read whole, they turn the same way.
    if (!test::haveTool("exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    for (const auto& [name, format] :
         {std::pair{"turned.png", ImageFormat::Png}, std::pair{"turned.webp", ImageFormat::Webp}}) {
        const std::string path = m_dir.file(name);
        Image picture;
        ASSERT_TRUE(picture.create(80, 40, 72.0f));
        ASSERT_TRUE(saveImage(path, picture, format, 0).ok());
        ASSERT_EQ(std::system(("exiftool -q -q -overwrite_original -n -Orientation=6 " +
                               test::shellQuote(path)).c_str()),
                  0);
        SheetPicture out;
        readSheetPicture(path, 100, 100, kFitInside, true, out, true);
        ASSERT_TRUE(out.opened) << name;
        EXPECT_EQ(out.picture.width(), 40) << name;
        EXPECT_EQ(out.picture.height(), 80) << name;
        EXPECT_EQ(out.sourceWidth, 40) << name;
        EXPECT_TRUE(out.boxes.empty()) << name;
    }
}

// The sheet is tagged sRGB, so a picture in a wide profile's numbers is turned into sRGB's.
TEST_F(SheetPictureRead, APictureWithAProfileComesInSrgbColours)
{
    PictureMetadata wide;
    wide.icc = reference::adobeRgbProfile();
    const Image chart = reference::patchChart(6);
    const std::string path = m_dir.file("wide.tif");
    ASSERT_TRUE(saveImage(path, chart, ImageFormat::Tiff, 1, &wide).ok());
    SheetPicture out;
    readSheetPicture(path, 100, 100, kFitInside, true, out, true);
    ASSERT_TRUE(out.opened);
    const Image expected = reference::lcmsSrgbCopy(chart, wide.icc);
    EXPECT_GT(reference::largestChannelDifference(expected, chart), 8);
    EXPECT_LE(reference::largestChannelDifference(out.picture, expected), 1);
}

TEST_F(SheetPictureRead, FailuresHoldTheBoxesAnOpenWouldGive)
{
    const std::string junkJpeg = m_dir.file("junk.jpg");
    test::writeFileBytes(junkJpeg, std::vector<unsigned char>(300, 0x17));
    const std::string junkPng = m_dir.file("junk.png");
    test::writeFileBytes(junkPng, std::vector<unsigned char>(300, 0x17));
    const std::string unknown = m_dir.file("notes.xyz");
    test::writeFileBytes(unknown, std::vector<unsigned char>(10, 0x17));

    for (const std::string& path : {junkJpeg, junkPng, unknown, m_dir.file("gone.jpg")}) {
        test::MessageCollector shown;
        ImageHandle handle;
        const ImageStatus opened = handle.open(path);
        EXPECT_FALSE(opened);
        const Warnings<ImageError> expected = imageBoxes(opened);
        ASSERT_FALSE(expected.empty()) << path;
        for (bool reduce : {true, false}) {
            SheetPicture out;
            readSheetPicture(path, 100, 100, kFitFill, reduce, out);
            EXPECT_FALSE(out.opened) << path;
            EXPECT_TRUE(shown.messages().empty()) << path << ": shown instead of held";
            ASSERT_EQ(out.boxes.size(), expected.size()) << path;
            for (size_t i = 0; i < expected.size(); ++i) {
                EXPECT_EQ(out.boxes[i].code, expected[i].code) << path;
                EXPECT_EQ(out.boxes[i].detail, expected[i].detail) << path;
            }
        }
    }
}

}  // namespace
}  // namespace tavelune
