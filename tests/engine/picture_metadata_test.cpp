// The metadata readers join what belongs together, refuse what does not, and the writers give
// back what was read.
#include "engine/picture_metadata.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "codec_test_util.h"
#include "engine/format_dispatch.h"
#include "engine/jpeg_metadata.h"
#include "engine/photoshop_resources.h"
#include "engine/tiff_metadata.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<std::uint8_t>;

Bytes pattern(std::size_t size, unsigned seed)
{
    Bytes out(size);
    for (std::size_t i = 0; i < size; ++i) out[i] = std::uint8_t((i * 131 + seed) >> 3);
    return out;
}

void appendSegment(Bytes& file, int marker, const std::string& signature, const Bytes& body)
{
    const std::size_t length = signature.size() + body.size() + 2;
    file.insert(file.end(), {0xFF, std::uint8_t(marker), std::uint8_t(length >> 8),
                             std::uint8_t(length)});
    file.insert(file.end(), signature.begin(), signature.end());
    file.insert(file.end(), body.begin(), body.end());
}

Bytes iccChunk(int sequence, int count, const Bytes& data)
{
    Bytes body{std::uint8_t(sequence), std::uint8_t(count)};
    body.insert(body.end(), data.begin(), data.end());
    return body;
}

Bytes extendedChunk(const std::string& guid, std::uint32_t full, std::uint32_t offset,
                    const std::string& data)
{
    Bytes body(guid.begin(), guid.end());
    for (std::uint32_t v : {full, offset})
        for (int shift : {24, 16, 8, 0}) body.push_back(std::uint8_t(v >> shift));
    body.insert(body.end(), data.begin(), data.end());
    return body;
}

MetadataRead readJpegBytes(Bytes file)
{
    std::FILE* stream = ::fmemopen(file.data(), file.size(), "rb");
    MetadataRead read = readJpegMetadata(stream);
    std::fclose(stream);
    return read;
}

const std::string kIcc("ICC_PROFILE\0", 12);
const std::string kXmp("http://ns.adobe.com/xap/1.0/\0", 29);
const std::string kExtended("http://ns.adobe.com/xmp/extension/\0", 35);
const std::string kGuidA(32, 'A');
const std::string kGuidB(32, 'B');

TEST(PictureMetadata, JpegProfileChunksJoinInSequenceOrderOrNotAtAll)
{
    const Bytes a = pattern(100, 1), b = pattern(50, 2), c = pattern(7, 3);
    Bytes expected = a;
    expected.insert(expected.end(), b.begin(), b.end());
    expected.insert(expected.end(), c.begin(), c.end());
    const struct {
        const char* name;
        std::vector<Bytes> chunks;
        bool joined;
    } cases[] = {
        {"in order", {iccChunk(1, 3, a), iccChunk(2, 3, b), iccChunk(3, 3, c)}, true},
        {"shuffled", {iccChunk(3, 3, c), iccChunk(1, 3, a), iccChunk(2, 3, b)}, true},
        {"one missing", {iccChunk(1, 3, a), iccChunk(3, 3, c)}, false},
        {"one twice", {iccChunk(1, 3, a), iccChunk(1, 3, a), iccChunk(3, 3, c)}, false},
        {"counts differ", {iccChunk(1, 3, a), iccChunk(2, 2, b), iccChunk(3, 3, c)}, false},
        {"numbered from 0", {iccChunk(0, 3, a), iccChunk(1, 3, b), iccChunk(2, 3, c)}, false},
        {"count 0", {iccChunk(0, 0, a)}, false},
    };
    for (const auto& row : cases) {
        Bytes file{0xFF, 0xD8};
        for (const Bytes& chunk : row.chunks) appendSegment(file, 0xE2, kIcc, chunk);
        file.insert(file.end(), {0xFF, 0xD9});
        const MetadataRead read = readJpegBytes(file);
        if (row.joined) {
            EXPECT_EQ(read.metadata.icc, expected) << row.name;
            EXPECT_TRUE(read.problems.empty()) << row.name;
        } else {
            EXPECT_TRUE(read.metadata.icc.empty()) << row.name;
            EXPECT_EQ(read.problems, std::vector{MetadataProblem::IccSequence}) << row.name;
        }
    }
}

