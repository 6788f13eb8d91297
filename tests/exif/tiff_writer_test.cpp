// Writing and deleting EXIF data in TIFF files: the rebuilt directories, moved strips, refusals.
#include <gtest/gtest.h>

#include "exif/byte_order.h"
#include "support/test_support.h"
#include "tiff_builder.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::vector<std::uint32_t> pixelsOf(const std::string& path)
{
    Image picture;
    if (!openImage(path, picture))
        return {};
    return std::vector<std::uint32_t>(picture.pixels(), picture.pixels() + picture.pixelCount());
}

std::vector<double> valuesOf(const ExifData& exif, std::uint16_t tag)
{
    std::vector<double> values;
    if (const ExifEntry* entry = exif.FindEntry(kIfd0, tag))
        for (std::uint32_t i = 0; i < entry->count(); ++i) values.push_back(entry->GetNumber(i));
    return values;
}

// A 2 x 2 RGB picture in two strips placed after the directories, `gap` bytes apart.
Bytes stripTiff(int order, std::uint32_t gap = 0, std::vector<std::uint16_t> bits = {8, 8, 8})
{
    auto build = [&](std::uint32_t first) {
        test::TiffBuilder builder(order);
        const std::uint32_t strip = 2 * 3 * (bits[0] / 8);
        builder.addLongs(kIfd0, 256, {2})
            .addLongs(kIfd0, 257, {2})
            .addShorts(kIfd0, 258, bits)
            .addShorts(kIfd0, 259, {1})
            .addShorts(kIfd0, 262, {2})
            .addAscii(kIfd0, 271, "OldMake")
            .addLongs(kIfd0, 273, {first, first + strip + gap})
            .addShorts(kIfd0, 277, {3})
            .addLongs(kIfd0, 278, {1})
            .addLongs(kIfd0, 279, {strip, strip})
            .addAscii(kIfd0, 305, "OldSoftware");
        return builder.build().bytes;
    };
    const std::uint32_t size = static_cast<std::uint32_t>(build(0).size());
    Bytes file = build(size);
    const std::size_t strip = 2 * 3 * (bits[0] / 8);
    for (std::size_t i = 0; i < 2 * strip + gap; ++i)
        file.push_back(static_cast<std::uint8_t>(i * 37 + 11));
    return file;
}

class TiffWriting : public ::testing::Test {
protected:
    test::TempDir dir;
    test::MessageCollector messages;
    std::string path = dir.file("scan.tif");
};

TEST_F(TiffWriting, RebuildsTheDirectoriesInFrontOfTheMovedStrips)
{
    for (int compression : {1, 5}) {
        ASSERT_TRUE(test::writePicture(path, compression));
        ::chmod(path.c_str(), 0604);
        const std::vector<std::uint32_t> pixels = pixelsOf(path);
        ExifData before;
        ASSERT_TRUE(before.LoadExif(path));
        const std::vector<double> oldOffsets = valuesOf(before, 273);
        ASSERT_EQ(oldOffsets.front(), 8);  // libtiff puts the image data first

        ExifData exif;
        test::fillShootingModel(exif);
        setShortValue(exif.FindEntry(kIfd0, 256, EntryLookup::Create),
                      999);  // the file keeps its own layout
        ASSERT_TRUE(exif.SaveExif(path));

        ExifData after;
        ASSERT_TRUE(after.LoadExif(path));
        EXPECT_EQ(after.GetText(kIfd0, 271, "en_US"), "Canon");
        EXPECT_EQ(after.GetText(kExifIfd, 44994, "en_US"), "Fujifilm Fujichrome Velvia Prof.");
        EXPECT_EQ(after.GetText(kInteropIfd, 1, "en_US"), "R98");
        EXPECT_EQ(after.GetNumber(kIfd0, 256, 0), 24);
        EXPECT_EQ(after.GetNumber(kIfd0, 259, 0), compression);
        // Orientation belongs to the TIFF file's layout: the model's 6 is not copied.
        EXPECT_EQ(after.GetNumber(kIfd0, 274, 0), before.GetNumber(kIfd0, 274, 0));
        const std::vector<double> newOffsets = valuesOf(after, 273);
        ASSERT_EQ(newOffsets.size(), oldOffsets.size());
        // The directories take everything before the strips, which end the file.
        const Bytes file = test::readFileBytes(path);
        EXPECT_EQ(file[0], 'I');
        const double shift = newOffsets[0] - oldOffsets[0];
        EXPECT_GT(shift, 0);
        for (std::size_t i = 0; i < newOffsets.size(); ++i)
            EXPECT_EQ(newOffsets[i], oldOffsets[i] + shift);
        const std::vector<double> counts = valuesOf(after, 279);
        EXPECT_EQ(newOffsets.back() + counts.back(), double(file.size()));
        EXPECT_EQ(pixelsOf(path), pixels) << compression;
        EXPECT_EQ(test::fileMode(path), 0604u);
    }
}

