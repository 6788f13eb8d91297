// tavelune-cli exif set / delete and convert's EXIF keeping, run as a program.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <tuple>
#include <vector>

#include "exif/byte_order.h"
#include "engine/bmp_codec.h"
#include "engine/webp_codec.h"
#include "exif/exif_data.h"
#include "support/cli_runner.h"
#include "support/test_dng.h"
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

TEST(ExifEditCommand, FilesWithoutInPlaceExifAreRefusedByNameAndKeptAsTheyAre)
{
    test::TempDir dir;
    Image picture;
    picture.create(24, 16, 72.0f);
    picture.fill(0xFF406080);
    const std::string raw = dir.file("shot.dng"), webp = dir.file("shot.webp"),
                      bmp = dir.file("shot.bmp");
    ASSERT_TRUE(test::writeTestDng(raw, picture));
    ASSERT_TRUE(WebpCodec().write(webp, picture, 90));
    ASSERT_TRUE(BmpCodec().write(bmp, picture, 0));
    const struct {
        std::string path;
        const char* reason;
    } cases[] = {
        {raw, "is a camera raw file: raw files are never rewritten"},
        {webp, "is kept as it is: EXIF data is changed only in JPEG and TIFF files"},
        {bmp, "is not a .jpg, .jpeg, .tif or .tiff file"},
    };
    for (const auto& c : cases) {
        const auto before = test::readFileBytes(c.path);
        for (const std::string verb : {"set", "delete"}) {
            const test::CliResult result = test::runTaveluneCli(
                "exif " + verb + " " + test::shellQuote(c.path) + (verb == "set" ? " Make=X" : ""));
            EXPECT_EQ(result.status, 2) << verb << " " << c.path;
            EXPECT_EQ(result.err, "tavelune-cli exif " + verb + ": '" + c.path + "' " + c.reason +
                                      "\n");
            EXPECT_EQ(test::readFileBytes(c.path), before) << verb << " " << c.path;
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()),
                            std::filesystem::directory_iterator()),
              3);  // nothing left behind
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
    // A WebP carries it in its EXIF chunk, which other programs read too.
    for (const std::string kind : {"jpg", "webp"}) {
        const std::string kept = dir.file("kept." + kind), dropped = dir.file("dropped." + kind);
        ASSERT_EQ(
            test::runTaveluneCli("convert --no-film " + source + " " + test::shellQuote(kept))
                .status,
            0);
        ASSERT_EQ(test::runTaveluneCli("convert --no-film --no-exif " + source + " " +
                                       test::shellQuote(dropped))
                      .status,
                  0);
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(kept)) << kind;
        EXPECT_EQ(exif.GetText(kIfd0, 271, "en_US"), "Canon");
        EXPECT_EQ(exif.GetText(kIfd0, 305, "en_US"), "Tavelune 1.6.2");
        EXPECT_EQ(exif.GetText(kExifIfd, 44992, "en_US"), "Tavelune 1.6.2");
        ExifData none;
        EXPECT_TRUE(!none.LoadExif(dropped) || none.IsEmpty()) << kind;
        if (kind == "webp") {
            const test::CliResult peer =
                test::runCliProgram("exiftool", "-s -s -s -Make -Software " + test::shellQuote(kept));
            EXPECT_EQ(peer.out, "Canon\nTavelune 1.6.2\n");
            Image picture;
            EXPECT_TRUE(WebpCodec().read(kept, picture));
            EXPECT_EQ(picture.width(), 600);
        }
    }
}

std::string copySample(const test::TempDir& dir, const std::string& name, const char* sample)
{
    const std::string path = dir.file(name);
    test::writeFileBytes(path, test::readFileBytes(test::samplePath(sample)));
    return path;
}

