// Loading EXIF data from JPEG and TIFF bytes: byte orders, skipping rules, hostile directories.
#include <gtest/gtest.h>

#include "exif/byte_order.h"
#include "exif/exif_data.h"
#include "support/test_support.h"
#include "tiff_builder.h"

namespace tavelune {
namespace {

using test::TiffBuilder;
using Bytes = std::vector<std::uint8_t>;

bool loadJpeg(ExifData& data, const Bytes& tiff)
{
    const Bytes jpeg = test::jpegWithExif(tiff);
    return data.LoadExifFromBytes(jpeg.data(), jpeg.size(), ImageFormat::Jpeg);
}

TiffBuilder sampleBuilder(int order)
{
    TiffBuilder builder(order);
    builder.addAscii(kIfd0, 271, "Maker")
        .addShorts(kIfd0, 274, {0x0102})
        .addRationals(kIfd0, 282, {{300, 1}})
        .addRationals(kExifIfd, 33434, {{1, 100}})
        .addRationals(kExifIfd, 37380, {{0xFFFFFFFFu, 3}}, kSRational)  // -1/3
        .addLongs(kExifIfd, 40962, {0x01020304})
        .addAscii(kInteropIfd, 1, "R98");
    return builder;
}

TEST(ExifParser, ReadsBothByteOrdersToTheSameNumbers)
{
    for (int order : {exif::kIntel, exif::kMotorola}) {
        ExifData data;
        ASSERT_TRUE(loadJpeg(data, sampleBuilder(order).build().bytes)) << order;
        EXPECT_EQ(data.byteOrder(), order);
        EXPECT_EQ(data.GetText(kIfd0, 271, "en_US"), "Maker");
        EXPECT_EQ(data.GetNumber(kIfd0, 274, 0), 258);
        EXPECT_EQ(data.GetNumber(kIfd0, 282, 0), 300);
        EXPECT_DOUBLE_EQ(data.GetNumber(kExifIfd, 33434, 0), 0.01);
        EXPECT_DOUBLE_EQ(data.GetNumber(kExifIfd, 37380, 0), -1.0 / 3);
        EXPECT_EQ(data.GetNumber(kExifIfd, 40962, 0), 0x01020304);
        EXPECT_EQ(data.GetText(kInteropIfd, 1, "en_US"), "R98");
        // Host order whatever the file's: SHORT 0x0102 is kept as 02 01.
        EXPECT_EQ(data.FindEntry(kIfd0, 274)->value(), (Bytes{0x02, 0x01}));
        // Pointers are followed, not kept; the list is sorted by tag.
        EXPECT_EQ(data.FindEntry(kIfd0, 34665), nullptr);
        std::vector<std::uint16_t> tags;
        for (const auto& entry : data.entries()) tags.push_back(entry->tag());
        EXPECT_EQ(tags, (std::vector<std::uint16_t>{1, 271, 274, 282, 33434, 37380, 40962}));
    }
}

TEST(ExifParser, TruncatedExifIfdKeepsIfd0ButTruncatedIfd0Fails)
{
    const TiffBuilder::Layout layout = sampleBuilder(exif::kIntel).build();
    // Claim more Exif entries than the segment holds.
    Bytes exifTruncated = layout.bytes;
    exif::writeU16(exifTruncated, layout.exif, exif::kIntel, 2000);
    ExifData data;
    ASSERT_TRUE(loadJpeg(data, exifTruncated));
    EXPECT_NE(data.FindEntry(kIfd0, 271), nullptr);
    EXPECT_EQ(data.FindEntry(kExifIfd, 33434), nullptr);
    EXPECT_EQ(data.FindEntry(kInteropIfd, 1), nullptr);

    Bytes ifd0Truncated = layout.bytes;
    exif::writeU16(ifd0Truncated, layout.ifd0, exif::kIntel, 2000);
    EXPECT_FALSE(loadJpeg(data, ifd0Truncated));
    EXPECT_TRUE(data.IsEmpty());

    // IFD0 offset beyond the segment.
    Bytes ifd0Outside = layout.bytes;
    exif::writeU32(ifd0Outside, 4, exif::kIntel, 0xFFFFFFF0u);
    EXPECT_FALSE(loadJpeg(data, ifd0Outside));
}

TEST(ExifParser, DropsBadEntriesAndKeepsTheirNeighbours)
{
    TiffBuilder builder(exif::kMotorola);
    builder.addAscii(kIfd0, 270, "before")
        .addRaw(kIfd0, 305, kAscii, 8, {0, 0, 0xFF, 0xF0})  // value offset past the end
        .addRaw(kIfd0, 306, 0, 1, {1, 2, 3, 4})             // type 0
        .addRaw(kIfd0, 315, 13, 1, {1, 2, 3, 4})            // type 13
        // 0x20000000 rationals are 2^32 bytes: the size must not wrap to 0.
        .addRaw(kIfd0, 318, kRational, 0x20000000u, {0, 0, 0, 8})
        .addRaw(kIfd0, 319, kShort, 0, {0, 1, 0, 0})  // count 0
        .addLongs(kIfd0, 513, {100})                  // thumbnail offset: never kept
        .addLongs(kIfd0, 514, {10})
        .addLongs(kIfd0, 34853, {8})  // GPS pointer: never followed
        .addAscii(kIfd0, 33432, "after");
    ExifData data;
    ASSERT_TRUE(loadJpeg(data, builder.build().bytes));
    std::vector<std::uint16_t> tags;
    for (const auto& entry : data.entries()) tags.push_back(entry->tag());
    EXPECT_EQ(tags, (std::vector<std::uint16_t>{270, 33432}));
    EXPECT_EQ(data.GetText(kIfd0, 33432, "en_US"), "after");
}

TEST(ExifParser, DirectoryLoopsEndWithoutRepeatingEntries)
{
    // The Exif IFD points at itself, and its Interoperability pointer leads back to IFD0.
    TiffBuilder builder(exif::kIntel);
    builder.addAscii(kIfd0, 271, "Loop").addShorts(kExifIfd, 34855, {100});
    TiffBuilder::Layout layout = builder.build();
    Bytes bytes = layout.bytes;
    const std::uint16_t exifCount = exif::readU16(bytes, layout.exif, exif::kIntel).value();
    ASSERT_EQ(exifCount, 1);
    // Rewrite the Exif IFD: a pointer to itself, one to IFD0 (as an Interop IFD), ISO.
    Bytes patched(bytes.begin(), bytes.begin() + layout.exif);
    const std::size_t at = patched.size();
    patched.resize(at + 2 + 36 + 4, 0);
    exif::writeU16(patched, at, exif::kIntel, 3);
    auto entry = [&](std::size_t i, std::uint16_t tag, std::uint16_t type, std::uint32_t word) {
        const std::size_t e = at + 2 + 12 * i;
        exif::writeU16(patched, e, exif::kIntel, tag);
        exif::writeU16(patched, e + 2, exif::kIntel, type);
        exif::writeU32(patched, e + 4, exif::kIntel, 1);
        exif::writeU32(patched, e + 8, exif::kIntel, word);
    };
    entry(0, 34665, kLong, layout.exif);
    entry(1, 40965, kLong, layout.ifd0);
    entry(2, 34855, kShort, 100);
    ExifData data;
    ASSERT_TRUE(loadJpeg(data, patched));
    EXPECT_EQ(data.entries().size(), 2u);
    EXPECT_EQ(data.GetNumber(kExifIfd, 34855, 0), 100);

    // The same loop in a TIFF file read through the stream.
    test::TempDir dir;
    test::writeFileBytes(dir.file("loop.tif"), patched);
    ASSERT_TRUE(data.LoadExif(dir.file("loop.tif")));
    EXPECT_EQ(data.entries().size(), 2u);
}

TEST(ExifParser, TiffFileKeepsItsLayoutTagsAndFailsOnShortValues)
{
    TiffBuilder builder(exif::kMotorola);
    builder.addLongs(kIfd0, 256, {640})
        .addLongs(kIfd0, 273, {8, 1000, 2000})
        .addAscii(kIfd0, 271, "Scanner Co")
        .addRationals(kExifIfd, 33437, {{56, 10}});
    const Bytes bytes = builder.build().bytes;
    test::TempDir dir;
    test::writeFileBytes(dir.file("a.TIF"), bytes);
    ExifData data;
    ASSERT_TRUE(data.LoadExif(dir.file("a.TIF")));
    EXPECT_EQ(data.GetText(kIfd0, 273, "en_US"), "8,1000,2000");
    EXPECT_EQ(data.GetText(kExifIfd, 33437, "en_US"), "F5.6");
    EXPECT_EQ(data.GetNumber(kIfd0, 256, 0), 640);
    // The same bytes given as TIFF in memory read the same.
    ExifData fromBytes;
    ASSERT_TRUE(fromBytes.LoadExifFromBytes(bytes.data(), bytes.size(), ImageFormat::Tiff));
    EXPECT_EQ(fromBytes.entries().size(), data.entries().size());
    // Bytes are parsed only as the two formats that hold EXIF in their own structure.
    EXPECT_FALSE(fromBytes.LoadExifFromBytes(bytes.data(), bytes.size(), ImageFormat::Png));
    EXPECT_TRUE(fromBytes.IsEmpty());

    // A value cut off by the end of the file fails the stream parse.
    Bytes cut(bytes.begin(), bytes.end() - 4);
    test::writeFileBytes(dir.file("cut.tif"), cut);
    EXPECT_FALSE(data.LoadExif(dir.file("cut.tif")));
    EXPECT_TRUE(data.IsEmpty());

    // A count whose byte size passes 4 GiB is refused before anything is allocated.
    TiffBuilder huge(exif::kIntel);
    huge.addAscii(kIfd0, 271, "Scanner Co")
        .addRaw(kIfd0, 318, kRational, 0x20000001u, {8, 0, 0, 0});
    test::writeFileBytes(dir.file("huge.tif"), huge.build().bytes);
    EXPECT_FALSE(data.LoadExif(dir.file("huge.tif")));

    Bytes badHeader = bytes;
    badHeader[7] = 4;  // IFD0 offset below 8
    test::writeFileBytes(dir.file("bad.tif"), badHeader);
    EXPECT_FALSE(data.LoadExif(dir.file("bad.tif")));
}

TEST(ExifParser, FilesWithoutExifKeepTheirStatus)
{
    test::TempDir dir;
    test::writeFileBytes(dir.file("picture.png"), {0x89, 'P', 'N', 'G'});
    test::writeFileBytes(dir.file("plain.jpg"), {0xFF, 0xD8, 0xFF, 0xD9});
    ExifData data;
    for (const char* name : {"picture.png", "plain.jpg"}) {
        EXPECT_FALSE(data.LoadExif(dir.file(name))) << name;
        EXPECT_TRUE(data.IsEmpty());
        EXPECT_EQ(data.fileStatus().path, dir.file(name));
        EXPECT_EQ(data.fileStatus().info.st_size, 4);
    }
    EXPECT_FALSE(data.LoadExif(dir.file("missing.jpg")));
    EXPECT_FALSE(data.fileStatus().HasPath());
    // A format given overrides the extension.
    test::writeFileBytes(dir.file("exif.bin"),
                         test::jpegWithExif(sampleBuilder(exif::kIntel).build().bytes));
    EXPECT_FALSE(data.LoadExif(dir.file("exif.bin")));
    EXPECT_TRUE(data.LoadExif(dir.file("exif.bin"), ImageFormat::Jpeg));
    EXPECT_EQ(data.GetText(kIfd0, 271, "en_US"), "Maker");
}

TEST(ExifParser, SampleFileFromDisk)
{
    ExifData data;
    ASSERT_TRUE(data.LoadExif(test::samplePath("coffee-exif.jpg")));
    EXPECT_EQ(data.GetText(kIfd0, 271, "en_US"), "Canon");
    EXPECT_EQ(data.GetText(kExifIfd, 33434, "en_US"), "1/125\"");
    EXPECT_FALSE(data.LoadExif(test::samplePath("chelsea.jpg")));
}

}  // namespace
}  // namespace tavelune
