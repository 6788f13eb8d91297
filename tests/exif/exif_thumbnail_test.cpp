// Thumbnails: carried through in-place writes, made anew for a converted picture.
#include <gtest/gtest.h>

#include <array>

#include "engine/fit_within.h"
#include "engine/jpeg_codec.h"
#include "exif/keep_exif.h"
#include "exif/thumbnail_directory.h"
#include "support/cli_runner.h"
#include "support/test_support.h"
#include "tiff_builder.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

// The thumbnail data of the Exif segment of a JPEG file (the APP1 after SOI and an APP0).
std::optional<ThumbnailDirectory> thumbnailOfFile(const Bytes& file)
{
    std::size_t at = 2;
    while (at + 4 <= file.size() && file[at] == 0xFF && file[at + 1] != 0xDA) {
        const std::size_t size = 2 + ((std::size_t{file[at + 2]} << 8) | file[at + 3]);
        if (file[at + 1] == 0xE1 && size > 10 && file[at + 4] == 'E')
            return readThumbnailDirectory(std::span<const std::uint8_t>(file).subspan(
                at + 10, std::min(size, file.size() - at) - 10));
        at += size;
    }
    return std::nullopt;
}

std::array<double, 3> meanColour(const Image& picture)
{
    std::array<double, 3> sum{};
    for (std::size_t i = 0; i < picture.pixelCount(); ++i) {
        const std::uint32_t pixel = picture.pixels()[i];
        sum[0] += (pixel >> 16) & 0xFF;
        sum[1] += (pixel >> 8) & 0xFF;
        sum[2] += pixel & 0xFF;
    }
    for (double& channel : sum) channel /= double(picture.pixelCount());
    return sum;
}

Image decodeThumbnail(const test::TempDir& dir, const Bytes& jpeg)
{
    const std::string path = dir.file("thumbnail.jpg");
    test::writeFileBytes(path, jpeg);
    Image picture;
    EXPECT_TRUE(openImage(path, picture));
    return picture;
}

Image bandedPicture(int width, int height)
{
    std::vector<std::uint32_t> pixels(std::size_t(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[std::size_t(y) * width + x] = x < width / 2 ? 0xFFD02020u : 0xFF2040E0u;
    Image picture;
    picture.create(width, height, 72.0f, pixels.data());
    return picture;
}

TEST(KeptExifThumbnail, ShowsTheSavedPictureInItsProportions)
{
    test::TempDir dir;
    struct Case {
        int width, height, thumbWidth, thumbHeight;
    };
    for (const Case c : {Case{320, 240, 160, 120}, Case{400, 100, 160, 40}, Case{90, 300, 36, 120},
                         Case{140, 120, 140, 120}}) {
        ExifData source;
        ASSERT_TRUE(source.LoadExif(test::fixturePath("camera-exif/canon-eos-20d.jpg")));
        const Bytes oldThumbnail =
            thumbnailOfFile(test::readFileBytes(test::fixturePath("camera-exif/canon-eos-20d.jpg")))
                ->data;
        const std::string path = dir.file("converted.jpg");
        const Image saved = bandedPicture(c.width, c.height);
        ASSERT_TRUE(saveImage(path, saved, {}, 90));
        ASSERT_TRUE(writeKeptExif(source, path));

        const auto thumbnail = thumbnailOfFile(test::readFileBytes(path));
        ASSERT_TRUE(thumbnail) << c.width;
        EXPECT_NE(thumbnail->data, oldThumbnail);
        const Image small = decodeThumbnail(dir, thumbnail->data);
        EXPECT_EQ(small.width(), c.thumbWidth);
        EXPECT_EQ(small.height(), c.thumbHeight);
        Image back;
        ASSERT_TRUE(openImage(path, back));
        const auto expected = meanColour(back), got = meanColour(small);
        for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], expected[k], 6.0) << c.width << " " << k;
        // The camera's maker note is still where its offsets expect it.
        ExifData written;
        ASSERT_TRUE(written.LoadExif(path));
        EXPECT_EQ(written.FindEntry(kExifIfd, 37500)->value(),
                  source.FindEntry(kExifIfd, 37500)->value());
        EXPECT_EQ(written.makerNoteOffset(), source.makerNoteOffset());
    }
}

