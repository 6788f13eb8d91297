// What we write, read by exiftool and exiv2: valid files and the values we put in. Skipped
// where the tools are not installed (CI does not install them).
#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <sstream>

#include "exif/keep_exif.h"
#include "support/cli_runner.h"
#include "support/test_support.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Values = std::map<std::string, std::string>;

std::string hexTag(std::uint16_t tag)
{
    char text[8];
    std::snprintf(text, sizeof text, "0x%04x", tag);
    return text;
}

// "[IFD0] 0x010f Make: Canon" -> {"IFD0 0x010f", "Canon"}
Values exiftoolValues(const std::string& path)
{
    Values values;
    std::istringstream lines(
        test::commandOutput("exiftool -S -n -u -a -G1 -H -IFD0:all -ExifIFD:all "
                            "-InteropIFD:all " +
                            test::shellQuote(path)));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t close = line.find("] "), colon = line.find(": ");
        if (line.empty() || line[0] != '[' || close == std::string::npos ||
            colon == std::string::npos)
            continue;
        const std::string id = line.substr(close + 2, 6);
        values[line.substr(1, close - 1) + " " + id] = line.substr(colon + 2);
    }
    return values;
}

// "0x010f Image        Canon" -> {"Image 0x010f", "Canon"}
Values exiv2Values(const std::string& path)
{
    Values values;
    std::istringstream lines(
        test::commandOutput("exiv2 -u -Pxgv " + test::shellQuote(path) + " 2>/dev/null"));
    for (std::string line; std::getline(lines, line);) {
        std::istringstream fields(line);
        std::string id, group;
        fields >> id >> group;
        std::string value;
        std::getline(fields, value);
        value.erase(0, value.find_first_not_of(' '));
        values[group + " " + id] = value;
    }
    return values;
}

void expectPeersRead(const ExifData& model, const std::string& path)
{
    const std::string validation = test::commandOutput("exiftool -validate -warning -error -a " +
                                                       test::shellQuote(path) + " 2>&1");
    EXPECT_EQ(validation.find("Error"), std::string::npos) << path << "\n" << validation;
    EXPECT_NE(validation.find("Validate"), std::string::npos) << validation;
    const Values tool = exiftoolValues(path);
    const Values exiv2 = exiv2Values(path);
    int compared = 0;
    for (const auto& entry : model.entries()) {
        if (entry->ifd() == kMakerNoteIfd || entry->type() == kUndefined)
            continue;
        const char* toolGroup = entry->ifd() == kIfd0      ? "IFD0"
                                : entry->ifd() == kExifIfd ? "ExifIFD"
                                                           : "InteropIFD";
        const char* exivGroup = entry->ifd() == kIfd0      ? "Image"
                                : entry->ifd() == kExifIfd ? "Photo"
                                                           : "Iop";
        const auto a = tool.find(std::string(toolGroup) + " " + hexTag(entry->tag()));
        const auto b = exiv2.find(std::string(exivGroup) + " " + hexTag(entry->tag()));
        ASSERT_NE(a, tool.end()) << path << " exiftool lacks " << entry->tag();
        ASSERT_NE(b, exiv2.end()) << path << " exiv2 lacks " << entry->tag();
        if (entry->type() == kAscii) {
            EXPECT_EQ(a->second, entry->ValueText()) << entry->tag();
            EXPECT_EQ(b->second, entry->ValueText()) << entry->tag();
        } else if (entry->type() == kRational || entry->type() == kSRational) {
            const ExifEntry::Fraction f = entry->GetFraction(0);
            EXPECT_NEAR(std::stod(a->second), entry->GetNumber(0), 1e-9) << entry->tag();
            EXPECT_EQ(b->second, std::to_string(f.numerator) + "/" + std::to_string(f.denominator))
                << entry->tag();
        } else {
            EXPECT_EQ(std::stod(a->second), entry->GetNumber(0)) << entry->tag();
            EXPECT_EQ(std::stod(b->second), entry->GetNumber(0)) << entry->tag();
        }
        ++compared;
    }
    EXPECT_GT(compared, 20);
}

