// BMP codec: the written layout, round trips, top-down files and refused or damaged files.
#include <gtest/gtest.h>

#include <cstring>

#include "codec_test_util.h"
#include "engine/bmp_codec.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<uint8_t>;

void put32(Bytes& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i)
        b[at + size_t(i)] = uint8_t(v >> (8 * i));
}

// A file with a 40-byte info header; pixels follow the palette.
Bytes bmpFile(int32_t width, int32_t height, uint16_t bits, uint32_t compression,
              const std::vector<uint32_t>& palette, const Bytes& pixels, uint32_t clrUsed = 0,
              int32_t pelsPerMetre = 2835)
{
    Bytes b(54 + palette.size() * 4);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, uint32_t(b.size() + pixels.size()));
    put32(b, 10, uint32_t(b.size()));
    put32(b, 14, 40);
    put32(b, 18, uint32_t(width));
    put32(b, 22, uint32_t(height));
    b[26] = 1;
    b[28] = uint8_t(bits);
    put32(b, 30, compression);
    put32(b, 38, uint32_t(pelsPerMetre));
    put32(b, 42, uint32_t(pelsPerMetre));
    put32(b, 46, clrUsed);
    for (size_t i = 0; i < palette.size(); ++i)
        put32(b, 54 + 4 * i, palette[i]);
    b.insert(b.end(), pixels.begin(), pixels.end());
    return b;
}

bool decode(const Bytes& file, Image& out) { return decodeBmp(file.data(), file.size(), out); }

TEST(BmpCodec, WritesThe54ByteLayoutAndReadsItBack)
{
    test::TempDir dir;
    Image picture = test::patternPicture(5, 3, true, 300.0f);
    BmpCodec codec;
    ASSERT_TRUE(codec.write(dir.file("a.bmp"), picture, 0));
    auto bytes = test::readFileBytes(dir.file("a.bmp"));
    ASSERT_EQ(bytes.size(), 54u + 5 * 3 * 4);
    EXPECT_EQ(bytes[0], 'B');
    EXPECT_EQ(bytes[1], 'M');
    uint32_t fileSize, offset, perMetre;
    std::memcpy(&fileSize, &bytes[2], 4);
    std::memcpy(&offset, &bytes[10], 4);
    std::memcpy(&perMetre, &bytes[38], 4);
    EXPECT_EQ(fileSize, bytes.size());
    EXPECT_EQ(offset, 54u);
    EXPECT_EQ(bytes[28], 32);
    EXPECT_EQ(perMetre, 11811u);
    EXPECT_EQ(std::memcmp(&bytes[54], picture.pixels(), picture.byteSize()), 0);

    Image back;
    ASSERT_TRUE(codec.read(dir.file("a.bmp"), back));
    EXPECT_TRUE(test::samePixels(back, picture));  // alpha included
    EXPECT_EQ(back.dpi(), 300.0f);
}

TEST(BmpCodec, TopDownFilesLoadUpright)
{
    // Two rows of 24-bit pixels, one pixel each, padded to 4 bytes; top row red.
    Bytes pixels = {0, 0, 255, 0, 255, 0, 0, 0};
    Image up, down;
    ASSERT_TRUE(decode(bmpFile(1, -2, 24, 0, {}, pixels), down));
    ASSERT_TRUE(decode(bmpFile(1, 2, 24, 0, {}, pixels), up));
    EXPECT_EQ(down.pixelAt(0, 0), 0xFFFF0000u);
    EXPECT_EQ(down.pixelAt(0, 1), 0xFF0000FFu);
    EXPECT_EQ(up.pixelAt(0, 0), 0xFF0000FFu);
    EXPECT_EQ(up.pixelAt(0, 1), 0xFFFF0000u);
}