TEST_F(TiffWriting, StripOffsetsMoveByTheBlockSizeInBothByteOrders)
{
    for (int order : {exif::kIntel, exif::kMotorola}) {
        const Bytes original = stripTiff(order);
        test::writeFileBytes(path, original);
        ExifData before;
        ASSERT_TRUE(before.LoadExif(path));
        const double first = before.GetNumber(kIfd0, 273, 0);
        ExifData exif;
        setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "NewMake");
        ASSERT_TRUE(exif.SaveExif(path));
        const Bytes file = test::readFileBytes(path);
        ExifData after;
        ASSERT_TRUE(after.LoadExif(path));
        EXPECT_EQ(after.GetText(kIfd0, 271, "en_US"), "NewMake");
        EXPECT_EQ(after.GetText(kIfd0, 305, "en_US"), "");  // dropped, and not in the model
        const double moved = after.GetNumber(kIfd0, 273, 0);
        const ExifEntry* offsets = after.FindEntry(kIfd0, 273);
        EXPECT_EQ(offsets->type(), kLong);
        EXPECT_EQ(after.GetNumber(kIfd0, 273, 1), moved + 6);
        // The strip bytes follow the new directories unchanged.
        EXPECT_EQ(Bytes(file.begin() + static_cast<long>(moved), file.end()),
                  Bytes(original.begin() + static_cast<long>(first), original.end()));
        EXPECT_EQ(moved + 12, double(file.size()));
    }
}

TEST_F(TiffWriting, LayoutsThatCannotMoveAreRefusedUntouched)
{
    struct Case {
        const char* what;
        Bytes file;
    };
    Bytes nextImage = stripTiff(exif::kIntel);
    // IFD0 at 8 holds 11 entries: point its next-directory offset at itself.
    exif::writeU32(nextImage, 8 + 2 + 12 * 11, exif::kIntel, 8);
    Bytes subIfds = stripTiff(exif::kIntel);
    exif::writeU16(subIfds, 8 + 2 + 12 * 5, exif::kIntel, 330);  // Make's slot becomes SubIFDs
    Bytes cut = stripTiff(exif::kIntel);
    cut.pop_back();
    Bytes noStrips = stripTiff(exif::kIntel);
    exif::writeU16(noStrips, 8 + 2 + 12 * 6, exif::kIntel, 324);  // StripOffsets -> TileOffsets
    const Case cases[] = {
        {"strips with a gap", stripTiff(exif::kIntel, 4)},
        {"16-bit samples in Motorola order", stripTiff(exif::kMotorola, 0, {16, 16, 16})},
        {"a second image", nextImage},
        {"sub-directories", subIfds},
        {"tiles", noStrips},
        {"strips past the end", cut},
    };
    for (const Case& c : cases) {
        test::writeFileBytes(path, c.file);
        ExifData exif;
        setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "NewMake");
        EXPECT_FALSE(exif.SaveExif(path)) << c.what;
        EXPECT_EQ(test::readFileBytes(path), c.file) << c.what;
    }
    // 16-bit samples in Intel order are fine.
    test::writeFileBytes(path, stripTiff(exif::kIntel, 0, {16, 16, 16}));
    ExifData exif;
    setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "NewMake");
    EXPECT_TRUE(exif.SaveExif(path));
}

