// Canon and Nikon maker notes: private entries and the standard entries derived from them.
#include <gtest/gtest.h>

#include "exif/byte_order.h"
#include "exif/exif_data.h"
#include "exif/exif_messages.h"
#include "support/test_support.h"
#include "tiff_builder.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::TiffBuilder;

// A Canon note: tag 1 (camera settings, stored behind the directory) and tag 6 (inline text).
Bytes canonNote(int order, const std::vector<std::uint16_t>& settings, std::uint32_t noteOffset)
{
    const std::size_t arrayAt = 2 + 12 * 2;
    Bytes note(arrayAt + settings.size() * 2, 0);
    exif::writeU16(note, 0, order, 2);
    exif::writeU16(note, 2, order, 1);
    exif::writeU16(note, 4, order, kShort);
    exif::writeU32(note, 6, order, static_cast<std::uint32_t>(settings.size()));
    exif::writeU32(note, 10, order, static_cast<std::uint32_t>(noteOffset + arrayAt));
    exif::writeU16(note, 14, order, 6);
    exif::writeU16(note, 16, order, kAscii);
    exif::writeU32(note, 18, order, 4);
    note[22] = 'E', note[23] = 'O', note[24] = 'S';
    for (std::size_t i = 0; i < settings.size(); ++i)
        exif::writeU16(note, arrayAt + 2 * i, order, settings[i]);
    return note;
}

// Loads a file with the note; the note's own offsets depend on where it lands, so the file is
// built twice.
bool loadWithCanonNote(ExifData& data, int order, const std::vector<std::uint16_t>& settings,
                       const std::string& make = "Canon", bool withIso = false)
{
    auto build = [&](std::uint32_t noteOffset) {
        TiffBuilder builder(order);
        builder.addAscii(kIfd0, 271, make).addAscii(kIfd0, 272, "Canon EOS 5D");
        if (withIso)
            builder.addShorts(kExifIfd, 34855, {640});
        builder.addUndefined(kExifIfd, 37500, canonNote(order, settings, noteOffset));
        return test::jpegWithExif(builder.build().bytes);
    };
    Bytes first = build(0);
    if (!data.LoadExifFromBytes(first.data(), first.size(), ImageFormat::Jpeg))
        return false;
    const Bytes second = build(static_cast<std::uint32_t>(data.makerNoteOffset()));
    return data.LoadExifFromBytes(second.data(), second.size(), ImageFormat::Jpeg);
}

std::vector<std::uint16_t> settingsWith(std::initializer_list<std::pair<int, std::uint16_t>> set)
{
    std::vector<std::uint16_t> settings(21, 0);
    for (const auto& [index, value] : set) settings[static_cast<std::size_t>(index)] = value;
    return settings;
}

TEST(CanonMakerNote, DerivesStandardEntriesInBothByteOrders)
{
    for (int order : {exif::kIntel, exif::kMotorola}) {
        test::MessageCollector messages;
        ExifData data;
        ASSERT_TRUE(loadWithCanonNote(
            data, order,
            settingsWith({{4, 1}, {13, 65535}, {14, 1}, {15, 0}, {16, 18}, {17, 5}, {20, 3}})));
        EXPECT_EQ(data.GetText(kMakerNoteIfd, 6, "en_US"), "EOS");
        const ExifEntry* settings = data.FindEntry(kMakerNoteIfd, 1);
        ASSERT_NE(settings, nullptr);
        EXPECT_EQ(settings->count(), 21u);
        EXPECT_EQ(data.GetNumber(kExifIfd, 37385, 0), 25) << "flash";
        EXPECT_EQ(data.GetNumber(kExifIfd, 41992, 0), 1) << "contrast";
        EXPECT_EQ(data.GetNumber(kExifIfd, 41993, 0), 2) << "saturation";
        EXPECT_EQ(data.GetNumber(kExifIfd, 41994, 0), 0) << "sharpness";
        EXPECT_EQ(data.GetNumber(kExifIfd, 34855, 0), 200) << "ISO";
        EXPECT_EQ(data.GetNumber(kExifIfd, 37383, 0), 2) << "metering";
        EXPECT_EQ(data.GetNumber(kExifIfd, 34850, 0), 3) << "program";
        EXPECT_EQ(data.FindEntry(kExifIfd, 34855)->type(), kShort);
        EXPECT_TRUE(messages.texts().empty());
    }
}

