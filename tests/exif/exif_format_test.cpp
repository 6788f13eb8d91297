// Display texts and names of entries, and the shape of the two static tables.
#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "exif/byte_order.h"
#include "exif/exif_entry.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes shorts(std::initializer_list<std::uint16_t> values)
{
    Bytes out;
    for (std::uint16_t v : values) {
        out.push_back(static_cast<std::uint8_t>(v));
        out.push_back(static_cast<std::uint8_t>(v >> 8));
    }
    return out;
}

Bytes longs(std::initializer_list<std::uint32_t> values)
{
    Bytes out(values.size() * 4);
    std::size_t i = 0;
    for (std::uint32_t v : values) exif::writeU32(out, 4 * i++, exif::kIntel, v);
    return out;
}

Bytes rationals(std::initializer_list<std::pair<std::uint32_t, std::uint32_t>> values)
{
    Bytes out(values.size() * 8);
    std::size_t i = 0;
    for (const auto& [n, d] : values) {
        exif::writeU32(out, 8 * i, exif::kIntel, n);
        exif::writeU32(out, 8 * i++ + 4, exif::kIntel, d);
    }
    return out;
}

Bytes srational(std::int32_t n, std::int32_t d)
{
    return rationals({{static_cast<std::uint32_t>(n), static_cast<std::uint32_t>(d)}});
}

Bytes text(const std::string& s, bool zero = true)
{
    Bytes out(s.begin(), s.end());
    if (zero)
        out.push_back(0);
    return out;
}

struct Case {
    std::uint16_t ifd;
    std::uint16_t tag;
    std::uint16_t type;
    Bytes bytes;
    std::string expected;
};

