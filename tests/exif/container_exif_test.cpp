// EXIF data of camera raws, HEIF and WebP files made at test time.
#include <gtest/gtest.h>

#include <cstdlib>

#include "engine/raw_codec.h"
#include "engine/webp_codec.h"
#include "exif/container_exif.h"
#include "exif/exif_data.h"
#include "exif/exif_list.h"
#include "support/test_dng.h"
#include "support/test_heif.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

Image smallPicture()
{
    Image image;
    image.create(48, 32, 72.0f);  // LibRaw takes no raw under 22 pixels a side
    image.fill(0xFF806040);
    return image;
}

std::string listed(const std::vector<ExifListRow>& rows, const std::string& name)
{
    for (const auto& row : rows)
        if (row.kind == ExifListRow::Kind::Entry && row.name == name)
            return row.value;
    return "(absent)";
}

TEST(ContainerExif, RawsThatAreTiffFilesAreReadByOurParser)
{
    test::TempDir dir;
    test::TestDngOptions options;
    options.orientation = 6;
    const std::string dng = dir.file("shot.dng");
    ASSERT_TRUE(test::writeTestDng(dng, smallPicture(), options));
    // An Olympus-style header ("IIRO" in place of 42) over the same directories.
    auto bytes = test::readFileBytes(dng);
    bytes[2] = 'R';
    bytes[3] = 'O';
    const std::string orf = dir.file("shot.orf");
    test::writeFileBytes(orf, bytes);
    for (const std::string& path : {dng, orf}) {
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(path)) << path;
        EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Tavelune") << path;
        EXPECT_EQ(exif.GetNumber(kIfd0, 274, 0), 6) << path;
        EXPECT_NEAR(exif.GetNumber(kExifIfd, 33437, 0), 5.6, 1e-6) << path;
        EXPECT_DOUBLE_EQ(exif.GetNumber(kExifIfd, 34855, 0), 200) << path;
        // The image-structure tags come along, as for any TIFF file.
        EXPECT_NE(exif.FindEntry(kIfd0, 50706), nullptr) << path;
        const auto rows = buildExifListRows(exif, "en_US");
        EXPECT_EQ(listed(rows, "Model"), "Test Camera") << path;
        EXPECT_NE(listed(rows, "ExposureTime"), "(absent)") << path;
        EXPECT_TRUE(exif.fileStatus().HasPath());
    }
}

TEST(ContainerExif, OtherRawsGetTheModelLibRawReports)
{
    test::TempDir dir;
    // LibRaw goes by the contents, so a DNG named as a CR3 takes the road of a raw that is
    // not a TIFF file.
    const std::string path = dir.file("shot.cr3");
    ASSERT_TRUE(test::writeTestDng(path, smallPicture(), {6, true, false}));
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(path));
    EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Tavelune");
    EXPECT_EQ(exif.GetText(kIfd0, 272, "en_US"), "Test Camera");
    EXPECT_EQ(exif.GetText(kIfd0, 315, "en_US"), "Test Artist");
    EXPECT_EQ(exif.GetNumber(kIfd0, 274, 0), 6);
    EXPECT_DOUBLE_EQ(exif.GetNumber(kExifIfd, 33434, 0), 1.0 / 125);
    EXPECT_DOUBLE_EQ(exif.GetNumber(kExifIfd, 33437, 0), 5.6);
    EXPECT_DOUBLE_EQ(exif.GetNumber(kExifIfd, 34855, 0), 200);
    EXPECT_DOUBLE_EQ(exif.GetNumber(kExifIfd, 37386, 0), 35);
    EXPECT_EQ(exif.GetText(kExifIfd, 36867, "en_US"), "2024:05:06 07:08:09");
    EXPECT_EQ(exif.FindEntry(kIfd0, 50706), nullptr);  // no structure tags on this road
}

TEST(ContainerExif, ShotValuesLibRawDoesNotKnowAreLeftOut)
{
    RawShotInfo shot;
    shot.make = "Maker";
    shot.exposureTime = 2.5;  // a long exposure is not written as 1/n
    const auto entries = exifEntriesFromShot(shot);
    ExifData exif;
    for (const auto& entry : entries) {
        auto copy = std::make_unique<ExifEntry>(*entry);
        exif.entries().push_back(std::move(copy));
    }
    EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Maker");
    EXPECT_DOUBLE_EQ(exif.GetNumber(kExifIfd, 33434, 0), 2.5);
    EXPECT_EQ(exif.FindEntry(kIfd0, 272), nullptr);
    EXPECT_EQ(exif.FindEntry(kExifIfd, 34855), nullptr);
    EXPECT_EQ(exif.FindEntry(kExifIfd, 36867), nullptr);
    EXPECT_NE(exif.FindEntry(kIfd0, 274), nullptr);  // orientation 1 is known
}

TEST(ContainerExif, HeifAndWebpCarryTheirExifBlock)
{
    test::TempDir dir;
    test::TestHeifOptions heif;
    heif.exif = test::testExifBlock("Tavelune", "Phone", 1);
    const std::string heic = dir.file("phone.heic"), avif = dir.file("phone.avif");
    ASSERT_TRUE(test::writeTestHeif(heic, smallPicture(), heif));
    heif.avif = true;
    ASSERT_TRUE(test::writeTestHeif(avif, smallPicture(), heif));
    const std::string plain = dir.file("plain.webp"), webp = dir.file("tagged.webp");
    ASSERT_TRUE(WebpCodec().write(plain, smallPicture(), 80));
    test::writeFileBytes(dir.file("exif.bin"), heif.exif);
    ASSERT_EQ(std::system(("webpmux -set exif " + dir.file("exif.bin") + " " + plain + " -o " +
                           webp + " >/dev/null 2>&1")
                              .c_str()),
              0);
    for (const std::string& path : {heic, avif, webp}) {
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(path)) << path;
        EXPECT_EQ(exif.GetText(kIfd0, 272, "en_US"), "Phone") << path;
        EXPECT_DOUBLE_EQ(exif.GetNumber(kExifIfd, 33437, 0), 4) << path;
    }
    // Without EXIF data the model is empty but still names the file.
    ExifData none;
    EXPECT_FALSE(none.LoadExif(plain));
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_TRUE(none.fileStatus().HasPath());
}

}  // namespace
}  // namespace tavelune
