// The JPEG marker walk that lets metadata edits skip decoding whole pictures.
#include "engine/picture_check.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<unsigned char>;

Bytes operator+(Bytes a, const Bytes& b)
{
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

TEST(PictureCheck, JpegDataReachesItsEndMarkerOrIsNotWhole)
{
    const Bytes soi = {0xFF, 0xD8}, eoi = {0xFF, 0xD9};
    const Bytes app1 = {0xFF, 0xE1, 0x00, 0x04, 'E', 'x'};
    const Bytes sof = {0xFF, 0xC0, 0x00, 0x03, 0x08};
    const Bytes sos = {0xFF, 0xDA, 0x00, 0x03, 0x01};
    // Entropy data with a stuffed 0xFF, a restart marker and fill before the next marker.
    const Bytes data = {0x12, 0xFF, 0x00, 0x34, 0xFF, 0xD0, 0x56, 0xFF, 0xFF};
    const Bytes picture = test::readFileBytes(test::samplePath("coffee-exif.jpg"));
    struct Case {
        const char* what;
        Bytes bytes;
        bool whole;
    };
    const Case cases[] = {
        {"the sample", picture, true},
        {"the sample with a trailer", picture + Bytes{'t', 'a', 'i', 'l'}, true},
        {"the sample cut short", Bytes(picture.begin(), picture.end() - 300), false},
        {"the sample without its end marker", Bytes(picture.begin(), picture.end() - 2), false},
        {"built", soi + app1 + sof + sos + data + eoi, true},
        {"two scans", soi + sof + sos + data + sos + data + eoi, true},
        {"an end right after the metadata", soi + app1 + eoi + sof + sos + data + eoi, false},
        {"a scan before any frame", soi + sos + data + sof + eoi, false},
        {"bytes between segments", soi + app1 + Bytes{0x00} + sof + sos + data + eoi, false},
        {"a segment longer than the file", soi + Bytes{0xFF, 0xE1, 0xFF, 0xFF, 0x00}, false},
        {"a length below two", soi + Bytes{0xFF, 0xE1, 0x00, 0x01} + sof + sos + eoi, false},
        {"only fill at the end", soi + sof + sos + data, false},
        {"no start marker", sof + sos + data + eoi, false},
        {"nothing", {}, false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(jpegDataReachesEnd(c.bytes.data(), c.bytes.size()), c.whole) << c.what;
}

}  // namespace
}  // namespace tavelune