TEST(ExifFormat, DisplayRules)
{
    const Case cases[] = {
        // Exposure time: seconds at or above 0.5, fractions below.
        {kExifIfd, 33434, kRational, rationals({{1, 250}}), "1/250\""},
        {kExifIfd, 33434, kRational, rationals({{1, 2}}), "0.5\""},
        {kExifIfd, 33434, kRational, rationals({{2, 1}}), "2\""},
        {kExifIfd, 33434, kRational, rationals({{0, 1}}), ""},
        {kExifIfd, 37377, kSRational, srational(697, 100), "1/125\""},
        {kExifIfd, 37377, kSRational, srational(-1, 1), "2\""},
        {kExifIfd, 37378, kRational, rationals({{5, 1}}), "F5.66"},
        {kExifIfd, 37381, kRational, rationals({{0, 1}}), ""},
        {kExifIfd, 33437, kRational, rationals({{56, 10}}), "F5.6"},
        {kExifIfd, 37380, kSRational, srational(0, 1), "+0EV"},
        {kExifIfd, 37380, kSRational, srational(-2, 3), "-0.67EV"},
        {kExifIfd, 37380, kSRational, srational(1, 3), "+0.33EV"},
        {kExifIfd, 37379, kSRational, srational(-1, 1), ""},
        {kExifIfd, 37379, kSRational, srational(25, 10), "2.5EV"},
        {kExifIfd, 37382, kRational, rationals({{4294967295u, 1}}), "Infinity"},
        {kExifIfd, 37382, kRational, rationals({{35, 10}}), "3.5m"},
        {kExifIfd, 37386, kRational, rationals({{500, 10}}), "50mm"},
        {kExifIfd, 41989, kShort, shorts({28}), "28mm"},
        {kExifIfd, 34855, kShort, shorts({400, 800}), "400"},
        {kExifIfd, 34855, kShort, shorts({0}), ""},
        // Named values, and a value the table lacks.
        {kExifIfd, 37385, kShort, shorts({25}), "Flash fired, auto mode"},
        {kExifIfd, 37385, kShort, shorts({3}), "3"},
        {kExifIfd, 34850, kShort, shorts({3}), "Aperture priority"},
        {kExifIfd, 37383, kShort, shorts({255}), "Other"},
        {kExifIfd, 37384, kShort, shorts({21}), "D65"},
        {kExifIfd, 41986, kShort, shorts({2}), "Auto bracket"},
        {kExifIfd, 41987, kShort, shorts({1}), "Manual white balance"},
        {kExifIfd, 36864, kUndefined, text("0221", false), "0221"},
        {kExifIfd, 37121, kUndefined, Bytes{1, 2, 3, 0}, "YCbCr"},
        {kExifIfd, 37121, kUndefined, Bytes{4, 5, 6, 9}, "RGB?"},
        {kExifIfd, 37122, kRational, rationals({{1, 3}}), "0.333333"},
        {kExifIfd, 41988, kRational, rationals({{0, 1}}), ""},
        {kExifIfd, 41988, kRational, rationals({{3, 2}}), "1.5"},
        {kExifIfd, 37396, kShort, shorts({1, 2}), "(x,y) = (1,2)"},
        {kExifIfd, 37396, kShort, shorts({1, 2, 3}), "Circle: (x,y,diameter) = (1,2,3)"},
        {kExifIfd, 37396, kShort, shorts({1, 2, 3, 4}),
         "Rectangle: (x,y,width,height) = (1,2,3,4)"},
        {kExifIfd, 37396, kShort, shorts({1}), ""},
        {kExifIfd, 37500, kUndefined, Bytes(300, 7), "300 Byte"},
        {kExifIfd, 37510, kUndefined, text(std::string("ASCII\0\0\0Hello", 13)), "Hello"},
        {kExifIfd, 37510, kUndefined, text("Short"), "Short"},
        {kExifIfd, 37521, kAscii, text("42  "), "42"},
        {kExifIfd, 40961, kShort, shorts({65535}), "Uncalibrated"},
        {kExifIfd, 40962, kLong, longs({4000}), "4000"},
        {kExifIfd, 41486, kRational, rationals({{0, 1}}), "72"},
        {kExifIfd, 41488, kShort, shorts({3}), "cm"},
        {kExifIfd, 41495, kShort, shorts({1}), ""},
        {kExifIfd, 41495, kShort, shorts({2}), "One-chip color area sensor"},
        {kExifIfd, 41728, kUndefined, Bytes{3}, "DSC"},
        {kExifIfd, 41728, kUndefined, Bytes{9}, "9"},
        {kExifIfd, 41729, kUndefined, Bytes{1}, "A directly photographed image"},
        {kExifIfd, 41729, kUndefined, Bytes{'x'}, "x"},
        {kExifIfd, 41996, kShort, shorts({0}), "Unknow"},
        {kExifIfd, 41993, kShort, shorts({2}), "High saturation"},
        {kExifIfd, 41730, kUndefined, Bytes{1, 2}, ""},
        {kExifIfd, 44993, kAscii, text("EF 50mm f/1.4"), "EF 50mm f/1.4"},
        {kExifIfd, 50000, kAscii, text("other"), "other"},
        {kExifIfd, 50000, kShort, shorts({1}), ""},
        // IFD0.
        {kIfd0, 271, kAscii, text("NIKON CORPORATION  "), "NIKON CORPORATION"},
        {kIfd0, 274, kShort, shorts({6}), "right - top"},
        {kIfd0, 274, kShort, shorts({9}), "9"},
        {kIfd0, 282, kRational, rationals({{0, 1}}), "72"},
        {kIfd0, 282, kRational, rationals({{7201, 100}}), "72.01"},
        {kIfd0, 256, kLong, longs({0}), ""},
        {kIfd0, 256, kLong, longs({1024}), "1024"},
        {kIfd0, 258, kShort, shorts({8, 8, 8}), "8,8,8"},
        {kIfd0, 258, kShort, shorts({16}), "16"},
        {kIfd0, 273, kLong, longs({8, 4096}), "8,4096"},
        {kIfd0, 296, kShort, shorts({3}), "Cm"},
        {kIfd0, 318, kRational, rationals({{3127, 10000}, {329, 1000}}), "[0.3127, 0.329]"},
        {kIfd0, 529, kRational, rationals({{299, 1000}, {587, 1000}, {114, 1000}}),
         "[0.299, 0.587, 0.114]"},
        {kIfd0, 530, kShort, shorts({2, 1}), "YCbCr4:2:2"},
        {kIfd0, 530, kShort, shorts({2, 2}), "YCbCr4:2:0"},
        {kIfd0, 530, kShort, shorts({1, 1}), "[1, 1]"},
        {kIfd0, 531, kShort, shorts({2}), "Co-sited"},
        {kIfd0, 33432, kAscii, text(std::string("Photographer \0Editor ", 21)),
         "Photographer \n Editor"},
        {kIfd0, 33432, kAscii, text(std::string("\0Editor", 7)), " \n Editor"},
        {kIfd0, 33432, kAscii, text("Only"), "Only"},
        {kIfd0, 34675, kUndefined, Bytes(3144, 0), "3144 Byte"},
        {kIfd0, 513, kLong, longs({100}), ""},
        {kIfd0, 40000, kUndefined, Bytes(12, 0), "12 Byte"},
        {kIfd0, 40000, kShort, shorts({1}), ""},
        // Interoperability and maker-note entries.
        {kInteropIfd, 1, kAscii, text("R98"), "R98"},
        {kInteropIfd, 2, kUndefined, text("0100", false), "0100"},
        {kInteropIfd, 3, kShort, shorts({1}), ""},
        {kMakerNoteIfd, 6, kAscii, text("IMG:EOS"), "IMG:EOS"},
        {kMakerNoteIfd, 1, kShort, shorts({1, 2}), ""},
    };
    for (const Case& c : cases) {
        ExifEntry entry;
        const std::uint32_t count =
            static_cast<std::uint32_t>(c.bytes.size() / exifTypeSize(c.type));
        ASSERT_TRUE(entry.SetFromRaw(c.ifd, c.tag, c.type, count, c.bytes.data(), exif::kIntel))
            << c.tag;
        EXPECT_EQ(entry.GetText("en_US"), c.expected) << "IFD " << c.ifd << " tag " << c.tag;
    }
}

