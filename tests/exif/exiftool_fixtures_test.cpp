// Our numbers against exiftool's on JPEG files it wrote (scripts/make-exif-fixtures.sh).
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>

#include "exif/exif_data.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

enum class Kind { Number, Text, ApexShutter, ApexAperture };

struct Peer {
    const char* name;  // exiftool's tag name
    std::uint16_t ifd;
    std::uint16_t tag;
    Kind kind;
};

// exiftool -n prints the two APEX tags already converted (seconds, f-number).
const Peer kPeers[] = {
    {"Make", kIfd0, 271, Kind::Text},
    {"Model", kIfd0, 272, Kind::Text},
    {"Orientation", kIfd0, 274, Kind::Number},
    {"XResolution", kIfd0, 282, Kind::Number},
    {"YResolution", kIfd0, 283, Kind::Number},
    {"ResolutionUnit", kIfd0, 296, Kind::Number},
    {"Software", kIfd0, 305, Kind::Text},
    {"ModifyDate", kIfd0, 306, Kind::Text},
    {"Artist", kIfd0, 315, Kind::Text},
    {"Copyright", kIfd0, 33432, Kind::Text},
    {"ExposureTime", kExifIfd, 33434, Kind::Number},
    {"FNumber", kExifIfd, 33437, Kind::Number},
    {"ExposureProgram", kExifIfd, 34850, Kind::Number},
    {"ISO", kExifIfd, 34855, Kind::Number},
    {"DateTimeOriginal", kExifIfd, 36867, Kind::Text},
    {"CreateDate", kExifIfd, 36868, Kind::Text},
    {"ShutterSpeedValue", kExifIfd, 37377, Kind::ApexShutter},
    {"ApertureValue", kExifIfd, 37378, Kind::ApexAperture},
    {"ExposureCompensation", kExifIfd, 37380, Kind::Number},
    {"MaxApertureValue", kExifIfd, 37381, Kind::ApexAperture},
    {"SubjectDistance", kExifIfd, 37382, Kind::Number},
    {"MeteringMode", kExifIfd, 37383, Kind::Number},
    {"LightSource", kExifIfd, 37384, Kind::Number},
    {"Flash", kExifIfd, 37385, Kind::Number},
    {"FocalLength", kExifIfd, 37386, Kind::Number},
    {"UserComment", kExifIfd, 37510, Kind::Text},
    {"ColorSpace", kExifIfd, 40961, Kind::Number},
    {"ExifImageWidth", kExifIfd, 40962, Kind::Number},
    {"ExifImageHeight", kExifIfd, 40963, Kind::Number},
    {"ExposureMode", kExifIfd, 41986, Kind::Number},
    {"WhiteBalance", kExifIfd, 41987, Kind::Number},
    {"DigitalZoomRatio", kExifIfd, 41988, Kind::Number},
    {"FocalLengthIn35mmFormat", kExifIfd, 41989, Kind::Number},
    {"SceneCaptureType", kExifIfd, 41990, Kind::Number},
    {"GainControl", kExifIfd, 41991, Kind::Number},
    {"Contrast", kExifIfd, 41992, Kind::Number},
    {"Saturation", kExifIfd, 41993, Kind::Number},
    {"Sharpness", kExifIfd, 41994, Kind::Number},
    {"SubjectDistanceRange", kExifIfd, 41996, Kind::Number},
    {"InteropIndex", kInteropIfd, 1, Kind::Text},
    {"ExifVersion", kExifIfd, 36864, Kind::Text},
};

std::map<std::string, std::string> readPeerValues(const std::string& path)
{
    std::map<std::string, std::string> values;
    std::ifstream in(path);
    std::string line;
    while (std::getline(in, line)) {
        const std::size_t colon = line.find(": ");
        if (colon != std::string::npos && line.substr(colon + 2) != "-")
            values[line.substr(0, colon)] = line.substr(colon + 2);
    }
    return values;
}