TEST(PictureMetadata, ExtendedXmpJoinsTheGroupTheMainPacketNames)
{
    const std::string main = "<x:xmpmeta>xmpNote:HasExtendedXMP=\"" + kGuidB + "\"</x:xmpmeta>";
    const struct {
        const char* name;
        std::vector<Bytes> chunks;
        std::string joined;  // empty: left out with a problem
    } cases[] = {
        {"out of order, other group beside",
         {extendedChunk(kGuidB, 10, 6, "ghij"), extendedChunk(kGuidA, 3, 0, "xyz"),
          extendedChunk(kGuidB, 10, 0, "abcdef")},
         "abcdefghij"},
        {"gap", {extendedChunk(kGuidB, 10, 0, "abc"), extendedChunk(kGuidB, 10, 6, "ghij")}, ""},
        {"overlap", {extendedChunk(kGuidB, 6, 0, "abcd"), extendedChunk(kGuidB, 6, 2, "cdef")}, ""},
        {"short of the length", {extendedChunk(kGuidB, 12, 0, "abcdef")}, ""},
        {"lengths differ", {extendedChunk(kGuidB, 6, 0, "abc"), extendedChunk(kGuidB, 7, 3, "def")},
         ""},
        {"named group absent, two others",
         {extendedChunk(kGuidA, 3, 0, "xyz"), extendedChunk(std::string(32, 'C'), 3, 0, "uvw")},
         ""},
    };
    for (const auto& c : cases) {
        Bytes file{0xFF, 0xD8};
        appendSegment(file, 0xE1, kXmp, Bytes(main.begin(), main.end()));
        for (const Bytes& chunk : c.chunks) appendSegment(file, 0xE1, kExtended, chunk);
        const MetadataRead read = readJpegBytes(file);
        EXPECT_EQ(read.metadata.xmp, main) << c.name;
        EXPECT_EQ(read.metadata.extendedXmp, c.joined) << c.name;
        EXPECT_EQ(read.metadata.extendedGuid, c.joined.empty() ? "" : kGuidB) << c.name;
        EXPECT_EQ(read.problems.empty(), !c.joined.empty()) << c.name;
    }
}

TEST(PictureMetadata, TruncatedOrMalformedJpegHeadersEndTheScanSafely)
{
    Bytes whole{0xFF, 0xD8};
    appendSegment(whole, 0xE2, kIcc, iccChunk(1, 1, pattern(300, 4)));
    appendSegment(whole, 0xED, "Photoshop 3.0", Bytes{0});
    for (std::size_t cut = 0; cut < whole.size(); ++cut) {
        const MetadataRead read = readJpegBytes(Bytes(whole.begin(), whole.begin() + cut));
        // A segment cut short is never kept in part.
        EXPECT_TRUE(read.metadata.icc.empty() || read.metadata.icc.size() == 300) << cut;
    }
    Bytes zeroLength{0xFF, 0xD8, 0xFF, 0xE2, 0x00, 0x00};
    EXPECT_TRUE(readJpegBytes(zeroLength).metadata.empty());
}

PictureMetadata largeMetadata()
{
    PictureMetadata metadata;
    metadata.icc = pattern(150000, 5);  // three chunks
    metadata.xmp = "<x:xmpmeta>" + kGuidA + "</x:xmpmeta>";
    const Bytes extended = pattern(140000, 6);
    metadata.extendedXmp.assign(extended.begin(), extended.end());
    metadata.extendedGuid = kGuidA;
    PhotoshopResource iptc{0x3842494D, kResourceIptc, {}, pattern(70001, 7)};
    PhotoshopResource other{0x3842494D, 1036, {3, 'a', 'b', 'c'}, pattern(9, 8)};
    metadata.photoshop = serialisePhotoshopResources({other, iptc});
    return metadata;
}