// The thumbnail is reduced while the file is read row by row; it must be the thumbnail of
// the whole decoded picture reduced by fitWithin.
TEST(KeptExifThumbnail, RowByRowReductionGivesTheWholePicturesThumbnail)
{
    test::TempDir dir;
    std::vector<std::string> files = {test::fixturePath("codecs/cmyk.jpg"),
                                      test::fixturePath("codecs/grey.jpg"),
                                      test::fixturePath("codecs/progressive.jpg"),
                                      test::fixturePath("camera-exif/nikon-d70.jpg")};
    for (auto [w, h] : {std::pair{1, 1}, {1, 300}, {300, 1}, {161, 121}, {1200, 700}, {500, 900}}) {
        Image picture;
        ASSERT_TRUE(picture.create(w, h, 150.0f));
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                picture.rowFromTop(y)[x] = 0xFF000000u | uint32_t(x * 7919 + y * 104729);
        files.push_back(dir.file(std::to_string(w) + "x" + std::to_string(h) + ".jpg"));
        ASSERT_TRUE(JpegCodec().write(files.back(), picture, 90));
    }
    for (const std::string& file : files) {
        Image whole;
        ASSERT_TRUE(JpegCodec().read(file, whole));
        const int w = whole.width(), h = whole.height();
        const int side = w * 3 >= h * 4 ? 160 : h >= w ? 120 : std::max(1, 120 * w / h);
        ASSERT_TRUE(fitWithin(whole, side));
        std::vector<std::uint8_t> expected;
        ASSERT_TRUE(encodeJpegStream(whole, 75, expected));
        std::vector<std::uint8_t> thumbnail;
        ASSERT_TRUE(makeExifThumbnail(file, thumbnail)) << file;
        EXPECT_TRUE(thumbnail == expected) << file;
    }
}

TEST(KeptExifThumbnail, ConvertWritesOneOfTheConvertedPicture)
{
    test::TempDir dir;
    const std::string output = dir.file("out.jpg");
    const test::CliResult result =
        test::runTaveluneCli("convert --film tmax " +
                             test::shellQuote(test::fixturePath("camera-exif/sony-dsc-w7.jpg")) +
                             " " + test::shellQuote(output));
    ASSERT_EQ(result.status, 0) << result.err;
    const auto thumbnail = thumbnailOfFile(test::readFileBytes(output));
    ASSERT_TRUE(thumbnail);
    const Image small = decodeThumbnail(dir, thumbnail->data);
    Image saved;
    ASSERT_TRUE(openImage(output, saved));
    const auto expected = meanColour(saved), got = meanColour(small);
    for (int k = 0; k < 3; ++k) EXPECT_NEAR(got[k], expected[k], 6.0) << k;
    // A black-and-white film leaves no colour in the thumbnail either.
    EXPECT_NEAR(got[0], got[2], 3.0);
}

// A 2 x 1 RGB TIFF with its strip after the directories and an IFD1 JPEG thumbnail at the end.
Bytes tiffWithThumbnail(int order, const Bytes& thumbnail)
{
    auto build = [order](std::uint32_t strip) {
        test::TiffBuilder builder(order);
        builder.addLongs(kIfd0, 256, {2})
            .addLongs(kIfd0, 257, {1})
            .addShorts(kIfd0, 258, {8, 8, 8})
            .addShorts(kIfd0, 259, {1})
            .addShorts(kIfd0, 262, {2})
            .addAscii(kIfd0, 271, "Maker")
            .addLongs(kIfd0, 273, {strip})
            .addShorts(kIfd0, 277, {3})
            .addLongs(kIfd0, 278, {1})
            .addLongs(kIfd0, 279, {6});
        return builder.build().bytes;
    };
    Bytes file = build(static_cast<std::uint32_t>(build(0).size()));
    file.insert(file.end(), {10, 20, 30, 40, 50, 60});
    const std::uint32_t ifd0 = exif::readU32(file, 4, order).value();
    const std::uint16_t count = exif::readU16(file, ifd0, order).value();
    const auto ifd1 = static_cast<std::uint32_t>(file.size());
    exif::writeU32(file, ifd0 + 2 + 12 * count, order, ifd1);
    file.resize(ifd1 + 2 + 3 * 12 + 4, 0);
    exif::writeU16(file, ifd1, order, 3);
    const std::uint16_t tags[3] = {259, kJpegThumbnailOffset, kJpegThumbnailLength};
    const std::uint32_t values[3] = {6, ifd1 + 2 + 36 + 4, std::uint32_t(thumbnail.size())};
    for (int i = 0; i < 3; ++i) {
        const std::size_t at = ifd1 + 2 + 12 * i;
        exif::writeU16(file, at, order, tags[i]);
        exif::writeU16(file, at + 2, order, i == 0 ? kShort : kLong);
        exif::writeU32(file, at + 4, order, 1);
        if (i == 0)
            exif::writeU16(file, at + 8, order, 6);
        else
            exif::writeU32(file, at + 8, order, values[i]);
    }
    file.insert(file.end(), thumbnail.begin(), thumbnail.end());
    return file;
}

