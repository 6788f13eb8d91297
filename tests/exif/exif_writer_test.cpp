// The EXIF writer: rationals, the segment layout, JPEG and TIFF rewrites, deleting, defaults.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "exif/byte_order.h"
#include "exif/exif_block.h"
#include "exif/rational.h"
#include "support/test_support.h"
#include "tiff_builder.h"
#include "write_support.h"

namespace tavelune {
namespace {

using test::Bytes;
using test::le16;
using test::le32;

TEST(Rational, EncodesTheFractionAsThousandOverIt)
{
    struct Row {
        double x;
        std::uint32_t numerator, denominator;
    };
    const Row rows[] = {
        {0, 0, 1},
        {2, 2, 1},
        {0.5, 1000, 2000},
        {5.6, 9335, 1667},
        {1.0 / 125, 1000, 125000},
        {std::log2(125.0), 7210, 1035},
        {4294967295.0, 4294967295u, 1},
        {-3, 0, 1},
        {std::nan(""), 0, 1},
        // A fraction too fine for 32 bits falls back to the nearest whole number.
        {4000000.0000001, 4000000, 1},
    };
    for (const Row& row : rows) {
        const URational r = encodeRational(row.x);
        EXPECT_EQ(r.numerator, row.numerator) << row.x;
        EXPECT_EQ(r.denominator, row.denominator) << row.x;
    }
    EXPECT_EQ(encodeSRational(-1).numerator, -1);
    EXPECT_EQ(encodeSRational(-1).denominator, 1);
    const SRational third = encodeSRational(-2.0 / 3);
    EXPECT_EQ(third.numerator, -(1000));
    EXPECT_EQ(third.denominator, 1500);
    Bytes motorola(8);
    ASSERT_TRUE(writeRational(motorola, 0, exif::kMotorola, {1, 2}));
    EXPECT_EQ(motorola, (Bytes{0, 0, 0, 1, 0, 0, 0, 2}));
    EXPECT_FALSE(writeRational(motorola, 4, exif::kIntel, {1, 2}));
}

TEST(ExifBlock, Ifd0OnlyLayoutWithPaddedValue)
{
    ExifData exif;
    setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "Canon");  // 6 bytes, no pad
    setTextValue(exif.FindEntry(kIfd0, 272, EntryLookup::Create),
                 "EOS-1V");                                             // 7 bytes, one pad byte
    setShortValue(exif.FindEntry(kIfd0, 274, EntryLookup::Create), 1);  // inside the entry
    std::vector<const ExifEntry*> entries;
    for (const auto& e : exif.entries()) entries.push_back(e.get());
    const auto block = buildExifBlock(entries, ExifBlockKind::JpegSegment);
    ASSERT_TRUE(block);
    const Bytes& b = *block;
    ASSERT_EQ(b.size(), 24u + 12 * 3 + 6 + 8);
    EXPECT_EQ(b[0], 0xFF);
    EXPECT_EQ(b[1], 0xE1);
    EXPECT_EQ((b[2] << 8) | b[3], int(b.size()) - 2);
    EXPECT_EQ(0, std::memcmp(b.data() + 4, "Exif\0\0II*\0\x08\0\0\0", 14));
    EXPECT_EQ(le16(b, 18), 3);
    const std::size_t values = 8 + 2 + 36 + 4;  // from the TIFF header
    EXPECT_EQ(le16(b, 20), 271);
    EXPECT_EQ(le32(b, 24), 6u);
    EXPECT_EQ(le32(b, 28), values);
    EXPECT_EQ(le32(b, 28 + 12), values + 6);
    EXPECT_EQ(le16(b, 20 + 24), 274);
    EXPECT_EQ(le16(b, 28 + 24), 1);
    EXPECT_EQ(le32(b, 20 + 36), 0u);  // no next directory
    EXPECT_EQ(0, std::memcmp(b.data() + 10 + values, "Canon\0EOS-1V\0\0", 14));
}

TEST(ExifBlock, PointersStandInAscendingTagOrder)
{
    ExifData exif;
    test::fillShootingModel(exif);
    exif.SortEntries();
    std::vector<const ExifEntry*> entries;
    std::uint64_t n0 = 0, n1 = 0, n2 = 0, v0 = 0, v1 = 0, v2 = 0;
    for (const auto& e : exif.entries()) {
        entries.push_back(e.get());
        const std::uint64_t v = e->size() > 4 ? e->size() + (e->size() & 1) : 0;
        (e->ifd() == kIfd0 ? n0 : e->ifd() == kExifIfd ? n1 : n2) += 1;
        (e->ifd() == kIfd0 ? v0 : e->ifd() == kExifIfd ? v1 : v2) += v;
    }
    const auto block = buildExifBlock(entries, ExifBlockKind::JpegSegment);
    ASSERT_TRUE(block);
    const Bytes& b = *block;
    ASSERT_EQ(b.size(), 18 + (2 + 12 * (n0 + 1) + 4 + v0) + (2 + 12 * (n1 + 1) + 4 + v1) +
                            (2 + 12 * n2 + 4 + v2));
    const std::size_t ifd0 = 18;
    ASSERT_EQ(le16(b, ifd0), n0 + 1);
    const std::size_t exifPointer = ifd0 + 2 + 12 * n0;
    EXPECT_EQ(le16(b, exifPointer), 34665);
    EXPECT_EQ(le16(b, exifPointer + 2), kLong);
    const std::uint32_t exifOffset = le32(b, exifPointer + 8);
    EXPECT_EQ(exifOffset, 8 + 2 + 12 * (n0 + 1) + 4 + v0);
    EXPECT_EQ(exifOffset % 2, 0u);
    const std::size_t exifDir = 10 + exifOffset;
    ASSERT_EQ(le16(b, exifDir), n1 + 1);
    // Every directory is in ascending tag order, the Interoperability pointer among the
    // entries: the extended tags (above 40965) follow it.
    std::size_t pointerSlot = 0;
    for (std::size_t i = 0; i <= n1; ++i) {
        const std::size_t slot = exifDir + 2 + 12 * i;
        if (i > 0) {
            EXPECT_LT(le16(b, slot - 12), le16(b, slot)) << i;
        }
        if (le16(b, slot) == 40965)
            pointerSlot = slot;
    }
    ASSERT_NE(pointerSlot, 0u);
    EXPECT_EQ(le16(b, exifDir + 2 + 12 * n1), 44997);
    EXPECT_EQ(le16(b, pointerSlot + 2), kLong);
    const std::uint32_t interop = le32(b, pointerSlot + 8);
    EXPECT_EQ(interop, exifOffset + 2 + 12 * (n1 + 1) + 4 + v1);
    EXPECT_EQ(le16(b, 10 + interop), 1);
    EXPECT_EQ(0, std::memcmp(b.data() + 10 + interop + 2 + 8, "R98\0", 4));
}

TEST(ExifBlock, SizeLimitsOfAJpegSegment)
{
    ExifData exif;
    const std::string big(40000, 'x');
    setTextValue(exif.FindEntry(kIfd0, 270, EntryLookup::Create), big);
    std::vector<const ExifEntry*> one{exif.entries()[0].get()};
    EXPECT_TRUE(exifBlockSize(one, ExifBlockKind::JpegSegment));
    setTextValue(exif.FindEntry(kIfd0, 315, EntryLookup::Create), big);
    std::vector<const ExifEntry*> two{exif.entries()[0].get(), exif.entries()[1].get()};
    EXPECT_FALSE(exifBlockSize(two, ExifBlockKind::JpegSegment));
    EXPECT_TRUE(exifBlockSize(two, ExifBlockKind::TiffFile));
    // A single value of 65535 bytes or more is left out of a JPEG segment, kept in a TIFF.
    setTextValue(exif.FindEntry(kIfd0, 315, EntryLookup::Existing), std::string(65534, 'y'));
    EXPECT_FALSE(isWrittenToBlock(*exif.entries()[1], ExifBlockKind::JpegSegment));
    EXPECT_TRUE(isWrittenToBlock(*exif.entries()[1], ExifBlockKind::TiffFile));
    EXPECT_EQ(*exifBlockSize(two, ExifBlockKind::JpegSegment), 24u + 12 + 40002);
}

class JpegWriting : public ::testing::Test {
protected:
    test::TempDir dir;
    test::MessageCollector messages;
    std::string path = dir.file("photo.jpg");