void compareWithPeer(const std::string& fixture, std::size_t expectedShared)
{
    SCOPED_TRACE(fixture);
    ExifData data;
    ASSERT_TRUE(data.LoadExif(test::fixturePath("exif/" + fixture + ".jpg")));
    const auto peer = readPeerValues(test::fixturePath("exif/" + fixture + ".exiftool.txt"));
    ASSERT_FALSE(peer.empty());
    std::size_t shared = 0;
    for (const Peer& p : kPeers) {
        const auto found = peer.find(p.name);
        const ExifEntry* entry = data.FindEntry(p.ifd, p.tag);
        if (found == peer.end()) {
            EXPECT_EQ(entry, nullptr) << p.name << " only we show";
            continue;
        }
        ASSERT_NE(entry, nullptr) << p.name << " only exiftool shows";
        ++shared;
        if (p.kind == Kind::Text) {
            EXPECT_EQ(entry->GetText("en_US"), found->second) << p.name;
            continue;
        }
        double ours = entry->GetNumber(0);
        if (p.kind == Kind::ApexShutter)
            ours = std::pow(2.0, -ours);
        else if (p.kind == Kind::ApexAperture)
            ours = std::pow(2.0, ours / 2);
        const double theirs = std::stod(found->second);
        EXPECT_NEAR(ours, theirs, 1e-6 * std::max(1.0, std::fabs(theirs))) << p.name;
    }
    EXPECT_EQ(shared, expectedShared);
}

TEST(ExiftoolPeer, IntelFileAgreesOnEveryValue)
{
    compareWithPeer("canon_intel", 41);
}

TEST(ExiftoolPeer, MotorolaFileAgreesOnEveryValue)
{
    compareWithPeer("nikon_motorola", 33);
}

TEST(ExiftoolPeer, Ifd0OnlyFileAgreesOnEveryValue)
{
    compareWithPeer("minimal_ifd0", 5);
}

TEST(ExiftoolPeer, TextsShowTheValuesTheScriptAskedFor)
{
    ExifData data;
    ASSERT_TRUE(data.LoadExif(test::fixturePath("exif/canon_intel.jpg")));
    EXPECT_EQ(data.byteOrder(), 1);
    const std::pair<std::uint16_t, const char*> expected[] = {
        {33434, "1/250\""},      {33437, "F5.6"},
        {34855, "400"},          {37380, "-0.67EV"},
        {37377, "1/250\""},      {37378, "F5.6"},
        {37381, "F1.4"},         {37382, "3.5m"},
        {37383, "Pattern"},      {37385, "Flash fired, auto mode"},
        {37386, "50mm"},         {41989, "80mm"},
        {41988, "1.5"},          {41993, "High saturation"},
        {41996, "Distant view"},
    };
    for (const auto& [tag, text] : expected)
        EXPECT_EQ(data.GetText(kExifIfd, tag, "en_US"), text) << tag;
    EXPECT_EQ(data.GetText(kIfd0, 274, "en_US"), "right - top");

    ASSERT_TRUE(data.LoadExif(test::fixturePath("exif/nikon_motorola.jpg")));
    EXPECT_EQ(data.byteOrder(), 2);
    EXPECT_EQ(data.GetText(kExifIfd, 33434, "en_US"), "2\"");
    EXPECT_EQ(data.GetText(kExifIfd, 37380, "en_US"), "+0.33EV");
    EXPECT_EQ(data.GetText(kExifIfd, 37385, "zh_CN"), "关闭(强制)");
    EXPECT_EQ(data.GetText(kIfd0, 296, "en_US"), "Cm");
    EXPECT_EQ(data.GetText(kExifIfd, 40961, "en_US"), "Uncalibrated");

    EXPECT_FALSE(data.LoadExif(test::fixturePath("exif/no_exif.jpg")));
}

}  // namespace
}  // namespace tavelune