TEST(ExifEditCommand, TwoWritersAtOnceBothLand)
{
    test::TempDir dir;
    const std::string cli = TAVELUNE_CLI_PATH;
    for (int round = 0; round < 40; ++round) {
        const std::string path = copySample(dir, "photo.jpg", "coffee-exif.jpg");
        const std::string artist = "Artist" + std::to_string(round);
        const std::string owner = "Owner" + std::to_string(round);
        const std::string quoted = test::shellQuote(path);
        const std::string script = cli + " exif set " + quoted + " Artist=" + artist +
                                   " >/dev/null 2>&1 & " + cli + " exif set " + quoted +
                                   " Copyright=" + owner + " >/dev/null 2>&1 & wait";
        ASSERT_EQ(std::system(("sh -c " + test::shellQuote(script)).c_str()), 0);
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(path));
        EXPECT_EQ(exif.GetText(kIfd0, 315, "en_US"), artist) << "round " << round;
        EXPECT_TRUE(has(exif.GetText(kIfd0, 33432, "en_US"), owner)) << "round " << round;
    }

    // The many-file form edits several files at once in each process; still no change is lost.
    std::string files;
    for (int i = 0; i < 30; ++i)
        files += " " + test::shellQuote(copySample(dir, "p" + std::to_string(i) + ".jpg",
                                                   "coffee-exif.jpg"));
    const std::string script = cli + " exif set Artist=Many --" + files + " >/dev/null 2>&1 & " +
                               cli + " exif set Copyright=Owners --" + files +
                               " >/dev/null 2>&1 & wait";
    ASSERT_EQ(std::system(("sh -c " + test::shellQuote(script)).c_str()), 0);
    for (int i = 0; i < 30; ++i) {
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(dir.file("p" + std::to_string(i) + ".jpg")));
        EXPECT_EQ(exif.GetText(kIfd0, 315, "en_US"), "Many") << i;
        EXPECT_TRUE(has(exif.GetText(kIfd0, 33432, "en_US"), "Owners")) << i;
    }
}

TEST(ExifEditCommand, ASymbolicLinkIsFollowedAndStays)
{
    test::TempDir dir;
    const std::string target = copySample(dir, "photo.jpg", "coffee-exif.jpg");
    const std::string link = dir.file("link.jpg");
    std::filesystem::create_symlink("photo.jpg", link);
    const test::CliResult set =
        test::runTaveluneCli("exif set " + test::shellQuote(link) + " Artist=Linked");
    ASSERT_EQ(set.status, 0) << set.err;
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(target));
    EXPECT_EQ(exif.GetText(kIfd0, 315, "en_US"), "Linked");
    ASSERT_EQ(test::runTaveluneCli("exif delete " + test::shellQuote(link)).status, 0);
    EXPECT_TRUE(std::filesystem::is_symlink(link));
    ExifData deleted;
    // The target is still a JPEG it can read, now without EXIF data.
    EXPECT_EQ(deleted.LoadExif(target).code(), ExifError::NoExifData);
    EXPECT_TRUE(deleted.IsEmpty());
}

TEST(ExifEditCommand, AHardLinkedFileIsRefusedWithItsReason)
{
    test::TempDir dir;
    const std::string path = copySample(dir, "photo.jpg", "coffee-exif.jpg");
    std::filesystem::create_hard_link(path, dir.file("other.jpg"));
    const auto before = test::readFileBytes(path);
    for (const char* verb : {"exif set %s Artist=Split", "exif delete %s"}) {
        char command[4096];
        std::snprintf(command, sizeof command, verb, test::shellQuote(path).c_str());
        const test::CliResult run = test::runTaveluneCli(command);
        EXPECT_EQ(run.status, 1) << verb;
        EXPECT_TRUE(has(run.err, "2 hard links")) << run.err;
        EXPECT_EQ(test::readFileBytes(path), before) << verb;
        EXPECT_EQ(std::filesystem::hard_link_count(path), 2u);
    }
}

TEST(ExifEditCommand, AFileWhosePictureCannotBeDecodedIsLeftAlone)
{
    test::TempDir dir;
    // Without EXIF data and cut short; and an end-of-image marker right after the EXIF
    // segment, with the picture behind it.
    std::vector<std::uint8_t> cut = test::readFileBytes(test::samplePath("coffee.jpg"));
    cut.resize(cut.size() / 3);
    std::vector<std::uint8_t> early = test::readFileBytes(test::samplePath("coffee-exif.jpg"));
    std::size_t at = 2;
    while (at + 4 < early.size() && early[at + 1] != 0xE1)
        at += 2 + ((std::size_t{early[at + 2]} << 8) | early[at + 3]);
    ASSERT_EQ(early[at + 1], 0xE1);
    const std::size_t app1End = at + 2 + ((std::size_t{early[at + 2]} << 8) | early[at + 3]);
    early.insert(early.begin() + std::ptrdiff_t(app1End), {0xFF, 0xD9});
    for (const auto& bytes : {cut, early}) {
        const std::string path = dir.file("broken.jpg");
        test::writeFileBytes(path, bytes);
        const test::CliResult set =
            test::runTaveluneCli("exif set " + test::shellQuote(path) + " Artist=Nobody");
        EXPECT_EQ(set.status, 1) << set.err;
        EXPECT_TRUE(has(set.err, "cannot be decoded")) << set.err;
        EXPECT_EQ(test::readFileBytes(path), bytes);
    }

    // A sound file keeps what follows its picture.
    const std::string path = copySample(dir, "trailer.jpg", "coffee-exif.jpg");
    std::vector<std::uint8_t> bytes = test::readFileBytes(path);
    const std::string trailer = "TRAILER-BYTES";
    bytes.insert(bytes.end(), trailer.begin(), trailer.end());
    test::writeFileBytes(path, bytes);
    ASSERT_EQ(test::runTaveluneCli("exif set " + test::shellQuote(path) + " Artist=Kept").status, 0);
    const std::vector<std::uint8_t> after = test::readFileBytes(path);
    ASSERT_GE(after.size(), trailer.size());
    EXPECT_EQ(std::string(after.end() - std::ptrdiff_t(trailer.size()), after.end()), trailer);
}