    // Everything after the Exif APP1 (or, before the first write, after the JFIF APP0).
    static Bytes afterSegment(const Bytes& file)
    {
        const std::size_t length = (file[4] << 8) | file[5];
        return Bytes(file.begin() + 4 + static_cast<std::ptrdiff_t>(length), file.end());
    }
};

TEST_F(JpegWriting, WritesTheModelAndKeepsTheImageData)
{
    ASSERT_TRUE(test::writePicture(path, 90));
    const Bytes before = test::readFileBytes(path);
    ExifData exif;
    test::fillShootingModel(exif);
    setShortValue(exif.FindEntry(kIfd0, 259, EntryLookup::Create), 5);  // a TIFF's layout: left out
    ExifEntry note;
    const std::uint8_t raw[] = {1, 2, 3, 4, 5, 6};
    note.SetFromRaw(kMakerNoteIfd, 1, kUndefined, 6, raw, exif::kIntel);
    exif.entries().push_back(std::make_unique<ExifEntry>(note));
    ASSERT_TRUE(exif.SaveExif(path));

    const Bytes after = test::readFileBytes(path);
    EXPECT_EQ(after[3], 0xE1);  // the Exif segment took the JFIF segment's place
    EXPECT_EQ(afterSegment(after), afterSegment(before));
    ExifData back;
    ASSERT_TRUE(back.LoadExif(path));
    EXPECT_EQ(back.GetText(kIfd0, 271, "en_US"), "Canon");
    EXPECT_EQ(back.GetText(kIfd0, 272, "en_US"), "EOS-1V");
    EXPECT_EQ(back.GetNumber(kExifIfd, 33437, 0), 9335.0 / 1667);
    EXPECT_EQ(back.GetText(kExifIfd, 44993, "en_US"), "Canon EF 50/1.8");
    EXPECT_EQ(back.GetText(kInteropIfd, 1, "en_US"), "R98");
    EXPECT_EQ(back.FindEntry(kIfd0, 259), nullptr);
    for (const auto& entry : back.entries()) EXPECT_NE(entry->ifd(), kMakerNoteIfd);
    ASSERT_EQ(back.entries().size(), exif.entries().size() - 2);
    for (const auto& entry : back.entries()) {
        const ExifEntry* source = exif.FindEntry(entry->ifd(), entry->tag());
        ASSERT_NE(source, nullptr);
        EXPECT_EQ(entry->type(), source->type()) << entry->tag();
        EXPECT_EQ(entry->value(), source->value()) << entry->tag();
    }

    // A second write replaces the Exif segment; the image data is still the same.
    setTextValue(exif.FindEntry(kIfd0, 272, EntryLookup::Existing), "EOS 3");
    ASSERT_TRUE(exif.SaveExif(path));
    EXPECT_EQ(afterSegment(test::readFileBytes(path)), afterSegment(before));
    ASSERT_TRUE(back.LoadExif(path));
    EXPECT_EQ(back.GetText(kIfd0, 272, "en_US"), "EOS 3");
}

TEST_F(JpegWriting, RefusalsLeaveTheFileAlone)
{
    ASSERT_TRUE(test::writePicture(path));
    ::chmod(path.c_str(), 0640);
    const Bytes before = test::readFileBytes(path);
    ExifData exif;
    EXPECT_FALSE(exif.SaveExif(path));  // empty model
    const std::string big(40000, 'x');
    setTextValue(exif.FindEntry(kIfd0, 270, EntryLookup::Create), big);
    setTextValue(exif.FindEntry(kIfd0, 315, EntryLookup::Create), big);
    EXPECT_FALSE(exif.SaveExif(path));  // segment above 65535 bytes
    EXPECT_FALSE(exif.SaveExif(path, ImageFormat::Png));
    EXPECT_FALSE(exif.SaveExif(""));
    EXPECT_FALSE(exif.SaveExif(dir.file("missing.jpg")));
    EXPECT_EQ(test::readFileBytes(path), before);
    exif.RemoveEntry(kIfd0, 315);
    ASSERT_TRUE(exif.SaveExif(path));
    EXPECT_EQ(test::fileMode(path), 0640u);
    for (const auto& entry : std::filesystem::directory_iterator(dir.path()))
        EXPECT_EQ(entry.path().filename(), "photo.jpg") << "temporary file left behind";
}

TEST_F(JpegWriting, DeleteWithAndWithoutJfif)
{
    ASSERT_TRUE(test::writePicture(path));
    const Bytes plain = test::readFileBytes(path);
    ExifData exif;
    // No Exif segment: nothing to do, the file stays as it is.
    ASSERT_TRUE(exif.DeleteExif(path));
    EXPECT_EQ(test::readFileBytes(path), plain);

    // The segment replaced the JFIF APP0, so deleting puts one back with the EXIF density.
    setRationalValue(exif.FindEntry(kIfd0, 282, EntryLookup::Create), 300);
    setRationalValue(exif.FindEntry(kIfd0, 283, EntryLookup::Create), 240);
    setShortValue(exif.FindEntry(kIfd0, 296, EntryLookup::Create), 2);
    ASSERT_TRUE(exif.SaveExif(path));
    ASSERT_TRUE(exif.DeleteExif(path));
    Bytes deleted = test::readFileBytes(path);
    const Bytes jfif300 = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F',
                           0,    1,    2,    1,    1, 44, 0,   240, 0,   0};
    EXPECT_TRUE(std::equal(jfif300.begin(), jfif300.end(), deleted.begin()));
    EXPECT_EQ(Bytes(deleted.begin() + 20, deleted.end()), Bytes(plain.begin() + 20, plain.end()));
    ExifData back;
    EXPECT_FALSE(back.LoadExif(path));

