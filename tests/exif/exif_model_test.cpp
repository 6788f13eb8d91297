// ExifEntry values and the ExifData lookups: numbers per type, creation with defaults, order.
#include <gtest/gtest.h>

#include <cstring>

#include "exif/byte_order.h"
#include "exif/exif_data.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

ExifEntry makeEntry(std::uint16_t type, std::uint32_t count, const Bytes& bytes,
                    int order = exif::kIntel, std::uint16_t tag = 1000)
{
    ExifEntry entry;
    EXPECT_TRUE(entry.SetFromRaw(kExifIfd, tag, type, count, bytes.data(), order));
    return entry;
}

TEST(ExifEntry, NumbersPerType)
{
    EXPECT_EQ(makeEntry(kByte, 2, {200, 7}).GetNumber(0), 200);
    EXPECT_EQ(makeEntry(kSByte, 1, {200}).GetNumber(0), -56);
    EXPECT_EQ(makeEntry(kShort, 1, {0xFF, 0xFF}).GetNumber(0), 65535);
    EXPECT_EQ(makeEntry(kSShort, 1, {0xFF, 0xFF}).GetNumber(0), -1);
    EXPECT_EQ(makeEntry(kLong, 1, {0xFF, 0xFF, 0xFF, 0xFF}).GetNumber(0), 4294967295.0);
    EXPECT_EQ(makeEntry(kSLong, 1, {0xFE, 0xFF, 0xFF, 0xFF}).GetNumber(0), -2);
    EXPECT_DOUBLE_EQ(makeEntry(kSRational, 1, {0xFF, 0xFF, 0xFF, 0xFF, 3, 0, 0, 0}).GetNumber(0),
                     -1.0 / 3);
    // An unsigned rational reads its halves as unsigned numbers.
    EXPECT_DOUBLE_EQ(makeEntry(kRational, 1, {0xFF, 0xFF, 0xFF, 0xFF, 1, 0, 0, 0}).GetNumber(0),
                     4294967295.0);
    EXPECT_EQ(makeEntry(kRational, 1, {5, 0, 0, 0, 0, 0, 0, 0}).GetNumber(0), 0);
    EXPECT_EQ(makeEntry(kSRational, 1, {5, 0, 0, 0, 0, 0, 0, 0}).GetNumber(0), 0);
    EXPECT_EQ(makeEntry(kAscii, 2, {'7', 0}).GetNumber(0), 0);
    EXPECT_EQ(makeEntry(kUndefined, 1, {7}).GetNumber(0), 0);
    float f = 1.5f;
    Bytes floatBytes(4);
    std::memcpy(floatBytes.data(), &f, 4);
    EXPECT_EQ(makeEntry(kFloat, 1, floatBytes).GetNumber(0), 1.5);
    // Index past the count and an incomplete entry read 0.
    EXPECT_EQ(makeEntry(kShort, 1, {1, 0}).GetNumber(1), 0);
    EXPECT_EQ(ExifEntry().GetNumber(0), 0);
    EXPECT_EQ(ExifEntry().GetText("en_US"), "");
    EXPECT_EQ(ExifEntry().GetName("en_US"), "");
}

TEST(ExifEntry, MotorolaValuesAreTurnedPerValue)
{
    const ExifEntry shorts = makeEntry(kShort, 2, {0x01, 0x02, 0x03, 0x04}, exif::kMotorola);
    EXPECT_EQ(shorts.GetNumber(0), 0x0102);
    EXPECT_EQ(shorts.GetNumber(1), 0x0304);
    const ExifEntry rational = makeEntry(kRational, 1, {0, 0, 0, 1, 0, 0, 0, 100}, exif::kMotorola);
    EXPECT_DOUBLE_EQ(rational.GetNumber(0), 0.01);
    EXPECT_EQ(rational.value(), (Bytes{1, 0, 0, 0, 100, 0, 0, 0}));
    // Text and bytes are not touched.
    EXPECT_EQ(makeEntry(kUndefined, 4, {1, 2, 3, 4}, exif::kMotorola).value(), (Bytes{1, 2, 3, 4}));
    const double d = 0.25;
    Bytes big(8);
    std::memcpy(big.data(), &d, 8);
    std::reverse(big.begin(), big.end());
    EXPECT_EQ(makeEntry(kDouble, 1, big, exif::kMotorola).GetNumber(0), 0.25);
}

TEST(ExifEntry, SetFromRawAndSetValueBytesRefuseBadInput)
{
    ExifEntry entry;
    const Bytes four = {1, 2, 3, 4};
    EXPECT_FALSE(entry.SetFromRaw(kIfd0, 1, 0, 1, four.data(), exif::kIntel));
    EXPECT_FALSE(entry.SetFromRaw(kIfd0, 1, 13, 1, four.data(), exif::kIntel));
    EXPECT_FALSE(entry.SetFromRaw(kIfd0, 1, kByte, 0, four.data(), exif::kIntel));
    EXPECT_FALSE(entry.SetFromRaw(kIfd0, 1, kByte, 1, nullptr, exif::kIntel));
    EXPECT_FALSE(entry.SetValueBytes(four.data(), 4));  // still incomplete
    ASSERT_TRUE(entry.SetFromRaw(kIfd0, 282, kRational, 1, Bytes(8, 1).data(), exif::kIntel));
    EXPECT_FALSE(entry.SetValueBytes(four.data(), 4));  // not a whole rational
    EXPECT_FALSE(entry.SetValueBytes(four.data(), 0));
    const Bytes two(16, 2);
    ASSERT_TRUE(entry.SetValueBytes(two.data(), 16));
    EXPECT_EQ(entry.count(), 2u);
    EXPECT_EQ(entry.size(), 16u);
}

