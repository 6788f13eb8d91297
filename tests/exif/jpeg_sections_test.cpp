// The JPEG marker scan and the segment splice, on files made byte by byte.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdio>
#include <optional>

#include "exif/exif_data.h"
#include "exif/exif_messages.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kSoi = {0xFF, 0xD8};
const Bytes kJfif = {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0, 1, 2, 1, 0, 72, 0, 72, 0, 0};
const Bytes kExif = {0xFF, 0xE1, 0, 16, 'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0, 8, 0, 0, 0};
const Bytes kXmp = {0xFF, 0xE1, 0, 10, 'h', 't', 't', 'p', ':', '/', '/', 'x'};
const Bytes kQuant = {0xFF, 0xDB, 0, 5, 1, 2, 3};
const Bytes kScan = {0xFF, 0xDA, 0, 4, 9, 9, 0x12, 0x34, 0x56};
const Bytes kEoi = {0xFF, 0xD9};

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes out;
    for (const Bytes& part : parts) out.insert(out.end(), part.begin(), part.end());
    return out;
}

int scan(const Bytes& bytes, ExifData& data)
{
    test::TempDir dir;
    test::writeFileBytes(dir.file("a.jpg"), bytes);
    std::FILE* file = std::fopen(dir.file("a.jpg").c_str(), "rb");
    const int result = data.ReadJpegSections(file);
    std::fclose(file);
    return result;
}

TEST(JpegSections, KeepsJfifAndFirstExifInFileOrder)
{
    test::MessageCollector messages;
    ExifData data;
    const Bytes second = {0xFF, 0xE1, 0, 8, 'E', 'x', 'i', 'f', 0, 0};
    ASSERT_EQ(scan(concat({kSoi, kJfif, kQuant, kExif, second, kScan, kEoi}), data), 2);
    ASSERT_EQ(data.sections().size(), 2u);
    EXPECT_EQ(data.sections()[0]->marker, kMarkerApp0);
    EXPECT_EQ(data.sections()[0]->offset, 2);
    EXPECT_EQ(data.sections()[0]->size, 18);
    EXPECT_EQ(data.sections()[0]->data, kJfif);
    EXPECT_EQ(data.sections()[1]->marker, kMarkerApp1);
    EXPECT_EQ(data.sections()[1]->offset, 2 + 18 + 7);
    EXPECT_EQ(data.sections()[1]->data, kExif);
    EXPECT_TRUE(data.warnings().empty());
}

TEST(JpegSections, SkipsOtherApp1AndFillBytes)
{
    test::MessageCollector messages;
    ExifData data;
    // An odd run of fill bytes would misalign the pairs, so the run here is even.
    const Bytes fill = {0xFF, 0xFF, 0xFF, 0xFF};
    ASSERT_EQ(scan(concat({kSoi, kXmp, fill, kExif, kScan, kEoi}), data), 1);
    EXPECT_EQ(data.sections()[0]->offset, 2 + 12 + 4);
    EXPECT_TRUE(data.warnings().empty());
}

TEST(JpegSections, StopsAtFirstExifEvenBeforeBrokenData)
{
    test::MessageCollector messages;
    ExifData data;
    // Bytes after EOI do not matter once the Exif segment came first.
    EXPECT_EQ(scan(concat({kSoi, kExif, kScan, kEoi, {1, 2, 3}}), data), 1);
    EXPECT_TRUE(data.warnings().empty());
}

TEST(JpegSections, FailuresClearTheListWithTheirMessages)
{
    struct Case {
        const char* what;
        Bytes bytes;
        std::optional<ExifError> box;  // none: no box
    };
    const Case cases[] = {
        {"no SOI", concat({{0xFF, 0xD9}, kJfif, kEoi}), std::nullopt},
        {"empty file", {}, std::nullopt},
        {"bytes after EOI", concat({kSoi, kJfif, kScan, kEoi, {0x00}}),
         ExifError::TooManyPaddingBytes},
        {"no EOI at all", concat({kSoi, kJfif, kQuant}), ExifError::TooManyPaddingBytes},
        {"end inside length", concat({kSoi, kJfif, {0xFF, 0xDB, 0x00}}), std::nullopt},
        {"length below 2", concat({kSoi, kJfif, {0xFF, 0xDB, 0x00, 0x01}, kEoi}), std::nullopt},
        {"short APP0 payload", concat({kSoi, {0xFF, 0xE0, 0, 16, 'J', 'F', 'I', 'F', 0}}),
         ExifError::PrematureEnd},
        {"short APP1 payload", concat({kSoi, kJfif, {0xFF, 0xE1, 0x10, 0, 'E', 'x'}}),
         ExifError::PrematureEnd},
    };
    for (const Case& c : cases) {
        test::MessageCollector messages;
        ExifData data;
        EXPECT_EQ(scan(c.bytes, data), -1) << c.what;
        EXPECT_TRUE(data.sections().empty()) << c.what;
        ASSERT_EQ(data.warnings().size(), c.box ? 1u : 0u) << c.what;
        if (c.box) {
            EXPECT_EQ(data.warnings()[0].code, *c.box) << c.what;
        }
        EXPECT_TRUE(messages.texts().empty()) << c.what;  // the core shows nothing itself
    }
}