TEST(ThumbnailDirectory, TiffWritesCarryIfd1AlongInBothOrders)
{
    test::TempDir dir;
    const std::string path = dir.file("scan.tif");
    const Bytes thumbnail = {0xFF, 0xD8, 1, 2, 3, 4, 5, 0xFF, 0xD9};
    for (int order : {exif::kIntel, exif::kMotorola}) {
        test::writeFileBytes(path, tiffWithThumbnail(order, thumbnail));
        ASSERT_EQ(readThumbnailDirectory(test::readFileBytes(path))->data, thumbnail);
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(path));
        setTextValue(exif.FindEntry(kIfd0, 315, EntryLookup::Create), "Ann");
        ASSERT_TRUE(exif.SaveExif(path)) << order;
        const Bytes written = test::readFileBytes(path);
        const auto kept = readThumbnailDirectory(written);
        ASSERT_TRUE(kept) << order;
        EXPECT_EQ(kept->data, thumbnail);
        EXPECT_TRUE(kept->last);
        ExifData back;
        ASSERT_TRUE(back.LoadExif(path));
        EXPECT_EQ(back.GetText(kIfd0, 315, "en_US"), "Ann");
        const auto strip = static_cast<std::size_t>(back.GetNumber(kIfd0, 273, 0));
        EXPECT_EQ(Bytes(written.begin() + long(strip), written.begin() + long(strip) + 6),
                  Bytes({10, 20, 30, 40, 50, 60}));
    }
}

TEST(ThumbnailDirectory, BrokenThumbnailsAreDroppedAndShortOffsetsWidened)
{
    // IFD0 with one entry, then IFD1 with a JPEG thumbnail of `length` bytes at `offset`.
    auto block = [](std::uint32_t offset, std::uint32_t length, std::uint16_t offsetType) {
        Bytes b(8 + 18 + 2 + 24 + 4 + 8, 0);
        exif::writeU16(b, 0, exif::kIntel, 0x4949);
        exif::writeU16(b, 2, exif::kIntel, 42);
        exif::writeU32(b, 4, exif::kIntel, 8);
        exif::writeU16(b, 8, exif::kIntel, 1);
        exif::writeU16(b, 10, exif::kIntel, 274);
        exif::writeU16(b, 12, exif::kIntel, kShort);
        exif::writeU32(b, 14, exif::kIntel, 1);
        exif::writeU32(b, 22, exif::kIntel, 26);  // next: IFD1
        exif::writeU16(b, 26, exif::kIntel, 2);
        exif::writeU16(b, 28, exif::kIntel, kJpegThumbnailOffset);
        exif::writeU16(b, 30, exif::kIntel, offsetType);
        exif::writeU32(b, 32, exif::kIntel, 1);
        exif::writeU32(b, 36, exif::kIntel, offset);
        exif::writeU16(b, 40, exif::kIntel, kJpegThumbnailLength);
        exif::writeU16(b, 42, exif::kIntel, kLong);
        exif::writeU32(b, 44, exif::kIntel, 1);
        exif::writeU32(b, 48, exif::kIntel, length);
        for (std::size_t i = 56; i < b.size(); ++i) b[i] = std::uint8_t(i);
        return b;
    };
    const auto good = readThumbnailDirectory(block(56, 8, kShort));
    ASSERT_TRUE(good);
    EXPECT_EQ(good->data, Bytes({56, 57, 58, 59, 60, 61, 62, 63}));
    EXPECT_EQ(good->entries[0].type(), kLong);  // room for any new offset
    EXPECT_TRUE(good->last);
    EXPECT_FALSE(readThumbnailDirectory(block(60, 8, kLong)));            // runs past the end
    EXPECT_FALSE(readThumbnailDirectory(block(0xFFFFFFF0u, 32, kLong)));  // wraps
}

}  // namespace
}  // namespace tavelune
