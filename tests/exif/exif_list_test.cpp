// The EXIF information list's rows: file rows, groups by directory, size texts.
#include "exif/exif_list.h"

#include <gtest/gtest.h>

#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(ExifList, FileSizeTexts)
{
    EXPECT_EQ(fileSizeText(1023), "1023 Byte");
    EXPECT_EQ(fileSizeText(1024), "1 KB");
    EXPECT_EQ(fileSizeText(1536), "1.5 KB");
    EXPECT_EQ(fileSizeText(1048575), "1024 KB");
    EXPECT_EQ(fileSizeText(3145728), "3 MB");
    EXPECT_EQ(fileSizeText(1572864), "1.5 MB");
}

TEST(ExifList, RowsGroupEntriesAndLeaveOutMakerNotes)
{
    ExifData data;
    ASSERT_TRUE(data.LoadExif(test::samplePath("coffee-exif.jpg")));
    // A maker-note entry and an Interoperability entry made by hand.
    ASSERT_NE(data.FindEntry(kInteropIfd, 1, EntryLookup::Create), nullptr);
    ExifEntry* make = data.FindEntry(kIfd0, 271);
    ASSERT_NE(make, nullptr);
    auto note = std::make_unique<ExifEntry>();
    const std::uint8_t bytes[] = {'x', 0};
    ASSERT_TRUE(note->SetFromRaw(kMakerNoteIfd, 6, kAscii, 2, bytes, 1));
    data.entries().push_back(std::move(note));

    const std::vector<ExifListRow> rows = buildExifListRows(data, "zh_CN");
    ASSERT_GE(rows.size(), 8u);
    EXPECT_EQ(rows[0].kind, ExifListRow::Kind::Header);
    EXPECT_EQ(rows[0].stringId, kStringFileInfo);
    EXPECT_EQ(rows[1].value, "coffee-exif.jpg");
    EXPECT_EQ(rows[1].itemValue, (0x9002u << 16) | kStringFileName);
    EXPECT_EQ(rows[2].value, "80.4 KB");
    EXPECT_EQ(rows[3].value.size(), 19u);
    EXPECT_EQ(rows[4].stringId, kStringImageInfo);
    EXPECT_EQ(rows[5].name, "制造商");
    EXPECT_EQ(rows[5].value, "Canon");
    EXPECT_EQ(rows[5].itemValue, (1u << 16) | 271);

    std::vector<int> headers;
    std::size_t entryRows = 0;
    for (const ExifListRow& row : rows) {
        if (row.kind == ExifListRow::Kind::Header)
            headers.push_back(row.stringId);
        if (row.kind == ExifListRow::Kind::Entry) {
            ++entryRows;
            EXPECT_NE(row.itemValue >> 16, kMakerNoteIfd);
        }
    }
    EXPECT_EQ(headers, (std::vector<int>{kStringFileInfo, kStringImageInfo, kStringShootingInfo,
                                         kStringInteropInfo}));
    EXPECT_EQ(entryRows, data.entries().size() - 1);
    EXPECT_EQ(rows.back().itemValue, (std::uint32_t{kInteropIfd} << 16) | 1);
}

TEST(ExifList, EmptyModelShowsOnlyTheFile)
{
    ExifData data;
    EXPECT_TRUE(buildExifListRows(data, "en_US").empty());
    EXPECT_FALSE(data.LoadExif(test::samplePath("chelsea.jpg")));
    const std::vector<ExifListRow> rows = buildExifListRows(data, "en_US");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(rows[1].value, "chelsea.jpg");
}