TEST(BmpCodec, PaletteDepthsAndDpi)
{
    // 4-bit, 3 pixels: indices 1, 2, 0 with a 3-entry palette (biClrUsed).
    Image out;
    ASSERT_TRUE(decode(bmpFile(3, 1, 4, 0, {0x00102030, 0x00405060, 0x00708090}, {0x12, 0x00, 0, 0},
                               3, 2835),
                       out));
    EXPECT_EQ(out.pixelAt(0, 0), 0xFF405060u);
    EXPECT_EQ(out.pixelAt(1, 0), 0xFF708090u);
    EXPECT_EQ(out.pixelAt(2, 0), 0xFF102030u);
    EXPECT_EQ(out.dpi(), 72.0f);
    // Without biClrUsed a 1-bit file has 2 entries; an index beyond a short palette is black.
    ASSERT_TRUE(decode(bmpFile(2, 1, 1, 0, {0x00FFFFFF, 0x00000080}, {0x40, 0, 0, 0}), out));
    EXPECT_EQ(out.pixelAt(0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(out.pixelAt(1, 0), 0xFF000080u);
    ASSERT_TRUE(decode(bmpFile(2, 1, 8, 0, {0x00ABCDEF}, {0, 7, 0, 0}, 1), out));
    EXPECT_EQ(out.pixelAt(0, 0), 0xFFABCDEFu);
    EXPECT_EQ(out.pixelAt(1, 0), 0xFF000000u);
    // 16-bit 5-5-5; non-positive pixels per metre fall back to 72 dpi.
    ASSERT_TRUE(decode(bmpFile(1, 1, 16, 0, {}, {0xFF, 0x7F, 0, 0}, 0, -5), out));
    EXPECT_EQ(out.pixelAt(0, 0), 0xFFF8F8F8u);
    EXPECT_EQ(out.dpi(), 72.0f);
}

TEST(BmpCodec, RefusesWhatItCannotReadAndNeverReadsPastTheEnd)
{
    const Bytes pixel = {1, 2, 3, 4};
    Bytes good = bmpFile(1, 1, 32, 0, {}, pixel);
    Bytes wrongType = good;
    wrongType[0] = 'X';
    Bytes smallHeader = good;
    put32(smallHeader, 14, 12);
    Bytes hugeHeader = good;
    put32(hugeHeader, 14, 0xFFFFFFF0u);
    Bytes hugePalette = bmpFile(1, 1, 8, 0, {}, pixel, 0x40000000u);
    Bytes tooTall = bmpFile(1, 0x7FFFFFFF, 32, 0, {}, pixel);
    Bytes tooWide = bmpFile(0x7FFFFFFF, 2, 32, 0, {}, pixel);
    Bytes minHeight = bmpFile(1, int32_t(0x80000000u), 32, 0, {}, pixel);
    const std::pair<const char*, Bytes> cases[] = {
        {"bitfields", bmpFile(1, 1, 16, 3, {}, pixel)},
        {"rle8", bmpFile(1, 1, 8, 1, {}, pixel)},
        {"2-bit", bmpFile(1, 1, 2, 0, {0, 0, 0, 0}, pixel)},
        {"zero width", bmpFile(0, 1, 32, 0, {}, pixel)},
        {"zero height", bmpFile(1, 0, 32, 0, {}, pixel)},
        {"wrong type", wrongType},
        {"header below 40", smallHeader},
        {"header past end", hugeHeader},
        {"palette past end", hugePalette},
        {"rows past end", tooTall},
        {"wide rows past end", tooWide},
        {"lowest height", minHeight},
        {"truncated pixels", Bytes(good.begin(), good.end() - 1)},
        {"header only", Bytes(good.begin(), good.begin() + 14)},
        {"empty", Bytes{}},
    };
    for (const auto& [name, bytes] : cases) {
        Image out = test::patternPicture(2, 2, false);
        EXPECT_FALSE(decode(bytes, out)) << name;
        EXPECT_TRUE(out.isEmpty()) << name;
    }
    Image out;
    ASSERT_TRUE(decode(good, out));
    EXPECT_EQ(out.pixelAt(0, 0), 0x04030201u);
}

TEST(BmpCodec, CreateReleasesFirstAndWriteFailsOnFullDisk)
{
    BmpCodec codec;
    ASSERT_TRUE(codec.load(test::fixturePath("codecs/bmp24.bmp")));
    ASSERT_TRUE(codec.create(7, 2, 96.0f));
    EXPECT_EQ(codec.width(), 7);
    EXPECT_FALSE(codec.write("/dev/full", *codec.image(), 0));
}

}  // namespace
}  // namespace tavelune
