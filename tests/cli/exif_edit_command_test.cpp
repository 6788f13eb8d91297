// tavelune-cli exif set / delete and convert's EXIF keeping, run as a program.
#include <gtest/gtest.h>

#include <tuple>

#include "exif/byte_order.h"
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

// The sample photo with a location added, written by our own writer.
std::string locatedCopy(const test::TempDir& dir, const std::string& name, bool withLocation)
{
    const std::string path = dir.file(name);
    test::writeFileBytes(path, test::readFileBytes(test::samplePath("coffee-exif.jpg")));
    ExifData exif;
    EXPECT_TRUE(exif.LoadExif(path));
    if (withLocation) {
        const std::uint8_t version[] = {2, 3, 0, 0}, north[] = {'N', 0};
        const std::uint8_t latitude[] = {48, 0, 0, 0, 1,  0, 0, 0, 51, 0, 0, 0,
                                         1,  0, 0, 0, 29, 0, 0, 0, 1,  0, 0, 0};
        for (auto [tag, type, count, bytes] : {std::tuple{0, kByte, 4, version},
                                               {1, kAscii, 2, north},
                                               {2, kRational, 3, latitude}}) {
            auto entry = std::make_unique<ExifEntry>();
            EXPECT_TRUE(entry->SetFromRaw(kGpsIfd, static_cast<std::uint16_t>(tag), type,
                                          static_cast<std::uint32_t>(count), bytes, exif::kIntel));
            exif.entries().push_back(std::move(entry));
        }
    }
    EXPECT_TRUE(exif.SaveExif(path));
    return path;
}

// The listing without the rows that differ from one file to the next.
std::string entryRows(const std::string& listing)
{
    std::string rows;
    std::size_t at = 0;
    while (at < listing.size()) {
        std::size_t end = listing.find('\n', at);
        end = end == std::string::npos ? listing.size() : end + 1;
        const std::string line = listing.substr(at, end - at);
        if (!line.starts_with("File name") && !line.starts_with("File size") &&
            !line.starts_with("Time stamp"))
            rows += line;
        at = end;
    }
    return rows;
}

TEST(ExifEditCommand, TheLocationIsCarriedButNotListed)
{
    test::TempDir dir;
    const std::string plain = locatedCopy(dir, "plain.jpg", false);
    const std::string located = locatedCopy(dir, "located.jpg", true);
    const std::string quoted = test::shellQuote(located);
    const test::CliResult list = test::runTaveluneCli("exif --lang en_US " + quoted);
    ASSERT_EQ(list.status, 0);
    EXPECT_EQ(entryRows(list.out),
              entryRows(test::runTaveluneCli("exif --lang en_US " + test::shellQuote(plain)).out));
    EXPECT_TRUE(
        has(test::runTaveluneCli("exif --json " + quoted).out, "{\"ifd\":34853,\"tag\":2,"));

    const test::CliResult set = test::runTaveluneCli("exif set " + quoted + " Make=Nikon");
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_TRUE(has(set.out, "Make: Canon -> Nikon")) << set.out;
    EXPECT_FALSE(has(set.out, "0x000")) << set.out;
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(located));
    ASSERT_NE(exif.FindEntry(kGpsIfd, 2), nullptr);
    EXPECT_EQ(exif.FindEntry(kGpsIfd, 2)->GetFraction(2).numerator, 29);
    EXPECT_EQ(exif.FindEntry(kGpsIfd, 0)->value(), (std::vector<std::uint8_t>{2, 3, 0, 0}));

    const std::string converted = dir.file("converted.jpg");
    ASSERT_EQ(
        test::runTaveluneCli("convert --no-film " + quoted + " " + test::shellQuote(converted))
            .status,
        0);
    ExifData kept;
    ASSERT_TRUE(kept.LoadExif(converted));
    ASSERT_NE(kept.FindEntry(kGpsIfd, 1), nullptr);
    EXPECT_EQ(kept.FindEntry(kGpsIfd, 1)->ValueText(), "N");

    const test::CliResult deleted = test::runTaveluneCli("exif delete " + quoted);
    ASSERT_EQ(deleted.status, 0) << deleted.err;
    EXPECT_FALSE(has(deleted.out, "0x000")) << deleted.out;
    EXPECT_FALSE(exif.LoadExif(located));
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