TEST(CanonMakerNote, UnlistedValuesLeaveEntriesAlone)
{
    ExifData data;
    // Element 20 is 0, so the program comes from element 11; ISO element 16 = 0 is unlisted.
    ASSERT_TRUE(loadWithCanonNote(data, exif::kIntel, settingsWith({{4, 4}, {11, 2}, {16, 0}}),
                                  "Canon", true));
    EXPECT_EQ(data.GetNumber(kExifIfd, 34850, 0), 8);
    EXPECT_EQ(data.GetNumber(kExifIfd, 34855, 0), 640);
    // Flash element 4 = 4 is not mapped: no Flash entry is made.
    EXPECT_EQ(data.FindEntry(kExifIfd, 37385), nullptr);
    // Contrast element 13 = 0 maps to 0 and creates the entry.
    EXPECT_NE(data.FindEntry(kExifIfd, 41992), nullptr);

    // A short settings array gives no values for elements it lacks.
    ASSERT_TRUE(loadWithCanonNote(data, exif::kIntel, {0, 0, 0}));
    EXPECT_EQ(data.FindEntry(kExifIfd, 37385), nullptr);
    EXPECT_EQ(data.FindEntry(kExifIfd, 41992), nullptr);
}

TEST(CanonMakerNote, ReadOnlyForCanonWithModelAndNote)
{
    ExifData data;
    ASSERT_TRUE(loadWithCanonNote(data, exif::kIntel, settingsWith({{4, 1}}), "CANON INC."));
    EXPECT_NE(data.FindEntry(kMakerNoteIfd, 1), nullptr);
    ASSERT_TRUE(loadWithCanonNote(data, exif::kIntel, settingsWith({{4, 1}}), "Can"));
    EXPECT_EQ(data.FindEntry(kMakerNoteIfd, 1), nullptr);
    EXPECT_EQ(data.FindEntry(kExifIfd, 37385), nullptr);

    TiffBuilder noModel(exif::kIntel);
    noModel.addAscii(kIfd0, 271, "Canon")
        .addUndefined(kExifIfd, 37500, canonNote(exif::kIntel, {1, 2, 3}, 0));
    const Bytes jpeg = test::jpegWithExif(noModel.build().bytes);
    ASSERT_TRUE(data.LoadExifFromBytes(jpeg.data(), jpeg.size(), ImageFormat::Jpeg));
    EXPECT_EQ(data.FindEntry(kMakerNoteIfd, 1), nullptr);
}

TEST(CanonMakerNote, FillsOnlyWhatTheFileLacksAndWritesNoneOfIt)
{
    test::TempDir dir;
    const std::string path = dir.file("canon.jpg");
    ExifData bytes;
    // ISO element 16 = 18 says 200 and the file says 640; program element 20 = 3 fills in.
    ASSERT_TRUE(
        loadWithCanonNote(bytes, exif::kIntel, settingsWith({{16, 18}, {20, 3}}), "Canon", true));
    EXPECT_EQ(bytes.GetNumber(kExifIfd, 34855, 0), 640);
    EXPECT_FALSE(bytes.FindEntry(kExifIfd, 34855)->IsDerived());
    EXPECT_EQ(bytes.GetNumber(kExifIfd, 34850, 0), 3);
    EXPECT_TRUE(bytes.FindEntry(kExifIfd, 34850)->IsDerived());

    // Written back as loaded: the file still has its ISO and no program of its own.
    std::vector<std::uint8_t> file;
    {
        auto build = [&](std::uint32_t at) {
            TiffBuilder builder(exif::kIntel);
            builder.addAscii(kIfd0, 271, "Canon").addAscii(kIfd0, 272, "Canon EOS 5D");
            builder.addShorts(kExifIfd, 34855, {640});
            builder.addUndefined(kExifIfd, 37500,
                                 canonNote(exif::kIntel, settingsWith({{16, 18}, {20, 3}}), at));
            return test::jpegWithExif(builder.build().bytes);
        };
        file = build(static_cast<std::uint32_t>(bytes.makerNoteOffset()));
    }
    test::writeFileBytes(path, file);
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(path));
    ASSERT_TRUE(exif.SaveExif(path));
    ExifData back;
    ASSERT_TRUE(back.LoadExif(path));
    EXPECT_EQ(back.GetNumber(kExifIfd, 34855, 0), 640);
    EXPECT_TRUE(back.FindEntry(kExifIfd, 34850)->IsDerived());

    // A value stored over the derived one is the user's, and is written.
    const std::uint8_t manual[2] = {1, 0};
    ASSERT_TRUE(back.FindEntry(kExifIfd, 34850)->SetValueBytes(manual, 2));
    EXPECT_FALSE(back.FindEntry(kExifIfd, 34850)->IsDerived());
    ASSERT_TRUE(back.SaveExif(path));
    ExifData again;
    ASSERT_TRUE(again.LoadExif(path));
    EXPECT_EQ(again.GetNumber(kExifIfd, 34850, 0), 1);
    EXPECT_FALSE(again.FindEntry(kExifIfd, 34850)->IsDerived());
}

