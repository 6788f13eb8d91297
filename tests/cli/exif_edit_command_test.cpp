// tavelune-cli exif set / delete and convert's EXIF keeping, run as a program.
#include <gtest/gtest.h>

#include "exif/exif_data.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

TEST(ExifEditCommand, SetReportsChangesAndRefusesBadValues)
{
    test::TempDir dir;
    const std::string path = dir.file("photo.jpg");
    test::writeFileBytes(path, test::readFileBytes(test::samplePath("coffee-exif.jpg")));
    const std::string quoted = test::shellQuote(path);

    const test::CliResult set = test::runTaveluneCli(
        "exif set --backup " + quoted +
        " ExposureTime=1/250 FNumber=8 'Lens=Canon EF 50/1.8' "
        "'DateTimeOriginal=2024:06:01 09:15:00' Flash=25 iso=800 SubjectDistance=inf");
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_TRUE(has(set.out, "ExposureTime: 1/125\" -> 1/250\"")) << set.out;
    EXPECT_TRUE(has(set.out, "Lens: (none) -> Canon EF 50/1.8")) << set.out;
    EXPECT_EQ(test::readFileBytes(path + "~"),
              test::readFileBytes(test::samplePath("coffee-exif.jpg")));
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(path));
    EXPECT_EQ(exif.FindEntry(kExifIfd, 33434)->GetFraction(0).denominator, 250000);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 33437, 0), 8);
    EXPECT_EQ(exif.GetText(kExifIfd, 36867, "en_US"), "2024:06:01 09:15:00");
    EXPECT_EQ(exif.GetNumber(kExifIfd, 37385, 0), 25);
    EXPECT_EQ(exif.GetNumber(kExifIfd, 34855, 0), 800);
    EXPECT_EQ(exif.GetText(kExifIfd, 37382, "en_US"), "Infinity");
    EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Canon");  // not named: untouched

    const auto before = test::readFileBytes(path);
    const char* refused[] = {"FNumber=5.678",
                             "ExposureTime=-1",
                             "Flash=Sometimes",
                             "Bogus=1",
                             "'DateTime=2024:13:01 00:00:00'",
                             "ISO"};
    for (const char* assignment : refused) {
        const test::CliResult bad =
            test::runTaveluneCli("exif set " + quoted + " Make=X " + assignment);
        EXPECT_EQ(bad.status, 2) << assignment;
        EXPECT_EQ(test::readFileBytes(path), before) << assignment;
    }
    EXPECT_TRUE(
        has(test::runTaveluneCli("exif set " + quoted + " FNumber=5.678").err, "2 decimals"));
    EXPECT_EQ(
        test::runTaveluneCli("exif set " + test::shellQuote(dir.file("a.png")) + " Make=X").status,
        2);
}

TEST(ExifEditCommand, DeleteAndListStillWork)
{
    test::TempDir dir;
    const std::string path = dir.file("photo.jpg");
    test::writeFileBytes(path, test::readFileBytes(test::samplePath("coffee-exif.jpg")));
    const test::CliResult deleted = test::runTaveluneCli("exif delete " + test::shellQuote(path));
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_TRUE(has(deleted.out, "Make: Canon -> (none)")) << deleted.out;
    ExifData exif;
    EXPECT_FALSE(exif.LoadExif(path));
    EXPECT_TRUE(
        has(test::runTaveluneCli("exif delete " + test::shellQuote(path)).out, "nothing changed"));
    const test::CliResult list =
        test::runTaveluneCli("exif --lang en_US " + test::shellQuote(path));
    EXPECT_EQ(list.status, 0);
    EXPECT_TRUE(has(list.out, "No EXIF data"));
}

TEST(ExifEditCommand, ConvertKeepsExifUnlessAsked)
{
    test::TempDir dir;
    const std::string source = test::shellQuote(test::samplePath("coffee-exif.jpg"));
    const std::string kept = dir.file("kept.jpg"), dropped = dir.file("dropped.jpg");
    ASSERT_EQ(
        test::runTaveluneCli("convert --no-film " + source + " " + test::shellQuote(kept)).status,
        0);
    ASSERT_EQ(test::runTaveluneCli("convert --no-film --no-exif " + source + " " +
                                   test::shellQuote(dropped))
                  .status,
              0);
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(kept));
    EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Canon");
    EXPECT_EQ(exif.GetText(kIfd0, 305, "en_US"), "Tavelune 1.6.2");
    EXPECT_EQ(exif.GetText(kExifIfd, 44992, "en_US"), "Tavelune 1.6.2");
    EXPECT_FALSE(exif.LoadExif(dropped));
}

}  // namespace
}  // namespace tavelune