TEST(ExifEditCommand, ManyFilesReportInOrderAndOnlyTheBadOnesAreLeftAlone)
{
    test::TempDir dir;
    const std::string good1 = copySample(dir, "a.jpg", "coffee-exif.jpg");
    const std::string linked = copySample(dir, "b.jpg", "coffee-exif.jpg");
    std::filesystem::create_hard_link(linked, dir.file("b-link.jpg"));
    const std::string cut = copySample(dir, "c.jpg", "coffee-exif.jpg");
    std::vector<std::uint8_t> cutBytes = test::readFileBytes(cut);
    cutBytes.resize(cutBytes.size() / 2);
    test::writeFileBytes(cut, cutBytes);
    const std::string good2 = copySample(dir, "d.jpg", "coffee.jpg");
    const std::string all = " -- " + test::shellQuote(good1) + " " + test::shellQuote(linked) +
                            " " + test::shellQuote(cut) + " " + test::shellQuote(good2);
    const auto linkedBefore = test::readFileBytes(linked);

    const test::CliResult refused =
        test::runTaveluneCli("exif set Artist=Many 'DateTimeOriginal=yesterday'" + all);
    EXPECT_EQ(refused.status, 2);
    EXPECT_EQ(refused.out, "");
    EXPECT_TRUE(has(refused.err, "DateTimeOriginal='yesterday' refused")) << refused.err;
    EXPECT_EQ(test::readFileBytes(good1), test::readFileBytes(test::samplePath("coffee-exif.jpg")));

    const test::CliResult set = test::runTaveluneCli("exif set --backup Artist=Many" + all);
    EXPECT_EQ(set.status, 1) << set.err;
    const std::vector<std::string> expected = {
        good1 + ": ", linked + ": not written: cannot change", cut + ": not written: the picture",
        good2 + ": ", "2 written, 2 not written"};
    std::vector<std::string> lines;
    for (size_t at = 0, end; (end = set.out.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(set.out.substr(at, end - at));
    ASSERT_EQ(lines.size(), expected.size()) << set.out;
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i].rfind(expected[i], 0), 0u) << lines[i];
    EXPECT_TRUE(has(lines[0], "Artist: Sample Photographer -> Many; ")) << lines[0];
    EXPECT_TRUE(has(lines[3], "Artist: (none) -> Many")) << lines[3];
    EXPECT_TRUE(has(set.err, "2 hard links")) << set.err;
    EXPECT_EQ(test::readFileBytes(linked), linkedBefore);
    EXPECT_EQ(test::readFileBytes(cut), cutBytes);
    EXPECT_FALSE(std::filesystem::exists(cut + "~"));
    EXPECT_EQ(test::readFileBytes(good2 + "~"), test::readFileBytes(test::samplePath("coffee.jpg")));
    for (const std::string& path : {good1, good2}) {
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(path));
        EXPECT_EQ(exif.GetText(kIfd0, 315, "en_US"), "Many") << path;
    }
    const test::CliResult again =
        test::runTaveluneCli("exif set Artist=Many -- " + test::shellQuote(good1));
    EXPECT_EQ(again.status, 0) << again.err;
    EXPECT_EQ(again.out, good1 + ": nothing changed\n1 written, 0 not written\n");
}

}  // namespace
}  // namespace tavelune
