// What loads, saves and deletes tell their callers: a code per cause, and the boxes met on the
// way in the order met, while the core itself shows nothing.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include "exif/entry_values.h"
#include "support/test_support.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

const Bytes kSoi = {0xFF, 0xD8};
const Bytes kAdobe = {0xFF, 0xEE, 0, 7, 'A', 'd', 'o', 'b', 'e'};
const Bytes kScan = {0xFF, 0xDA, 0, 2, 0x11, 0x22};
const Bytes kEoi = {0xFF, 0xD9};

Bytes concat(std::initializer_list<Bytes> parts)
{
    Bytes all;
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
    return all;
}

class ExifErrors : public ::testing::Test {
protected:
    std::string file(const std::string& name, const Bytes& bytes)
    {
        const std::string path = m_dir.file(name);
        test::writeFileBytes(path, bytes);
        return path;
    }
    test::TempDir m_dir;
    test::MessageCollector m_messages;  // stays empty: the core shows nothing itself
};

TEST_F(ExifErrors, SavesSayWhyTheyFailed)
{
    ExifData shooting;
    test::fillShootingModel(shooting);
    const std::string missing = m_dir.file("missing.jpg");
    EXPECT_EQ(shooting.SaveExif(missing).code(), ExifError::CannotRead);
    EXPECT_EQ(shooting.SaveExif(missing).detail(), missing);
    EXPECT_EQ(ExifData().SaveExif(missing).code(), ExifError::NothingToWrite);
    EXPECT_EQ(shooting.SaveExif(file("a.png", {1, 2, 3})).code(), ExifError::NotJpegOrTiff);
    const std::string adobeOnly = file("adobe.jpg", concat({kSoi, kAdobe, kScan, kEoi}));
    EXPECT_EQ(shooting.SaveExif(adobeOnly).code(), ExifError::NoSegmentToReplace);

    // Entries below the 65535-byte limit each can still make a segment above it together.
    const std::string jpeg = m_dir.file("photo.jpg");
    ASSERT_TRUE(test::writePicture(jpeg));
    ExifData big;
    test::fillShootingModel(big);
    ASSERT_TRUE(setTextValue(big.FindEntry(kIfd0, kTagImageDescription, EntryLookup::Create),
                             std::string(40000, 'd')));
    ASSERT_TRUE(setTextValue(big.FindEntry(kIfd0, kTagArtist, EntryLookup::Create),
                             std::string(40000, 'a')));
    const Bytes before = test::readFileBytes(jpeg);
    EXPECT_EQ(big.SaveExif(jpeg).code(), ExifError::SegmentTooLarge);
    EXPECT_EQ(test::readFileBytes(jpeg), before);

    ::chmod(jpeg.c_str(), 0444);
    EXPECT_EQ(shooting.SaveExif(jpeg).code(), ExifError::CannotWrite);
    EXPECT_TRUE(shooting.warnings().empty());
    ::chmod(jpeg.c_str(), 0644);
    EXPECT_TRUE(shooting.SaveExif(jpeg).ok());
    EXPECT_TRUE(m_messages.texts().empty());
}

TEST_F(ExifErrors, ScanBoxesComeWithTheFailureTheyCaused)
{
    // Bytes after EOI and no Exif segment before the scan data: the scan runs off the end.
    const std::string padded = file("padded.jpg", concat({kSoi, kAdobe, kScan, kEoi, {0}}));
    ExifData exif;
    const ExifStatus loaded = exif.LoadExif(padded);
    EXPECT_EQ(loaded.code(), ExifError::BadJpeg);
    ASSERT_FALSE(exif.warnings().empty());
    EXPECT_EQ(exif.warnings()[0].code, ExifError::TooManyPaddingBytes);
    EXPECT_TRUE(exif.fileStatus().HasPath());

    ExifData shooting;
    test::fillShootingModel(shooting);
    EXPECT_EQ(shooting.SaveExif(padded).code(), ExifError::BadJpeg);
    ASSERT_FALSE(shooting.warnings().empty());
    for (const ExifFailure& box : shooting.warnings())
        EXPECT_EQ(box.code, ExifError::TooManyPaddingBytes);
    EXPECT_EQ(ExifData().DeleteExif(padded).code(), ExifError::BadJpeg);

    // The next operation starts with no boxes of its own.
    const std::string jpeg = m_dir.file("photo.jpg");
    ASSERT_TRUE(test::writePicture(jpeg));
    EXPECT_TRUE(shooting.SaveExif(jpeg).ok());
    EXPECT_TRUE(shooting.warnings().empty());
    EXPECT_TRUE(m_messages.texts().empty());
}

TEST_F(ExifErrors, LoadsAndDeletesSayWhyTheyFailed)
{
    ExifData exif;
    const std::string missing = m_dir.file("missing.jpg");
    EXPECT_EQ(exif.LoadExif(missing).code(), ExifError::CannotRead);
    EXPECT_FALSE(exif.fileStatus().HasPath());
    EXPECT_EQ(exif.LoadExif(file("a.bmp", {'B', 'M'})).code(), ExifError::NotJpegOrTiff);
    const std::string plain = m_dir.file("plain.jpg");
    ASSERT_TRUE(test::writePicture(plain));
    EXPECT_EQ(exif.LoadExif(plain).code(), ExifError::NoExifData);
    EXPECT_TRUE(exif.fileStatus().HasPath());

    EXPECT_EQ(exif.DeleteExif(missing).code(), ExifError::CannotRead);
    EXPECT_EQ(exif.DeleteExif(file("a.gif", {1})).code(), ExifError::NotJpegOrTiff);
    EXPECT_TRUE(exif.DeleteExif(plain).ok());  // nothing to delete is no failure
    EXPECT_TRUE(m_messages.texts().empty());
}

}  // namespace
}  // namespace tavelune