    // Centimetres give unit 2; a file with its own JFIF APP0 gets no second one.
    const Bytes app1Only = test::jpegWithExif(test::TiffBuilder(exif::kIntel)
                                                  .addRationals(kIfd0, 282, {{300, 1}})
                                                  .addRationals(kIfd0, 283, {{240, 1}})
                                                  .addShorts(kIfd0, 296, {3})
                                                  .build()
                                                  .bytes);
    test::writeFileBytes(path, app1Only);
    ASSERT_TRUE(exif.DeleteExif(path));
    deleted = test::readFileBytes(path);
    const Bytes jfifCm = {0xFF, 0xD8, 0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F',
                          0,    1,    2,    2,    1, 44, 0,   240, 0,   0};
    ASSERT_EQ(deleted.size(), jfifCm.size() + 11);
    EXPECT_TRUE(std::equal(jfifCm.begin(), jfifCm.end(), deleted.begin()));
    const Bytes withJfif = test::jpegWithExif(
        test::TiffBuilder(exif::kIntel).addAscii(kIfd0, 271, "X").build().bytes, true);
    test::writeFileBytes(path, withJfif);
    ASSERT_TRUE(exif.DeleteExif(path));
    deleted = test::readFileBytes(path);
    EXPECT_EQ(deleted.size(), 2 + 18 + 11u);
    EXPECT_EQ(Bytes(deleted.begin(), deleted.begin() + 20),
              Bytes(withJfif.begin(), withJfif.begin() + 20));
}

}  // namespace
}  // namespace tavelune
