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
    ASSERT_NE(data.FindEntry(kInteropIfd, 1, 1), nullptr);
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

}  // namespace
}  // namespace tavelune
