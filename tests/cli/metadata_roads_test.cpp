// Colour profile, XMP and IPTC reach every JPEG and TIFF the command line writes, as exiftool
// reads them. Sources are made here: our own picture, exiftool's metadata. Skipped without
// exiftool.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "support/cli_runner.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using test::shellQuote;

std::string output(const std::string& command)
{
    return test::commandOutput(command);
}

Image gradient(int width, int height)
{
    Image picture;
    picture.create(width, height, 72.0f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            picture.rowFromTop(y)[x] = 0xFF000000u | std::uint32_t(x * 4) << 16 |
                                       std::uint32_t(y * 5) << 8 | 0x60u;
    return picture;
}

// A profile-shaped blob of 150000 bytes: three APP2 chunks in a JPEG.
void writeProfile(const std::string& path)
{
    std::string icc(150000, '\0');
    const unsigned char header[] = {0x00, 0x02, 0x49, 0xF0, 'l', 'c', 'm', 's', 0x02, 0x10,
                                    0,    0,    'm',  'n',  't', 'r', 'R', 'G', 'B', ' ',
                                    'X',  'Y',  'Z',  ' '};
    icc.replace(0, sizeof header, reinterpret_cast<const char*>(header), sizeof header);
    icc.replace(36, 4, "acsp");
    // One private tag over the rest: count 1, then signature, offset 144, size.
    const unsigned char table[] = {0, 0, 0, 1, 'z', 'z', 'z', 'z', 0, 0, 0, 144, 0, 2, 0x49, 0x60};
    icc.replace(128, sizeof table, reinterpret_cast<const char*>(table), sizeof table);
    for (std::size_t i = 144; i < icc.size(); ++i) icc[i] = char((i * 7) & 0xFF);
    std::ofstream(path, std::ios::binary) << icc;
}

const std::string kLongCaption(90000, 'w');  // past one APP1: extended XMP in a JPEG

// The values exiftool reads that must survive, one line each.
std::map<std::string, std::string> carried(const std::string& path)
{
    std::map<std::string, std::string> values;
    std::istringstream lines(output(
        "exiftool -s -s -a -XMP-dc:Creator -XMP-xmp:Rating -XMP-dc:Rights -XMP-dc:Description "
        "-IPTC:Caption-Abstract -IPTC:CopyrightNotice -IPTC:Keywords -IPTC:By-line " +
        shellQuote(path)));
    for (std::string line; std::getline(lines, line);) {
        const auto colon = line.find(": ");
        if (colon != std::string::npos)
            values[line.substr(0, colon)] += line.substr(colon + 2) + ";";
    }
    if (values.count("Description"))  // its length says enough
        values["Description"] = std::to_string(values["Description"].size());
    return values;
}

// The kept EXIF data as exiftool reads it: the camera's tags and ours, in IFD0 and the Exif IFD.
std::string exifOf(const std::string& path)
{
    return output(
        "exiftool -s -s -IFD0:Make -IFD0:Orientation -IFD0:Software -ExifIFD:ExifVersion "
        "-ExifIFD:ColorSpace " +
        shellQuote(path));
}

std::string profileOf(const std::string& path)
{
    return output("exiftool -icc_profile -b " + shellQuote(path));
}

std::set<std::string> warnings(const std::string& path)
{
    std::set<std::string> found;
    std::istringstream lines(output("exiftool -validate -warning -a -s -s " + shellQuote(path)));
    for (std::string line; std::getline(lines, line);)
        if (line.rfind("Warning: ", 0) == 0 && line.find("0xafc0") == std::string::npos)
            found.insert(line);
    return found;
}

// A PNG carries no IPTC of ours (only iCCP, iTXt and eXIf are read).
void addMetadata(const std::string& path, const std::string& profile, const std::string& caption,
                 bool iptc = true)
{
    const std::string command =
        "exiftool -q -q -overwrite_original " + shellQuote("-icc_profile<=" + profile) +
        " -XMP-dc:Creator=Anna -XMP-xmp:Rating=4 '-XMP-dc:Rights=(c) Anna Example' " +
        shellQuote("-XMP-dc:Description<=" + caption) +
        (iptc ? " '-IPTC:Caption-Abstract=A harbour at dawn' '-IPTC:CopyrightNotice=(c) Anna' "
                "-IPTC:Keywords=harbour -IPTC:Keywords=dawn -IPTC:By-line=Anna "
              : " ") +
        "-EXIF:Make=Canon -EXIF:Model=EOS -EXIF:Orientation#=1 -ExifIFD:ExifVersion=0232 "
        "'-ExifIFD:ComponentsConfiguration#=1 2 3 0' -ExifIFD:FlashpixVersion=0100 "
        "-ExifIFD:ColorSpace#=1 -ExifIFD:ExifImageWidth=64 -ExifIFD:ExifImageHeight=48 "
        "-XMP-exif:ExifImageWidth=64 -XMP-exif:ExifImageHeight=48 -XMP-tiff:Orientation#=6 "
        "-XMP-xmp:CreatorTool=Camera -XMP-xmp:ModifyDate=2001:01:01 " +
        shellQuote(path);
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

// A 64 x 48 source of the kind its name says, carrying the profile, the caption in XMP and the
// rest of addMetadata's values. A PSD comes from a fixture: our codecs write none.
std::string makeSource(const test::TempDir& dir, const std::string& name,
                       const std::string& captionText)
{
    const std::string profile = dir.file("big.icc");
    if (!std::filesystem::exists(profile))
        writeProfile(profile);
    const std::string caption = dir.file(name + ".caption");
    std::ofstream(caption) << captionText;
    const std::string path = dir.file(name);
    const std::string type = name.substr(name.rfind('.') + 1);
    if (type == "psd")
        std::filesystem::copy_file(test::fixturePath("codecs/psd-raw3.psd"), path);
    else
        EXPECT_TRUE(saveImage(path, gradient(64, 48), {},
                              type == "jpg"   ? 90
                              : type == "tif" ? 5
                                              : 0));
    addMetadata(path, profile, caption, type != "png");
    return path;
}

TEST(MetadataRoads, EveryOutputCarriesTheSourcesProfileXmpAndIptc)
{
    if (!test::haveTool("exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    test::TempDir dir;
    const std::string jpeg = makeSource(dir, "source.jpg", kLongCaption);
    const std::string tiff = makeSource(dir, "tiffsource.tif", kLongCaption);
    const std::string png = makeSource(dir, "pngsource.png", kLongCaption);
    // Turned by its EXIF data as a JPEG is: the outputs stand upright and say Orientation 1.
    ASSERT_EQ(std::system(("exiftool -q -q -overwrite_original -EXIF:Orientation#=6 " +
                           shellQuote(png)).c_str()),
              0);
    const std::string psd = makeSource(dir, "psdsource.psd", kLongCaption);  // its EXIF is not read

    const struct {
        const char* road;
        std::string source;
        std::string arguments;  // before INPUT OUTPUT
        std::string output;
        bool exif = true;  // the camera's EXIF data kept
    } roads[] = {
        {"strips into JPEG", jpeg, "--no-film", "strips.jpg"},
        {"strips assembled, framed", jpeg, "--border 3", "framed.jpg"},
        {"whole picture into JPEG", jpeg, "--rotate 180", "turned.jpg"},
        {"into TIFF", jpeg, "", "out.tif"},
        {"into TIFF, turned", jpeg, "--rotate 90", "outturned.tif"},
        {"into TIFF without EXIF", jpeg, "--no-exif", "noexif.tif", false},
        // (--no-exif: a TIFF's EXIF lacks tags a JPEG's needs, as before.)
        {"TIFF into JPEG", tiff, "--no-exif", "fromtiff.jpg", false},
        {"TIFF into TIFF", tiff, "--mirror", "fromtiff.tif"},
        {"PNG into JPEG", png, "", "frompng.jpg"},
        {"PNG into TIFF", png, "--rotate 90", "frompng.tif"},
        {"PSD into JPEG", psd, "", "frompsd.jpg", false},
        {"PSD into TIFF", psd, "", "frompsd.tif", false},
    };
    const std::string keptExif =
        "Make: Canon\nOrientation: Horizontal (normal)\nSoftware: Tavelune " +
        std::string(TAVELUNE_VERSION) + "\nExifVersion: 0232\nColorSpace: sRGB\n";
    const std::string sourceProfile = profileOf(jpeg);
    ASSERT_EQ(sourceProfile.size(), 150000u);
    for (const auto& road : roads) {
        SCOPED_TRACE(road.road);
        const std::string out = dir.file(road.output);
        const test::CliResult result = test::runTaveluneCli(
            "convert " + road.arguments + " " + shellQuote(road.source) + " " + shellQuote(out));
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(profileOf(out), sourceProfile);
        EXPECT_EQ(carried(out), carried(road.source));
        EXPECT_EQ(carried(out)["Description"], std::to_string(kLongCaption.size() + 1));
        if (road.exif)
            EXPECT_EQ(exifOf(out), keptExif);
        else  // a TIFF names its own writer and orientation, nothing of the camera's
            EXPECT_EQ(exifOf(out).find("Make:"), std::string::npos) << exifOf(out);
        const std::set<std::string> before = warnings(road.source);
        for (const std::string& warning : warnings(out))
            EXPECT_TRUE(before.count(warning)) << warning;
    }

    EXPECT_EQ(output("exiftool -s -s -s -ImageSize " + shellQuote(dir.file("frompng.jpg"))),
              "48x64\n");

    // The batch run takes the same roads.
    const test::CliResult batch = test::runTaveluneCli("batch --type tiff -o " +
                                                       shellQuote(dir.file("batch")) + " " +
                                                       shellQuote(jpeg) + " " + shellQuote(tiff));
    ASSERT_EQ(batch.status, 0) << batch.err;
    for (const auto& [name, source] : {std::pair{"QX_source.tif", jpeg}, {"QX_tiffsource.tif", tiff}}) {
        const std::string out = dir.file(std::string("batch/") + name);
        EXPECT_EQ(profileOf(out), sourceProfile) << name;
        EXPECT_EQ(carried(out), carried(source)) << name;
        EXPECT_EQ(exifOf(out), keptExif) << name;
    }
}

TEST(MetadataRoads, AnIndexSheetIsTaggedSrgbAndTakesNothingFromItsSources)
{
    if (!test::haveTool("exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    test::TempDir dir;
    const std::string jpeg = makeSource(dir, "source.jpg", "short");
    for (const std::string name : {"sheet.jpg", "sheet.tif"}) {
        const std::string sheet = dir.file(name);
        const test::CliResult result =
            test::runTaveluneCli("index -o " + shellQuote(sheet) + " " + shellQuote(jpeg));
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(output("exiftool -s -s -s -ProfileDescription " + shellQuote(sheet)),
                  "sRGB built-in\n");
        EXPECT_TRUE(carried(sheet).empty()) << name;
        EXPECT_TRUE(warnings(sheet).empty()) << name;
    }
}

TEST(MetadataRoads, StripMetadataLeavesOnlyTheProfileAndExifListsWhatIsCarried)
{
    if (!test::haveTool("exiftool"))
        GTEST_SKIP() << "exiftool is not installed";
    test::TempDir dir;
    const std::string jpeg = makeSource(dir, "source.jpg", "short");

    for (const std::string name : {"bare.jpg", "bare.tif", "turned.jpg"}) {
        const std::string out = dir.file(name);
        const test::CliResult result =
            test::runTaveluneCli(std::string("convert --strip-metadata ") +
                                 (name == "turned.jpg" ? "--rotate 90 " : "") + shellQuote(jpeg) +
                                 " " + shellQuote(out));
        ASSERT_EQ(result.status, 0) << result.err;
        EXPECT_EQ(profileOf(out).size(), 150000u) << name;
        EXPECT_TRUE(carried(out).empty()) << name;
        EXPECT_EQ(output("exiftool -s -s -s -EXIF:Make " + shellQuote(out)), "") << name;
    }

    // What the written file's XMP and EXIF say about it is brought up to date.
    const std::string small = dir.file("small.jpg");
    ASSERT_EQ(test::runTaveluneCli("convert --resize 32x20 " + shellQuote(jpeg) + " " +
                                   shellQuote(small))
                  .status,
              0);
    const std::string stated = output(
        "exiftool -s -s -n -ExifIFD:ExifImageWidth -ExifIFD:ExifImageHeight "
        "-XMP-exif:ExifImageWidth -XMP-exif:ExifImageHeight -XMP-tiff:Orientation "
        "-XMP-xmp:CreatorTool -XMP-xmp:ModifyDate " + shellQuote(small));
    EXPECT_NE(stated.find("ExifImageWidth: 32\nExifImageHeight: 20\nExifImageWidth: 32\n"
                          "ExifImageHeight: 20\nOrientation: 1\nCreatorTool: Tavelune "),
              std::string::npos)
        << stated;
    EXPECT_EQ(stated.find("ModifyDate: 2001"), std::string::npos) << stated;
    EXPECT_TRUE(warnings(small).empty());

    const test::CliResult text = test::runTaveluneCli("exif --lang en_US " + shellQuote(jpeg));
    ASSERT_EQ(text.status, 0) << text.err;
    EXPECT_NE(text.out.find("Colour profile: unnamed (150000 bytes)\n"), std::string::npos);
    EXPECT_NE(text.out.find("IPTC: 6 records\n"), std::string::npos) << text.out;
    EXPECT_NE(text.out.find("  Caption-Abstract: A harbour at dawn\n"), std::string::npos);
    const test::CliResult bare =
        test::runTaveluneCli("exif --json " + shellQuote(dir.file("bare.jpg")));
    EXPECT_NE(bare.out.find("\"profile\":{\"description\":\"\",\"size\":150000},\"xmp\":null,"
                            "\"iptc\":null}"),
              std::string::npos)
        << bare.out;
    const test::CliResult json = test::runTaveluneCli("exif --json " + shellQuote(jpeg));
    EXPECT_NE(json.out.find("{\"name\":\"Keywords\",\"value\":\"harbour\"},"
                            "{\"name\":\"Keywords\",\"value\":\"dawn\"}"),
              std::string::npos);
    EXPECT_NE(json.out.find("\"xmp\":\"<?xpacket"), std::string::npos);
}

}  // namespace
}  // namespace tavelune