TEST(ExifFormat, NamesAndNamedValuesFollowTheLanguage)
{
    ExifEntry flash;
    const Bytes value = shorts({1});
    ASSERT_TRUE(flash.SetFromRaw(kExifIfd, 37385, kShort, 1, value.data(), exif::kIntel));
    EXPECT_EQ(flash.GetName("en_US"), "Flash");
    EXPECT_EQ(flash.GetName("zh_CN"), "闪光");
    EXPECT_EQ(flash.GetName("zh_TW"), "閃光");
    EXPECT_EQ(flash.GetName("fr_FR"), "Flash");
    EXPECT_EQ(flash.GetText("zh_CN"), "打开");
    EXPECT_EQ(flash.GetText("zh_TW"), "打開");
    EXPECT_EQ(flash.GetText("de_DE"), "Flash fired");
    // Texts outside the six enumerations stay English in every language.
    ExifEntry orientation;
    ASSERT_TRUE(orientation.SetFromRaw(kIfd0, 274, kShort, 1, value.data(), exif::kIntel));
    EXPECT_EQ(orientation.GetText("zh_CN"), "top - left");

    EXPECT_EQ(tagName(kExifIfd, 37500, "en_US"), "MakerNote");
    EXPECT_EQ(tagName(kMakerNoteIfd, 37500, "en_US"), "0x927C");
    EXPECT_EQ(tagName(kIfd0, 0xabc, "zh_CN"), "0x0ABC");
    EXPECT_EQ(tagName(kIfd0, 266, "zh_CN"), "FillOrder");
    EXPECT_EQ(LookupValueName(kExifIfd, 34850, 4, "zh_CN"), "快门先决");
    EXPECT_EQ(LookupValueName(kExifIfd, 37383, 2, "zh_TW"), "中央重點平均測光");
    EXPECT_EQ(LookupValueName(kExifIfd, 37383, 77, "zh_TW"), "77");
    EXPECT_EQ(LookupValueName(kIfd0, 37385, 1, "en_US"), "1");  // rows are Exif IFD only
}

TEST(TagCatalogue, TablesAreCompleteAndUnique)
{
    const auto catalogue = tagCatalogue();
    ASSERT_EQ(catalogue.size(), 104u);
    EXPECT_EQ(catalogue.front().tag, 254);
    EXPECT_EQ(catalogue.back().ifd, kInteropIfd);
    EXPECT_EQ(catalogue.back().tag, 2);
    std::set<std::pair<int, int>> pairs;
    int infoTags = 0;
    for (const TagInfo& info : catalogue) {
        EXPECT_TRUE(pairs.insert({info.ifd, info.tag}).second) << info.tag;
        EXPECT_NE(exifTypeSize(info.type), 0u) << info.tag;
        for (const char* name : info.names) EXPECT_NE(std::strlen(name), 0u) << info.tag;
        infoTags += (info.flags & kInfoTagFlag) != 0;
    }
    EXPECT_EQ(infoTags, 44);

    const auto named = namedValues();
    ASSERT_EQ(named.size(), 65u);
    std::set<std::tuple<int, int, int>> values;
    for (const NamedValue& row : named) {
        EXPECT_EQ(row.ifd, kExifIfd);
        EXPECT_TRUE(values.insert({row.ifd, row.tag, row.value}).second)
            << row.tag << " " << row.value;
    }
}

}  // namespace
}  // namespace tavelune
