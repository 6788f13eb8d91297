// Real camera files (tests/fixtures/camera-exif) through every write: exiftool must read back
// what it read before, and the thumbnail, the image data and the other segments stay.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <map>
#include <set>
#include <sstream>

#include "exif/exif_editor_model.h"
#include "exif/thumbnail_directory.h"
#include "support/cli_runner.h"
#include "support/test_support.h"
#include "write_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;
using Tags = std::map<std::string, std::string>;

const char* const kCameraFiles[] = {
    "canon-eos-20d.jpg",       "canon-eos-300d.jpg",
    "canon-eos-d30.jpg",       "canon-powershot-a520.jpg",
    "canon-powershot-s40.jpg", "fujifilm-finepix-s2pro.jpg",
    "kodak-dc210.jpg",         "nikon-d70.jpg",
    "nikon-e950.jpg",          "nikon-e990.jpg",
    "olympus-c8080wz.jpg",     "panasonic-dmc-fz5.jpg",
    "sigma-d10.jpg",           "sony-dsc-w7.jpg",
};

std::string cameraFile(const std::string& name)
{
    return test::fixturePath("camera-exif/" + name);
}

struct Segment {
    int marker;
    std::size_t offset;
    std::size_t size;
};

// The segments in front of the scan, and where the scan starts.
std::vector<Segment> segmentsOf(const Bytes& file, std::size_t& scan)
{
    std::vector<Segment> segments;
    std::size_t at = 2;
    scan = file.size();
    while (at + 4 <= file.size() && file[at] == 0xFF) {
        const int marker = file[at + 1];
        if (marker == 0xDA) {
            scan = at;
            break;
        }
        const std::size_t size = 2 + ((std::size_t{file[at + 2]} << 8) | file[at + 3]);
        segments.push_back({marker, at, size});
        at += size;
    }
    return segments;
}

bool isExifSegment(const Bytes& file, const Segment& segment)
{
    return segment.marker == 0xE1 && segment.size > 10 &&
           std::equal(file.begin() + long(segment.offset + 4),
                      file.begin() + long(segment.offset + 10), "Exif\0\0");
}

Bytes imageData(const Bytes& file)
{
    std::size_t scan = 0;
    segmentsOf(file, scan);
    return Bytes(file.begin() + long(scan), file.end());
}

// Every segment but the Exif one, with its bytes.
std::vector<Bytes> otherSegments(const Bytes& file)
{
    std::size_t scan = 0;
    std::vector<Bytes> out;
    for (const Segment& segment : segmentsOf(file, scan))
        if (!isExifSegment(file, segment))
            out.emplace_back(file.begin() + long(segment.offset),
                             file.begin() + long(segment.offset + segment.size));
    return out;
}

Bytes thumbnailOf(const Bytes& file)
{
    std::size_t scan = 0;
    for (const Segment& segment : segmentsOf(file, scan)) {
        if (!isExifSegment(file, segment))
            continue;
        const auto tiff =
            std::span<const std::uint8_t>(file).subspan(segment.offset + 10, segment.size - 10);
        if (const auto thumbnail = readThumbnailDirectory(tiff))
            return thumbnail->data;
    }
    return {};
}

// "-IFD0:Make=Canon" lines of exiftool -args.
Tags exiftoolTags(const std::string& path)
{
    Tags tags;
    std::istringstream lines(
        test::commandOutput("exiftool -a -u -G1 -n -args " + test::shellQuote(path)));
    for (std::string line; std::getline(lines, line);) {
        const std::size_t equals = line.find('=');
        if (line.size() > 1 && line[0] == '-' && equals != std::string::npos)
            tags[line.substr(1, equals - 1)] = line.substr(equals + 1);
    }
    return tags;
}

// exiftool -validate's warnings and errors, without the "[minor]" mark.
std::set<std::string> validation(const std::string& path)
{
    std::set<std::string> found;
    std::istringstream lines(test::commandOutput("exiftool -validate -warning -error -a -s " +
                                                 test::shellQuote(path) + " 2>&1"));
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("Warning", 0) != 0 && line.rfind("Error", 0) != 0)
            continue;
        std::string text = line.substr(line.find(": ") + 2);
        if (text.rfind("[minor] ", 0) == 0)
            text.erase(0, 8);
        // Our private shooting-data tags are unknown to the validator.
        if (text.find("tag 0xafc") == std::string::npos)
            found.insert(line.substr(0, line.find(' ')) + ": " + text);
    }
    return found;
}