TEST(ExifData, FindEntryCreatesCatalogueTagsWithDefaults)
{
    ExifData data;
    EXPECT_EQ(data.FindEntry(kIfd0, 274), nullptr);
    EXPECT_EQ(data.FindEntry(kIfd0, 274, EntryLookup::Existing), nullptr);
    EXPECT_EQ(data.FindEntry(kIfd0, 34855, EntryLookup::Create),
              nullptr);  // ISO lives in the Exif IFD
    EXPECT_EQ(data.FindEntry(kMakerNoteIfd, 1, EntryLookup::Create), nullptr);

    struct Case {
        std::uint16_t ifd;
        std::uint16_t tag;
        std::uint16_t type;
        std::uint32_t count;
        const char* text;
    };
    const Case cases[] = {
        {kIfd0, 258, kShort, 3, "8,8,8"},
        {kIfd0, 274, kShort, 1, "top - left"},
        {kIfd0, 262, kShort, 1, "RGB"},
        {kIfd0, 277, kShort, 1, "3"},
        {kIfd0, 282, kRational, 1, "72"},
        {kIfd0, 270, kAscii, 1, ""},
        {kIfd0, 301, kShort, 768, ""},
        {kExifIfd, 36864, kUndefined, 4, "0221"},
        {kExifIfd, 40960, kUndefined, 4, "0100"},
        {kExifIfd, 37121, kUndefined, 4, "YCbCr"},
        {kExifIfd, 40961, kShort, 1, "sRGB"},
        {kExifIfd, 41728, kUndefined, 1, "DSC"},
        {kExifIfd, 41729, kUndefined, 1, "A directly photographed image"},
        {kExifIfd, 41488, kShort, 1, "in"},
        {kExifIfd, 37385, kShort, 1, "Flash did not fire"},
        {kExifIfd, 37510, kUndefined, 8, ""},
        {kInteropIfd, 2, kUndefined, 4, ""},
    };
    for (const Case& c : cases) {
        ExifEntry* entry = data.FindEntry(c.ifd, c.tag, EntryLookup::Create);
        ASSERT_NE(entry, nullptr) << c.tag;
        EXPECT_EQ(entry->type(), c.type) << c.tag;
        EXPECT_EQ(entry->count(), c.count) << c.tag;
        EXPECT_EQ(entry->GetText("en_US"), c.text) << c.tag;
        EXPECT_EQ(data.entries().back().get(), entry) << "appended at the end";
        EXPECT_EQ(data.FindEntry(c.ifd, c.tag, EntryLookup::Create), entry)
            << "found, not created twice";
    }
    const ExifEntry* date = data.FindEntry(kExifIfd, 36867, EntryLookup::Create);
    ASSERT_EQ(date->count(), 20u);
    EXPECT_EQ(date->GetText("en_US").size(), 19u);
    EXPECT_EQ(date->GetText("en_US")[4], ':');
}

TEST(ExifData, RemoveAndSortKeepOrder)
{
    ExifData data;
    data.FindEntry(kExifIfd, 37385, EntryLookup::Create);
    data.FindEntry(kIfd0, 274, EntryLookup::Create);
    data.FindEntry(kInteropIfd, 1, EntryLookup::Create);
    data.FindEntry(kExifIfd, 33434, EntryLookup::Create);
    data.FindEntry(kIfd0, 271, EntryLookup::Create);
    EXPECT_FALSE(data.RemoveEntry(kExifIfd, 274));  // the IFD id must match too
    EXPECT_TRUE(data.RemoveEntry(kIfd0, 274));
    EXPECT_FALSE(data.RemoveEntry(kIfd0, 274));
    std::vector<std::uint16_t> tags;
    for (const auto& entry : data.entries()) tags.push_back(entry->tag());
    EXPECT_EQ(tags, (std::vector<std::uint16_t>{37385, 1, 33434, 271}));
    data.SortEntries();
    tags.clear();
    for (const auto& entry : data.entries()) tags.push_back(entry->tag());
    EXPECT_EQ(tags, (std::vector<std::uint16_t>{1, 271, 33434, 37385}));
    EXPECT_EQ(data.GetNumber(kIfd0, 9999, 0), 0);
    EXPECT_EQ(data.GetText(kIfd0, 9999, "en_US"), "");
    data.Clear();
    EXPECT_TRUE(data.IsEmpty());
}

}  // namespace
}  // namespace tavelune