TEST(PictureMetadata, JpegWritersGiveBackWhatWasReadInSegmentsThatFit)
{
    const PictureMetadata metadata = largeMetadata();
    for (const auto& segment : jpegMetadataSegments(metadata)) {
        EXPECT_LE(segment.payload.size(), 65533u);
        if (segment.marker == 0xE2)
            EXPECT_LE(segment.payload.size() - 14, 65519u);
    }
    test::TempDir dir;
    const Image picture = test::patternPicture(40, 30, false);
    const std::string whole = dir.file("whole.jpg");
    ASSERT_TRUE(saveImage(whole, picture, {}, 80, &metadata));
    const MetadataRead read = readPictureMetadata(whole);
    EXPECT_TRUE(read.problems.empty());
    EXPECT_EQ(read.metadata.icc, metadata.icc);
    EXPECT_EQ(read.metadata.xmp, metadata.xmp);
    EXPECT_EQ(read.metadata.extendedXmp, metadata.extendedXmp);
    EXPECT_EQ(read.metadata.extendedGuid, metadata.extendedGuid);
    EXPECT_EQ(read.metadata.photoshop, metadata.photoshop);

    // Without metadata the bytes are those of a plain write.
    const std::string plain = dir.file("plain.jpg");
    const std::string empty = dir.file("empty.jpg");
    const PictureMetadata none;
    ASSERT_TRUE(saveImage(plain, picture, {}, 80));
    ASSERT_TRUE(saveImage(empty, picture, {}, 80, &none));
    EXPECT_EQ(test::readFileBytes(plain), test::readFileBytes(empty));
}

TEST(PictureMetadata, TiffCarriesProfileXmpIptcAndTheOtherResources)
{
    PictureMetadata metadata = largeMetadata();
    metadata.extendedXmp.clear();
    metadata.extendedGuid.clear();
    test::TempDir dir;
    for (const std::string name : {"none.tif", "lzw.tiff"}) {
        const std::string path = dir.file(name);
        const Image picture = test::patternPicture(20, 10, true);
        ASSERT_TRUE(saveImage(path, picture, {}, name == "none.tif" ? 1 : 5, &metadata));
        const MetadataRead read = readPictureMetadata(path);
        EXPECT_TRUE(read.problems.empty());
        EXPECT_EQ(read.metadata.icc, metadata.icc);
        EXPECT_EQ(read.metadata.xmp, metadata.xmp);
        // IPTC travels in its own tag, padded to whole longs; the rest among the resources.
        Bytes iptc = *photoshopResource(metadata.photoshop, kResourceIptc);
        iptc.resize((iptc.size() + 3) & ~std::size_t(3), 0);
        EXPECT_EQ(photoshopResource(read.metadata.photoshop, kResourceIptc), iptc);
        EXPECT_EQ(photoshopResource(read.metadata.photoshop, 1036),
                  photoshopResource(metadata.photoshop, 1036));
        Image back;
        ASSERT_TRUE(openImage(path, back));
        EXPECT_TRUE(test::samePixels(back, picture));
    }
}

TEST(PictureMetadata, PhotoshopResourcesParseOnlyWhenEverySizeFits)
{
    const Bytes good = serialisePhotoshopResources(
        {{0x3842494D, 1028, {}, pattern(5, 1)}, {0x3842494D, 1061, {2, 'x', 'y'}, pattern(16, 2)}});
    ASSERT_TRUE(parsePhotoshopResources(good));
    EXPECT_EQ(parsePhotoshopResources(good)->size(), 2u);
    for (std::size_t cut = 1; cut < good.size(); ++cut) {
        // Only cuts at a resource's end (its pad byte may be missing) leave a whole block.
        const bool whole = cut == 17 || cut == 18;
        EXPECT_EQ(parsePhotoshopResources({good.data(), cut}).has_value(), whole) << cut;
    }
    Bytes badSignature = good;
    badSignature[0] = 'X';
    EXPECT_FALSE(parsePhotoshopResources(badSignature));
    Bytes padded = good;
    padded.insert(padded.end(), 3, 0);
    EXPECT_TRUE(parsePhotoshopResources(padded));

    Bytes block = good;
    ASSERT_TRUE(setPhotoshopResource(block, 1061, pattern(16, 9)));
    EXPECT_EQ(photoshopResource(block, 1061), pattern(16, 9));
    EXPECT_EQ(photoshopResource(block, 1028), pattern(5, 1));
    ASSERT_TRUE(setPhotoshopResource(block, 1039, pattern(3, 1)));
    EXPECT_EQ(photoshopResource(block, 1039), pattern(3, 1));
}

}  // namespace
}  // namespace tavelune