bool sameValue(const std::string& a, const std::string& b)
{
    if (a == b)
        return true;
    std::istringstream left(a), right(b);
    double x, y;
    int compared = 0;
    while (left >> x) {
        if (!(right >> y) || std::fabs(x - y) > 1e-3 * std::max(std::fabs(x), std::fabs(y)))
            return false;
        ++compared;
    }
    return compared > 0 && left.eof() && (right >> std::ws).eof();
}

bool ignored(const std::string& key)
{
    const std::string group = key.substr(0, key.find(':'));
    const std::string name = key.substr(key.find(':') + 1);
    // The file's own facts, what every write sets, and where data lies (not what it is).
    static const std::set<std::string> kNames = {
        "Software",        "ExpandSoftware", "ExifVersion",       "Artist",
        "ThumbnailOffset", "StripOffsets",   "PreviewImageStart",
    };
    return group == "System" || group == "ExifTool" || kNames.count(name) != 0;
}

void expectNothingLost(const std::string& name, const Tags& before, const Tags& after,
                       const std::set<std::string>& warningsBefore, const std::string& path)
{
    for (const auto& [key, value] : before) {
        if (ignored(key))
            continue;
        const auto found = after.find(key);
        if (found == after.end()) {
            ADD_FAILURE() << name << ": lost " << key << " = " << value;
            continue;
        }
        EXPECT_TRUE(sameValue(value, found->second))
            << name << ": " << key << " was " << value << ", is " << found->second;
    }
    for (const std::string& warning : validation(path))
        EXPECT_EQ(warningsBefore.count(warning), 1u) << name << ": new " << warning;
}

class CameraFiles : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!test::haveTool("exiftool"))
            GTEST_SKIP() << "exiftool is not installed";
    }
    test::TempDir dir;
};

TEST_F(CameraFiles, ExifSetAndEditorWriteLoseNothingExiftoolReads)
{
    for (const char* name : kCameraFiles) {
        const Bytes original = test::readFileBytes(cameraFile(name));
        const Tags before = exiftoolTags(cameraFile(name));
        const std::set<std::string> warnings = validation(cameraFile(name));
        ASSERT_GT(before.size(), 40u) << name;
        const Bytes thumbnail = thumbnailOf(original);
        EXPECT_FALSE(thumbnail.empty() && std::string(name) != "kodak-dc210.jpg") << name;

        const std::string viaCli = dir.file(std::string("cli-") + name);
        test::writeFileBytes(viaCli, original);
        const test::CliResult result =
            test::runTaveluneCli("exif set " + test::shellQuote(viaCli) + " Artist=Ann");
        ASSERT_EQ(result.status, 0) << name << result.err;
        EXPECT_EQ(result.out.find("maker note offsets"), std::string::npos) << result.out;

        const std::string viaEditor = dir.file(std::string("editor-") + name);
        test::writeFileBytes(viaEditor, original);
        ExifData exif;
        ASSERT_TRUE(exif.LoadExif(viaEditor)) << name;
        ExifEditorModel editor(exif, {}, "en_US");
        editor.fields().artist = "Ann";
        ASSERT_EQ(editor.Write([](const std::string&) { return true; }), EditorOutcome::ClosedOk)
            << name;

        for (const std::string& path : {viaCli, viaEditor}) {
            SCOPED_TRACE(path);
            const Bytes written = test::readFileBytes(path);
            const Tags after = exiftoolTags(path);
            EXPECT_EQ(after.at("IFD0:Artist"), "Ann");
            expectNothingLost(name, before, after, warnings, path);
            EXPECT_EQ(thumbnailOf(written), thumbnail) << name;
            EXPECT_EQ(imageData(written), imageData(original)) << name;
            EXPECT_EQ(otherSegments(written), otherSegments(original)) << name;
        }
    }
}

TEST_F(CameraFiles, DeleteLeavesAValidJpegWithTheImageDataAndOtherSegments)
{
    for (const char* name : kCameraFiles) {
        const std::string path = dir.file(name);
        const Bytes original = test::readFileBytes(cameraFile(name));
        test::writeFileBytes(path, original);
        const test::CliResult result =
            test::runTaveluneCli("exif delete " + test::shellQuote(path));
        ASSERT_EQ(result.status, 0) << name << result.err;
        const Bytes after = test::readFileBytes(path);
        ExifData exif;
        EXPECT_FALSE(exif.LoadExif(path)) << name;
        EXPECT_EQ(imageData(after), imageData(original)) << name;
        EXPECT_EQ(otherSegments(after), otherSegments(original)) << name;
        EXPECT_TRUE(validation(path).empty()) << name;
        Image picture;
        EXPECT_TRUE(openImage(path, picture)) << name;
    }
}