TEST(CanonMakerNote, MalformedNotesAreRefused)
{
    ExifData data;
    ExifEntry note;
    const Bytes tooShort = {2, 0};
    ASSERT_TRUE(note.SetFromRaw(kExifIfd, 37500, kUndefined, 2, tooShort.data(), exif::kIntel));
    EXPECT_FALSE(data.ReadCanonMakerNote(note));
    const Bytes manyEntries = {200, 0, 1, 2, 3, 4};
    ASSERT_TRUE(note.SetFromRaw(kExifIfd, 37500, kUndefined, 6, manyEntries.data(), exif::kIntel));
    EXPECT_FALSE(data.ReadCanonMakerNote(note));
    EXPECT_TRUE(data.IsEmpty());
}

Bytes nikonNote(const Bytes& nikonHeader)
{
    // Two entries in a Motorola header: ISO (inline), quality (text behind the directory).
    Bytes note = nikonHeader;
    const Bytes tiff = {'M', 'M', 0, 42, 0, 0, 0, 8};
    note.insert(note.end(), tiff.begin(), tiff.end());
    const std::size_t dir = note.size();
    note.resize(dir + 2 + 24 + 4, 0);
    const int mm = exif::kMotorola;
    exif::writeU16(note, dir, mm, 2);
    exif::writeU16(note, dir + 2, mm, 2);
    exif::writeU16(note, dir + 4, mm, kShort);
    exif::writeU32(note, dir + 6, mm, 2);
    exif::writeU16(note, dir + 10, mm, 0);
    exif::writeU16(note, dir + 12, mm, 400);
    exif::writeU16(note, dir + 14, mm, 4);
    exif::writeU16(note, dir + 16, mm, kAscii);
    exif::writeU32(note, dir + 18, mm, 8);
    exif::writeU32(note, dir + 22, mm, 8 + 2 + 24 + 4);
    const std::string quality = "FINE   ";
    note.insert(note.end(), quality.begin(), quality.end());
    note.push_back(0);
    return note;
}

bool loadNikon(ExifData& data, const Bytes& note)
{
    TiffBuilder builder(exif::kIntel);
    builder.addAscii(kIfd0, 271, "NIKON CORPORATION")
        .addAscii(kIfd0, 272, "NIKON D100")
        .addUndefined(kExifIfd, 37500, note);
    const Bytes jpeg = test::jpegWithExif(builder.build().bytes);
    return data.LoadExifFromBytes(jpeg.data(), jpeg.size(), ImageFormat::Jpeg);
}

TEST(NikonMakerNote, ReadsEmbeddedHeaderAndIso)
{
    test::MessageCollector messages;
    ExifData data;
    ASSERT_TRUE(loadNikon(data, nikonNote({'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0})));
    EXPECT_EQ(data.GetNumber(kExifIfd, 34855, 0), 400);
    EXPECT_EQ(data.GetText(kMakerNoteIfd, 4, "en_US"), "FINE   ");
    EXPECT_EQ(data.GetNumber(kMakerNoteIfd, 2, 1), 400);
    EXPECT_TRUE(messages.texts().empty());
}

TEST(NikonMakerNote, OtherNotesSayNoNikonD100AndStillLoad)
{
    test::MessageCollector messages;
    ExifData data;
    ASSERT_TRUE(loadNikon(data, nikonNote({'N', 'i', 'k', 'o', 'n', 0, 1, 0, 0, 0})));
    ASSERT_EQ(data.warnings().size(), 1u);
    EXPECT_EQ(data.warnings()[0].code, ExifError::NoNikonD100);
    EXPECT_EQ(exifBoxText(ExifError::NoNikonD100), messages::kNoNikonD100);
    EXPECT_TRUE(messages.texts().empty());
    EXPECT_EQ(data.FindEntry(kExifIfd, 34855), nullptr);
    EXPECT_EQ(data.GetText(kIfd0, 272, "en_US"), "NIKON D100");

    // A note that ends inside its embedded header, or whose directory claims more entries
    // than the note holds, is refused quietly.
    messages.clear();
    ASSERT_TRUE(loadNikon(data, {'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0, 'M'}));
    EXPECT_EQ(data.FindEntry(kMakerNoteIfd, 2), nullptr);
    EXPECT_TRUE(messages.texts().empty());
    messages.clear();
    Bytes bad = nikonNote({'N', 'i', 'k', 'o', 'n', 0, 2, 0x10, 0, 0});
    exif::writeU16(bad, 18, exif::kMotorola, 500);
    ASSERT_TRUE(loadNikon(data, bad));
    EXPECT_EQ(data.FindEntry(kMakerNoteIfd, 2), nullptr);
    EXPECT_TRUE(messages.texts().empty());
}

}  // namespace
}  // namespace tavelune
