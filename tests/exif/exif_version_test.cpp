// Writes never lower ExifVersion: files that say 0230 or later keep it, the rest get 0221.
#include "exif/exif_version.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>

#include "exif/exif_editor_model.h"
#include "exif/exif_tags.h"
#include "support/cli_runner.h"
#include "support/test_support.h"
#include "tiff_builder.h"
#include "write_support.h"

namespace tavelune {
namespace {

std::string versionOf(const ExifData& exif)
{
    const ExifEntry* entry = exif.FindEntry(kExifIfd, kTagExifVersion);
    return entry == nullptr ? "" : std::string(entry->value().begin(), entry->value().end());
}

TEST(ExifVersion, KeepsLaterVersionsAndRaisesTheRest)
{
    const struct {
        std::uint16_t type;
        std::string stored;  // the entry's bytes; empty for a new entry
        std::string written;
    } cases[] = {
        {kUndefined, "0232", "0232"}, {kUndefined, "0230", "0230"},
        {kUndefined, "0300", "0300"}, {kAscii, std::string("0231\0", 5), "0231"},
        {kUndefined, "0220", "0221"}, {kUndefined, "0221", "0221"},
        {kUndefined, "0100", "0221"}, {kUndefined, "02x3", "0221"},
        {kUndefined, "23", "0221"},   {kShort, "0232", "0221"},
        {kUndefined, "", "0221"},
    };
    for (const auto& c : cases) {
        ExifData exif;
        ExifEntry* entry = exif.FindEntry(kExifIfd, kTagExifVersion, EntryLookup::Create);
        ASSERT_NE(entry, nullptr);
        if (!c.stored.empty())
            ASSERT_TRUE(setTypedBytes(entry, c.type,
                                      reinterpret_cast<const std::uint8_t*>(c.stored.data()),
                                      static_cast<std::uint32_t>(c.stored.size())));
        ASSERT_TRUE(storeExifVersion(entry));
        EXPECT_EQ(versionOf(exif), c.written) << c.stored;
        EXPECT_EQ(entry->type(), kUndefined);
        EXPECT_EQ(entry->count(), 4u);
    }
    EXPECT_FALSE(storeExifVersion(nullptr));
}

// A real JPEG whose EXIF has the given version (none when empty), and an OffsetTime where
// the version defines it.
void writeJpeg(const std::string& path, const std::string& version)
{
    ASSERT_TRUE(test::writePicture(path));
    test::TiffBuilder builder(exif::kIntel);
    builder.addAscii(kIfd0, 271, "Canon")
        .addRationals(kIfd0, 282, {{72, 1}})
        .addRationals(kIfd0, 283, {{72, 1}})
        .addShorts(kIfd0, 296, {2})
        .addShorts(kIfd0, 531, {1})
        .addRationals(kExifIfd, 33434, {{1, 250}});
    if (!version.empty())
        builder.addUndefined(kExifIfd, 36864, test::Bytes(version.begin(), version.end()));
    builder.addAscii(kExifIfd, 36867, "2024:05:01 10:30:00");
    if (version >= "0231")
        builder.addAscii(kExifIfd, 36880, "+02:00");
    builder.addUndefined(kExifIfd, 37121, {1, 2, 3, 0})
        .addUndefined(kExifIfd, 40960, {'0', '1', '0', '0'})
        .addShorts(kExifIfd, 40961, {1});
    const test::Bytes tiff = builder.build().bytes;
    test::Bytes file = test::readFileBytes(path);
    const test::Bytes wrapped = test::jpegWithExif(tiff);
    // The wrapper's APP1 goes after the codec's JFIF segment.
    const std::size_t app1 = 2 + 2 + (std::size_t(wrapped[4]) << 8 | wrapped[5]);
    const std::size_t at = file[3] == 0xE0 ? 4 + (std::size_t(file[4]) << 8 | file[5]) : 2;
    file.insert(file.begin() + static_cast<std::ptrdiff_t>(at), wrapped.begin() + 2,
                wrapped.begin() + static_cast<std::ptrdiff_t>(app1));
    test::writeFileBytes(path, file);
}

// What exiftool's validation warns of, less the non-standard tag this program writes on
// every store (ExtendSoftware).
std::set<std::string> validationWarnings(const std::string& path)
{
    std::set<std::string> warnings;
    std::istringstream lines(
        test::commandOutput("exiftool -validate -warning -a -s -s " + test::shellQuote(path)));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Warning: ", 0) == 0 && line.find("0xafc0") == std::string::npos)
            warnings.insert(line);
    return warnings;
}

TEST(ExifVersion, WritesKeepAVersionThatTheTagsNeed)
{
    const bool haveExiftool = test::haveTool("exiftool");
    test::TempDir dir;
    const struct {
        std::string version;
        std::string written;
    } cases[] = {{"0232", "0232"}, {"0220", "0221"}, {"", "0221"}};
    for (const auto& c : cases) {
        for (const bool viaCli : {true, false}) {
            SCOPED_TRACE(c.version + (viaCli ? " exif set" : " writer"));
            const std::string path = dir.file("shot" + c.version + (viaCli ? "c" : "w") + ".jpg");
            writeJpeg(path, c.version);
            const std::set<std::string> before =
                haveExiftool ? validationWarnings(path) : std::set<std::string>{};
            if (viaCli) {
                const test::CliResult result =
                    test::runTaveluneCli("exif set " + test::shellQuote(path) + " Artist=Ann");
                ASSERT_EQ(result.status, 0) << result.err;
            } else {
                ExifData exif;
                ASSERT_TRUE(exif.LoadExif(path));
                ExifEditorModel editor(exif, {24, 16, 72}, "en_US");
                editor.fields().artist = "Ann";
                ASSERT_TRUE(editor.Store(EditorFieldSet().set(size_t(EditorField::Artist))));
                ASSERT_TRUE(exif.SaveExif(path));
            }
            ExifData back;
            ASSERT_TRUE(back.LoadExif(path));
            EXPECT_EQ(versionOf(back), c.written);
            EXPECT_EQ(back.GetText(kIfd0, 315, "en_US"), "Ann");
            if (c.version >= "0231") {
                ASSERT_NE(back.FindEntry(kExifIfd, 36880), nullptr);
                EXPECT_EQ(back.FindEntry(kExifIfd, 36880)->ValueText(), "+02:00");
            }
            if (haveExiftool) {
                for (const std::string& warning : validationWarnings(path))
                    EXPECT_TRUE(before.count(warning)) << "new warning: " << warning;
            }
        }
    }
}

}  // namespace
}  // namespace tavelune