Bytes appSegment(int marker, const std::string& payload)
{
    Bytes segment(4 + payload.size());
    segment[0] = 0xFF;
    segment[1] = std::uint8_t(marker);
    segment[2] = std::uint8_t((payload.size() + 2) >> 8);
    segment[3] = std::uint8_t(payload.size() + 2);
    std::copy(payload.begin(), payload.end(), segment.begin() + 4);
    return segment;
}

TEST(CameraFileSegments, WritesKeepXmpIccAndPhotoshopSegmentsInPlace)
{
    test::TempDir dir;
    const std::string path = dir.file("canon.jpg");
    Bytes file = test::readFileBytes(cameraFile("canon-eos-20d.jpg"));
    const std::size_t plain = otherSegments(file).size();
    std::size_t scan = 0;
    const std::vector<Segment> segments = segmentsOf(file, scan);
    std::size_t after = 0;
    for (const Segment& segment : segments)
        if (isExifSegment(file, segment))
            after = segment.offset + segment.size;
    ASSERT_NE(after, 0u);
    Bytes extra;
    for (const Bytes& segment :
         {appSegment(0xE1, std::string("http://ns.adobe.com/xap/1.0/\0<x:xmpmeta/>", 42)),
          appSegment(0xE2, std::string("ICC_PROFILE\0\1\1profile", 21)),
          appSegment(0xED, std::string("Photoshop 3.0\0"
                                       "8BIM",
                                       18))})
        extra.insert(extra.end(), segment.begin(), segment.end());
    file.insert(file.begin() + long(after), extra.begin(), extra.end());
    test::writeFileBytes(path, file);
    const std::vector<Bytes> others = otherSegments(file);
    ASSERT_EQ(others.size(), plain + 3);

    ExifData exif;
    ASSERT_TRUE(exif.LoadExif(path));
    setTextValue(exif.FindEntry(kIfd0, 315, EntryLookup::Create), "Ann");
    ASSERT_TRUE(exif.SaveExif(path));
    const Bytes written = test::readFileBytes(path);
    EXPECT_EQ(otherSegments(written), others);
    EXPECT_EQ(imageData(written), imageData(file));
    ASSERT_TRUE(exif.DeleteExif(path));
    EXPECT_EQ(otherSegments(test::readFileBytes(path)), others);
}

// TIFF files made by our codec, with a camera's Exif data and maker note added by exiftool.
TEST_F(CameraFiles, TiffWritesKeepMakerNotesExiftoolAdded)
{
    for (const char* name : {"canon-eos-20d.jpg", "nikon-d70.jpg", "sony-dsc-w7.jpg",
                             "panasonic-dmc-fz5.jpg", "fujifilm-finepix-s2pro.jpg"}) {
        const std::string path = dir.file(std::string(name) + ".tif");
        ASSERT_TRUE(test::writePicture(path, 1));
        test::commandOutput("exiftool -q -overwrite_original -tagsfromfile " +
                            test::shellQuote(cameraFile(name)) + " -exif:all -makernotes:all " +
                            test::shellQuote(path));
        const Tags before = exiftoolTags(path);
        ASSERT_NE(before.count("ExifIFD:MakerNote") + before.count("IFD0:Make"), 0u) << name;
        const std::set<std::string> warnings = validation(path);
        const Bytes pixels = [&] {
            Image picture;
            EXPECT_TRUE(openImage(path, picture)) << path;
            return Bytes(
                reinterpret_cast<const std::uint8_t*>(picture.pixels()),
                reinterpret_cast<const std::uint8_t*>(picture.pixels() + picture.pixelCount()));
        }();
        const test::CliResult result =
            test::runTaveluneCli("exif set " + test::shellQuote(path) + " Artist=Ann");
        ASSERT_EQ(result.status, 0) << name << result.err;
        const Tags after = exiftoolTags(path);
        EXPECT_EQ(after.at("IFD0:Artist"), "Ann");
        expectNothingLost(name, before, after, warnings, path);
        Image picture;
        ASSERT_TRUE(openImage(path, picture));
        EXPECT_EQ(
            Bytes(reinterpret_cast<const std::uint8_t*>(picture.pixels()),
                  reinterpret_cast<const std::uint8_t*>(picture.pixels() + picture.pixelCount())),
            pixels)
            << name;
    }
}

}  // namespace
}  // namespace tavelune