TEST(JpegSections, ShortJfifOrExifHeadersAreDropped)
{
    test::MessageCollector messages;
    ExifData data;
    const Bytes shortApp0 = {0xFF, 0xE0, 0, 6, 'J', 'F', 'I', 'F'};
    const Bytes shortApp1 = {0xFF, 0xE1, 0, 7, 'E', 'x', 'i', 'f', 0};
    EXPECT_EQ(scan(concat({kSoi, shortApp0, shortApp1, kScan, kEoi}), data), 0);
}

class JpegSplice : public ::testing::Test {
protected:
    std::string write(const Bytes& bytes)
    {
        const std::string path = m_dir.file("photo.jpg");
        test::writeFileBytes(path, bytes);
        return path;
    }
    test::TempDir m_dir;
    test::MessageCollector m_messages;
};

const Bytes kNewSegment = {0xFF, 0xE1, 0,  20, 'E', 'x', 'i', 'f', 0, 0, 'M',
                           'M',  0,    42, 0,  0,   0,   8,   0,   0, 0, 0};

TEST_F(JpegSplice, ReplacesJfifWhenThereIsNoExif)
{
    const std::string path = write(concat({kSoi, kJfif, kQuant, kScan, kEoi}));
    ExifData data;
    ASSERT_TRUE(data.ReplaceExifSegment(path.c_str(), kNewSegment.data(), kNewSegment.size()));
    EXPECT_EQ(test::readFileBytes(path), concat({kSoi, kNewSegment, kQuant, kScan, kEoi}));
    EXPECT_TRUE(data.sections().empty());
}

TEST_F(JpegSplice, ReplacesExifAndShiftsLaterBytes)
{
    const Bytes old = concat({kSoi, kJfif, kExif, kQuant, kScan, kEoi});
    const std::string path = write(old);
    ::chmod(path.c_str(), 0640);
    ExifData data;
    ASSERT_TRUE(data.ReplaceExifSegment(path.c_str(), kNewSegment.data(), kNewSegment.size()));
    const Bytes now = test::readFileBytes(path);
    EXPECT_EQ(now, concat({kSoi, kJfif, kNewSegment, kQuant, kScan, kEoi}));
    EXPECT_EQ(now.size(), old.size() - kExif.size() + kNewSegment.size());
    struct stat info {};
    ASSERT_EQ(::stat(path.c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0640u);
    // No temporary file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_dir.path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST_F(JpegSplice, RefusesWithoutTargetOrWithBadSegment)
{
    const Bytes adobeOnly = concat({kSoi, {0xFF, 0xEE, 0, 4, 1, 2}, kScan, kEoi});
    const std::string path = write(adobeOnly);
    ExifData data;
    EXPECT_FALSE(data.ReplaceExifSegment(path.c_str(), kNewSegment.data(), kNewSegment.size()));
    EXPECT_EQ(test::readFileBytes(path), adobeOnly);

    write(concat({kSoi, kJfif, kScan, kEoi}));
    EXPECT_FALSE(data.ReplaceExifSegment(nullptr, kNewSegment.data(), kNewSegment.size()));
    EXPECT_FALSE(data.ReplaceExifSegment(path.c_str(), nullptr, 0));
    Bytes wrongLength = kNewSegment;
    wrongLength[3] = 99;  // the length field no longer matches the bytes given
    EXPECT_FALSE(data.ReplaceExifSegment(path.c_str(), wrongLength.data(), wrongLength.size()));
    EXPECT_FALSE(data.ReplaceExifSegment(m_dir.file("missing.jpg").c_str(), kNewSegment.data(),
                                         kNewSegment.size()));
    EXPECT_EQ(test::readFileBytes(path), concat({kSoi, kJfif, kScan, kEoi}));
}

}  // namespace
}  // namespace tavelune