TEST(WritePeers, ExiftoolAndExiv2ReadWhatWeWrite)
{
    if (!test::haveTool("exiftool") || !test::haveTool("exiv2"))
        GTEST_SKIP() << "exiftool or exiv2 is not installed";
    test::TempDir dir;
    for (const char* name : {"jfif.jpg", "exif.jpg", "plain.tif", "lzw.tif"}) {
        const std::string path = dir.file(name);
        const bool tiff = std::string(name).ends_with(".tif");
        ASSERT_TRUE(test::writePicture(path, std::string(name) == "lzw.tif" ? 5 : tiff ? 1 : 90));
        ExifData model;
        test::fillShootingModel(model);
        setTextValue(model.FindEntry(kIfd0, 315, EntryLookup::Create), "Ann Example");
        setShortValue(model.FindEntry(kExifIfd, 37385, EntryLookup::Create), 25);
        if (std::string(name) == "exif.jpg") {
            ASSERT_TRUE(writeKeptExif(model, path));  // over the JFIF segment first
        }
        ASSERT_TRUE(model.SaveExif(path)) << name;
        ExifData written;
        ASSERT_TRUE(written.LoadExif(path));
        // A TIFF keeps its own layout; only the model's entries are compared.
        for (const auto& entry : model.entries()) {
            if (!(tiff && entry->ifd() == kIfd0 && entry->tag() == 274)) {
                EXPECT_NE(written.FindEntry(entry->ifd(), entry->tag()), nullptr) << entry->tag();
            }
        }
        model.RemoveEntry(kIfd0, 274);
        expectPeersRead(model, path);
    }
}

TEST(WritePeers, ExiftoolFindsNothingAfterDelete)
{
    if (!test::haveTool("exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    test::TempDir dir;
    for (const char* name : {"a.jpg", "a.tif"}) {
        const std::string path = dir.file(name);
        ASSERT_TRUE(test::writePicture(path, 1));
        ExifData model;
        test::fillShootingModel(model);
        ASSERT_TRUE(model.SaveExif(path));
        ASSERT_TRUE(model.DeleteExif(path));
        const std::string out = test::commandOutput(
            "exiftool -validate -warning -error -a -S -ExifIFD:all "
            "-IFD0:Make " +
            test::shellQuote(path) + " 2>&1");
        EXPECT_EQ(out.find("Error"), std::string::npos) << out;
        EXPECT_EQ(out.find("Make"), std::string::npos) << out;
        EXPECT_EQ(out.find("ExposureTime"), std::string::npos) << out;
    }
}

TEST(KeepExif, MarksTheSoftwareAndTurnsOrientationUpright)
{
    test::TempDir dir;
    const std::string path = dir.file("out.jpg");
    for (bool upright : {true, false}) {
        ASSERT_TRUE(test::writePicture(path));
        ExifData exif;
        test::fillShootingModel(exif);  // Orientation 6, no Software
        ASSERT_TRUE(writeKeptExif(exif, path, upright));
        ExifData back;
        ASSERT_TRUE(back.LoadExif(path));
        EXPECT_EQ(back.GetNumber(kIfd0, 274, 0), upright ? 1 : 6);
        const ExifEntry* software = back.FindEntry(kIfd0, 305);
        ASSERT_NE(software, nullptr);
        EXPECT_EQ(software->count(), 15u);  // with its terminating zero
        EXPECT_EQ(software->ValueText(), "Tavelune 1.6.2");
        EXPECT_EQ(back.GetText(kExifIfd, 44992, "en_US"), "Tavelune 1.6.2");
    }
    // Orientation is not created when the source had none; an empty model writes nothing.
    ASSERT_TRUE(test::writePicture(path));
    const auto plain = test::readFileBytes(path);
    ExifData empty;
    EXPECT_FALSE(writeKeptExif(empty, path));
    EXPECT_EQ(test::readFileBytes(path), plain);
    ExifData exif;
    setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "Canon");
    ASSERT_TRUE(writeKeptExif(exif, path));
    ExifData back;
    ASSERT_TRUE(back.LoadExif(path));
    EXPECT_EQ(back.FindEntry(kIfd0, 274), nullptr);
}

}  // namespace
}  // namespace tavelune
