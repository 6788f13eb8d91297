// The strip reader and writer against the whole-picture codec: same pixels, same bytes.
#include "engine/jpeg_strips.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <vector>

#include "engine/codec_test_util.h"
#include "engine/codec_support.h"
#include "engine/jpeg_codec.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

// Reads the whole file in strips of stripRows, top row first.
bool readInStrips(const std::string& path, int stripRows, std::vector<uint32_t>& pixels, float& dpi)
{
    JpegStripReader reader;
    if (!reader.open(path))
        return false;
    const int width = reader.width();
    const int height = reader.height();
    dpi = reader.dpi();
    pixels.assign(size_t(width) * size_t(height), 0);
    for (int y = 0; y < height; y += stripRows) {
        const int rows = std::min(stripRows, height - y);
        if (!reader.readRows(pixels.data() + size_t(y) * size_t(width), size_t(width), rows))
            return false;
    }
    return reader.finish();
}

TEST(JpegStrips, ReaderGivesTheCodecsPixelsForEveryKindOfFile)
{
    const char* files[] = {"codecs/rgb.jpg",         "codecs/rgb-444.jpg",
                           "codecs/grey.jpg",        "codecs/cmyk.jpg",
                           "codecs/progressive.jpg", "camera-exif/nikon-d70.jpg"};
    for (const char* name : files) {
        const std::string path = test::fixturePath(name);
        Image whole;
        ASSERT_TRUE(JpegCodec().read(path, whole)) << name;
        for (int stripRows : {1, 7, 16, 1 << 20}) {
            std::vector<uint32_t> pixels;
            float dpi = 0;
            ASSERT_TRUE(readInStrips(path, stripRows, pixels, dpi)) << name << " " << stripRows;
            EXPECT_EQ(pixels, test::topDownPixels(whole)) << name << " " << stripRows;
            EXPECT_EQ(dpi, whole.dpi()) << name;
        }
    }
}

TEST(JpegStrips, WriterGivesTheCodecsBytes)
{
    struct Case {
        int width, height, stripRows;
        float dpi;
        int quality;
    };
    const Case cases[] = {
        {1, 1, 1, 72.0f, 75},    {1, 37, 16, 300.0f, 90},   {37, 1, 16, 96.5f, 100},
        {33, 17, 16, 72.0f, 10}, {40, 48, 16, 70000.0f, 0}, {19, 33, 5, 240.0f, 90},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const Image picture = test::patternPicture(c.width, c.height, true, c.dpi);
        ASSERT_TRUE(JpegCodec().write(dir.file("whole.jpg"), picture, c.quality));
        JpegStripWriter writer;
        ASSERT_TRUE(
            writer.open(dir.file("strips.jpg"), c.width, c.height, picture.dpi(), c.quality));
        for (int y = 0; y < c.height; y += c.stripRows) {
            const int rows = std::min(c.stripRows, c.height - y);
            // Rows handed over one at a time as well, bottom-up in memory: the stride is free.
            for (int r = 0; r < rows; ++r)
                ASSERT_TRUE(writer.writeRows(picture.rowFromTop(y + r), size_t(c.width), 1));
        }
        ASSERT_TRUE(writer.finish());
        const std::vector<unsigned char> whole = test::readFileBytes(dir.file("whole.jpg"));
        EXPECT_EQ(test::readFileBytes(dir.file("strips.jpg")), whole)
            << c.width << "x" << c.height << " q" << c.quality;

        // The same file made in memory, then read back from there.
        JpegStripWriter inMemory;
        ASSERT_TRUE(inMemory.openMemory(c.width, c.height, picture.dpi(), c.quality));
        std::vector<uint8_t> bytes;
        EXPECT_FALSE(inMemory.takeMemory(bytes));  // not before it is finished
        for (int y = 0; y < c.height; ++y)
            ASSERT_TRUE(inMemory.writeRows(picture.rowFromTop(y), size_t(c.width), 1));
        ASSERT_TRUE(inMemory.finish());
        ASSERT_TRUE(inMemory.takeMemory(bytes));
        EXPECT_TRUE(std::equal(bytes.begin(), bytes.end(), whole.begin(), whole.end()));
        JpegStripReader reader;
        ASSERT_TRUE(reader.openMemory(bytes.data(), bytes.size()));
        Image decoded;
        ASSERT_TRUE(JpegCodec().read(dir.file("whole.jpg"), decoded));
        std::vector<uint32_t> rows(decoded.pixelCount());
        ASSERT_TRUE(reader.readRows(rows.data(), size_t(c.width), c.height));
        ASSERT_TRUE(reader.finish());
        EXPECT_EQ(rows, test::topDownPixels(decoded));
    }
}

TEST(JpegStrips, DamagedOrMissingFilesFailWithoutCrashing)
{
    test::TempDir dir;
    test::MessageCollector messages;
    std::vector<unsigned char> bytes = test::readFileBytes(test::fixturePath("codecs/rgb.jpg"));
    bytes.resize(bytes.size() * 2 / 3);
    test::writeFileBytes(dir.file("cut.jpg"), bytes);
    JpegStripReader reader;
    ASSERT_TRUE(reader.open(dir.file("cut.jpg")));
    std::vector<uint32_t> rows(size_t(reader.width()) * size_t(reader.height()));
    bool failed = false;
    for (int y = 0; y < reader.height() && !failed; ++y)
        failed = !reader.readRows(rows.data() + size_t(y) * size_t(reader.width()), 0, 1);
    EXPECT_TRUE(failed);
    EXPECT_FALSE(reader.readRows(rows.data(), 0, 1));
    EXPECT_FALSE(reader.finish());

    // Reading past the last row is refused, not left to the library.
    JpegStripReader whole;
    ASSERT_TRUE(whole.open(test::fixturePath("codecs/rgb.jpg")));
    std::vector<uint32_t> all(size_t(whole.width()) * size_t(whole.height() + 1));
    EXPECT_FALSE(whole.readRows(all.data(), size_t(whole.width()), whole.height() + 1));
    EXPECT_FALSE(whole.finish());

    EXPECT_FALSE(JpegStripReader().open(dir.file("missing.jpg")));
    clearCodecFailure();
    EXPECT_FALSE(writeJpegBytes("/dev/full", {0xFF, 0xD8}));
    // The library's write error, noted as the codec notes it for the caller's box.
    EXPECT_EQ(takeLibraryBoxes().size(), 1u);
    EXPECT_TRUE(messages.messages().empty());
    JpegStripWriter writer;
    EXPECT_FALSE(writer.open(dir.file("no/such/folder/out.jpg"), 4, 4, 72.0f, 75));
    // A writer given fewer rows than promised does not claim a finished file.
    ASSERT_TRUE(writer.open(dir.file("short.jpg"), 4, 4, 72.0f, 75));
    const uint32_t row[4] = {};
    ASSERT_TRUE(writer.writeRows(row, 0, 1));
    EXPECT_FALSE(writer.finish());
}

}  // namespace
}  // namespace tavelune