TEST_F(TiffWriting, DeleteKeepsSoftwareDateAndArtistWithThePixels)
{
    ASSERT_TRUE(test::writePicture(path, 5));
    const std::vector<std::uint32_t> pixels = pixelsOf(path);
    ExifData exif;
    test::fillShootingModel(exif);
    setTextValue(exif.FindEntry(kIfd0, 315, EntryLookup::Create), "Ann");
    setTextValue(exif.FindEntry(kIfd0, 33432, EntryLookup::Create), "CC0");
    setTextValue(exif.FindEntry(kIfd0, 305, EntryLookup::Create), "Tavelune 1.6.2");
    ASSERT_TRUE(exif.SaveExif(path));
    ASSERT_TRUE(exif.DeleteExif(path));
    ExifData after;
    ASSERT_TRUE(after.LoadExif(path));
    for (std::uint16_t gone : {270, 271, 272, 33432})
        EXPECT_EQ(after.FindEntry(kIfd0, gone), nullptr) << gone;
    for (const auto& entry : after.entries()) EXPECT_EQ(entry->ifd(), kIfd0) << entry->tag();
    EXPECT_EQ(after.GetText(kIfd0, 305, "en_US"), "Tavelune 1.6.2");
    EXPECT_EQ(after.GetText(kIfd0, 306, "en_US"), "2024:05:02 08:00:00");
    EXPECT_EQ(after.GetText(kIfd0, 315, "en_US"), "Ann");
    EXPECT_EQ(after.GetNumber(kIfd0, 282, 0), 300);
    EXPECT_EQ(pixelsOf(path), pixels);
}

TEST(ExifDefaults, CreateDefaultEntriesMakesTheStartingSet)
{
    ExifData exif;
    setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "gone");
    ASSERT_TRUE(exif.CreateDefaultEntries(640, 480, 300, 150));
    const std::pair<std::uint16_t, std::uint16_t> expected[] = {
        {kIfd0, 270},      {kIfd0, 274},      {kIfd0, 282},      {kIfd0, 283},
        {kIfd0, 296},      {kIfd0, 305},      {kIfd0, 306},      {kIfd0, 315},
        {kIfd0, 531},      {kIfd0, 33432},    {kExifIfd, 36864}, {kExifIfd, 37121},
        {kExifIfd, 40960}, {kExifIfd, 40961}, {kExifIfd, 40962}, {kExifIfd, 40963}};
    ASSERT_EQ(exif.entries().size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i) {
        EXPECT_EQ(exif.entries()[i]->ifd(), expected[i].first);
        EXPECT_EQ(exif.entries()[i]->tag(), expected[i].second);
    }
    EXPECT_EQ(exif.GetNumber(kIfd0, 274, 0), 1);
    EXPECT_EQ(exif.GetNumber(kIfd0, 282, 0), 300);
    EXPECT_EQ(exif.GetNumber(kIfd0, 283, 0), 150);
    EXPECT_EQ(exif.GetNumber(kIfd0, 296, 0), 2);
    EXPECT_EQ(exif.GetNumber(kIfd0, 531, 0), 1);
    EXPECT_EQ(exif.GetText(kIfd0, 306, "en_US").size(), 19u);
    EXPECT_EQ(exif.FindEntry(kIfd0, 305)->value(), Bytes{0});
    EXPECT_EQ(exif.FindEntry(kExifIfd, 36864)->value(), (Bytes{'0', '2', '2', '1'}));
    EXPECT_EQ(exif.FindEntry(kExifIfd, 37121)->value(), (Bytes{1, 2, 3, 0}));
    EXPECT_EQ(exif.FindEntry(kExifIfd, 40960)->value(), (Bytes{'0', '1', '0', '0'}));
    EXPECT_EQ(exif.GetNumber(kExifIfd, 40961, 0), 1);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 40962, 0), 640);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 40963, 0), 480);
    EXPECT_EQ(exif.FindEntry(kExifIfd, 40962)->type(), kLong);
    // A picture without a resolution keeps 72 dpi.
    ASSERT_TRUE(exif.CreateDefaultEntries(1, 1, 0, 0));
    EXPECT_EQ(exif.GetNumber(kIfd0, 282, 0), 72);
}

}  // namespace
}  // namespace tavelune