TEST(ExifList, EveryGroupHasItsHeaderAndUnknownTagsShowTheirNumber)
{
    struct Entry {
        std::uint16_t ifd;
        std::uint16_t tag;
    };
    const struct {
        const char* what;
        std::vector<Entry> entries;
        std::vector<std::string> names;
    } cases[] = {
        {"a DNG's IFD0 with its own tags",
         {{kIfd0, 271}, {kIfd0, 0xC612}},
         {"Make", "0xC612"}},
        {"a HEIC's IFD0 and Exif, no Interoperability",
         {{kIfd0, 271}, {kExifIfd, 33434}},
         {"Make", "ExposureTime"}},
        {"Interoperability alone", {{kInteropIfd, 0x1001}}, {"0x1001"}},
        {"a maker note alone", {{kMakerNoteIfd, 6}}, {}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ExifData data;
        for (const Entry& e : c.entries) {
            auto entry = std::make_unique<ExifEntry>();
            const std::uint8_t bytes[] = {'1', 0};
            ASSERT_TRUE(entry->SetFromRaw(e.ifd, e.tag, kAscii, 2, bytes, 1));
            data.entries().push_back(std::move(entry));
        }
        std::vector<int> headers;
        std::vector<std::string> names;
        for (const ExifListRow& row : buildExifListRows(data, "en_US")) {
            if (row.kind == ExifListRow::Kind::Header)
                headers.push_back(row.stringId);
            else
                names.push_back(row.name);
        }
        // A model that is not empty shows all three headers, even over an empty group.
        EXPECT_EQ(headers, (std::vector<int>{kStringImageInfo, kStringShootingInfo,
                                             kStringInteropInfo}));
        EXPECT_EQ(names, c.names);
    }
}

ExifListRow entryRow(std::uint16_t ifd, std::uint16_t tag)
{
    return {ExifListRow::Kind::Entry, (std::uint32_t{ifd} << 16) | tag, 0, "n", "v"};
}

TEST(ExifList, DeleteRules)
{
    const struct {
        const char* name;
        ExifListRow row;
        bool enablesDelete;
        bool deleted;
    } cases[] = {
        {"header", {ExifListRow::Kind::Header, 0, kStringImageInfo, {}, {}}, false, false},
        {"file row",
         {ExifListRow::Kind::File, (0x9002u << 16) | kStringFileName, kStringFileName, {}, "a.jpg"},
         false,
         false},
        {"ImageDescription", entryRow(kIfd0, 270), true, true},
        {"Make", entryRow(kIfd0, 271), true, true},
        {"Model", entryRow(kIfd0, 272), true, true},
        {"DateTime", entryRow(kIfd0, 306), false, true},
        {"Artist", entryRow(kIfd0, 315), false, true},
        {"Copyright", entryRow(kIfd0, 33432), false, true},
        {"Orientation", entryRow(kIfd0, 274), false, false},
        {"XResolution", entryRow(kIfd0, 282), false, false},
        {"DateTimeDigitized", entryRow(kExifIfd, 0x9004), true, true},
        {"ExposureTime", entryRow(kExifIfd, 0x829A), true, true},
        {"ExifVersion", entryRow(kExifIfd, 0x9000), false, false},
        {"ComponentsConfiguration", entryRow(kExifIfd, 0x9101), false, false},
        {"FlashPixVersion", entryRow(kExifIfd, 0xA000), false, false},
        {"ColorSpace", entryRow(kExifIfd, 0xA001), false, false},
        {"PixelXDimension", entryRow(kExifIfd, 0xA002), false, false},
        {"PixelYDimension", entryRow(kExifIfd, 0xA003), false, false},
        {"ExtendSoftware", entryRow(kExifIfd, 44992), false, false},
        {"InteroperabilityIndex", entryRow(kInteropIfd, 1), true, true},
        {"Interop other", entryRow(kInteropIfd, 2), true, true},
        {"maker note", entryRow(kMakerNoteIfd, 6), false, false},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(mayDeleteRow(c.row), c.enablesDelete) << c.name;
        EXPECT_EQ(deletesRow(c.row), c.deleted) << c.name;
    }
}

std::size_t rowOf(const std::vector<ExifListRow>& rows, std::uint16_t ifd, std::uint16_t tag)
{
    for (std::size_t i = 0; i < rows.size(); ++i)
        if (rows[i].kind == ExifListRow::Kind::Entry &&
            rows[i].itemValue == ((std::uint32_t{ifd} << 16) | tag))
            return i;
    return rows.size();
}

TEST(ExifList, DeleteSelectedRemovesOnlyDeletableEntries)
{
    ExifData data;
    ASSERT_TRUE(data.LoadExif(test::samplePath("coffee-exif.jpg")));
    ASSERT_NE(data.FindEntry(kExifIfd, 0x9004, EntryLookup::Create), nullptr);
    ASSERT_NE(data.FindEntry(kExifIfd, 0x9000, EntryLookup::Create), nullptr);
    data.SortEntries();
    std::vector<ExifListRow> rows = buildExifListRows(data, "en_US");
    const std::size_t before = rows.size();
    const std::size_t digitized = rowOf(rows, kExifIfd, 0x9004);
    const std::size_t version = rowOf(rows, kExifIfd, 0x9000);
    const std::size_t make = rowOf(rows, kIfd0, 271);
    ASSERT_LT(digitized, rows.size());
    ASSERT_LT(version, rows.size());
    ASSERT_LT(make, rows.size());

    const std::vector<std::size_t> selected = {version, 0, 1, digitized, make, digitized, 9999};
    const ExifListMenuState state = exifListMenuState(data, rows, selected);
    EXPECT_TRUE(state.deleteSelected);
    EXPECT_TRUE(state.deleteExif);
    EXPECT_FALSE(exifListMenuState(data, rows, {version, 0}).deleteSelected);

    EXPECT_EQ(deleteSelectedRows(data, rows, selected), 2);
    EXPECT_EQ(rows.size(), before - 2);
    EXPECT_EQ(data.FindEntry(kExifIfd, 0x9004), nullptr);
    EXPECT_EQ(data.FindEntry(kIfd0, 271), nullptr);
    EXPECT_NE(data.FindEntry(kExifIfd, 0x9000), nullptr);
    EXPECT_EQ(rowOf(rows, kExifIfd, 0x9004), rows.size());
    EXPECT_LT(rowOf(rows, kExifIfd, 0x9000), rows.size());
    // The rows still describe the model, in its order.
    const std::vector<ExifListRow> rebuilt = buildExifListRows(data, "en_US");
    ASSERT_EQ(rebuilt.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i)
        EXPECT_EQ(rows[i].itemValue, rebuilt[i].itemValue) << i;

    const std::vector<ExifListRow> cleared = deleteAllEntries(data, "en_US");
    EXPECT_TRUE(data.IsEmpty());
    EXPECT_EQ(cleared.size(), 4u);  // the file rows stay
    const ExifListMenuState empty = exifListMenuState(data, cleared, {0, 1, 2, 3});
    EXPECT_FALSE(empty.deleteSelected);
    EXPECT_FALSE(empty.deleteExif);
}

TEST(ExifList, CopyTextOfSelectedRows)
{
    const std::vector<ExifListRow> rows = {
        {ExifListRow::Kind::Header, 0, kStringFileInfo, {}, {}},
        {ExifListRow::Kind::File, (0x9002u << 16) | kStringFileSize, kStringFileSize, {}, "1.5 KB"},
        {ExifListRow::Kind::Entry, (1u << 16) | 271, 0, "Make", "Canon"},
    };
    EXPECT_EQ(exifListCopyText(rows, {0, 1, 2}, "en_US"),
              "File information\r\nFile size: 1.5 KB\r\nMake: Canon\r\n");
    EXPECT_EQ(exifListCopyText(rows, {2, 0, 7}, "zh_CN"), "Make: Canon\r\n文件信息\r\n");
    EXPECT_EQ(exifListCopyText(rows, {}, "en_US"), "");
    EXPECT_EQ(exifListText(kStringTimeStamp, "zh_TW"), "時間戳記");
    EXPECT_EQ(exifListText(1, "en_US"), "");
}

}  // namespace
}  // namespace tavelune
