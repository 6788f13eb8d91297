// PSD reader: header checks, skipped sections, raw and PackBits planes, truncation.
#include "engine/psd_codec.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

using Bytes = std::vector<uint8_t>;

void be16(Bytes& b, uint32_t v)
{
    b.push_back(uint8_t(v >> 8));
    b.push_back(uint8_t(v));
}

void be32(Bytes& b, uint32_t v)
{
    be16(b, v >> 16);
    be16(b, v & 0xFFFF);
}

struct Header {
    uint32_t version = 1, channels = 3, height = 2, width = 2, depth = 8, mode = 3;
};

// Header, the three sections (the last with layerBytes of junk), compression, then data.
Bytes psd(const Header& h, uint32_t compression, const Bytes& data, size_t layerBytes = 0)
{
    Bytes b = {'8', 'B', 'P', 'S'};
    be16(b, h.version);
    b.insert(b.end(), 6, 0);
    be16(b, h.channels);
    be32(b, h.height);
    be32(b, h.width);
    be16(b, h.depth);
    be16(b, h.mode);
    be32(b, 0);
    be32(b, 4);
    b.insert(b.end(), {'8', 'B', 'I', 'M'});
    be32(b, uint32_t(layerBytes));
    b.insert(b.end(), layerBytes, 0xA5);
    be16(b, compression);
    b.insert(b.end(), data.begin(), data.end());
    return b;
}

bool decode(const Bytes& file, Image& out)
{
    return decodePsd(file.data(), file.size(), out);
}

TEST(PsdCodec, RawPlanesMapToChannelsAndMissingAlphaIsOpaque)
{
    // 2 x 2, three planes: red, green, blue, each top row first.
    Bytes data = {1, 2, 3, 4, 10, 20, 30, 40, 100, 110, 120, 130};
    Image out;
    ASSERT_TRUE(decode(psd({}, 0, data, 37), out));  // the layer section is skipped
    EXPECT_EQ(out.dpi(), 72.0f);
    EXPECT_EQ(out.pixelAt(0, 0), 0xFF010A64u);
    EXPECT_EQ(out.pixelAt(1, 0), 0xFF02146Eu);
    EXPECT_EQ(out.pixelAt(0, 1), 0xFF031E78u);
    EXPECT_EQ(out.pixelAt(1, 1), 0xFF042882u);
    // Five channels: the fourth is alpha, the fifth is ignored.
    Header five;
    five.channels = 5;
    data.insert(data.end(), {9, 8, 7, 6, 0xEE, 0xEE, 0xEE, 0xEE});
    ASSERT_TRUE(decode(psd(five, 0, data), out));
    EXPECT_EQ(out.pixelAt(0, 0), 0x09010A64u);
    EXPECT_EQ(out.pixelAt(1, 1), 0x06042882u);
    // One channel (not RGB in practice, but allowed): green and blue default to 0.
    Header one;
    one.channels = 1;
    ASSERT_TRUE(decode(psd(one, 0, {5, 6, 7, 8}), out));
    EXPECT_EQ(out.pixelAt(1, 1), 0xFF080000u);
}

TEST(PsdCodec, PackBitsRunsCrossRowsAndAreCutAtThePlaneEnd)
{
    Bytes data(2 * 3 * 2, 0);                           // byte counts, not used
    data.insert(data.end(), {uint8_t(257 - 6), 0x10});  // red: 6 repeats, only 4 fit
    data.insert(data.end(), {128});                     // no-op header
    data.insert(data.end(), {2, 1, 2, 3, 0, 4});        // green: literal 3 across a row, then 1
    data.insert(data.end(), {5, 1, 2, 3, 4, 5, 6});     // blue: literal 6, cut to 4
    Image out;
    ASSERT_TRUE(decode(psd({}, 1, data), out));
    EXPECT_EQ(out.pixelAt(0, 0), 0xFF100101u);
    EXPECT_EQ(out.pixelAt(1, 0), 0xFF100202u);
    EXPECT_EQ(out.pixelAt(0, 1), 0xFF100303u);
    EXPECT_EQ(out.pixelAt(1, 1), 0xFF100404u);
}

TEST(PsdCodec, RefusesOtherDocumentsAndDamagedFiles)
{
    const Bytes raw(12, 7);
    auto with = [&](auto change) {
        Header h;
        change(h);
        return psd(h, 0, raw);
    };
    Bytes good = psd({}, 0, raw);
    Bytes badSignature = good;
    badSignature[3] = 'T';
    Bytes hugeSection = good;
    hugeSection[26] = 0x7F;  // colour mode data length
    Bytes rle = psd({}, 1, Bytes(12, 0));
    rle.insert(rle.end(), {uint8_t(257 - 4), 9, uint8_t(257 - 4), 9});  // the blue plane is missing
    const std::pair<const char*, Bytes> cases[] = {
        {"signature", badSignature},
        {"version 2", with([](Header& h) { h.version = 2; })},
        {"no channels", with([](Header& h) { h.channels = 0; })},
        {"25 channels", with([](Header& h) { h.channels = 25; })},
        {"16-bit", with([](Header& h) { h.depth = 16; })},
        {"CMYK", with([](Header& h) { h.mode = 4; })},
        {"greyscale", with([](Header& h) { h.mode = 1; })},
        {"zero width", with([](Header& h) { h.width = 0; })},
        {"huge", with([](Header& h) { h.width = h.height = 0x7FFFFFFF; })},
        {"wider than int", with([](Header& h) { h.width = 0x80000000u; })},
        {"compression 2", psd({}, 2, raw)},
        {"section past the end", hugeSection},
        {"raw data short", Bytes(good.begin(), good.end() - 1)},
        {"rle plane short", rle},
        {"header only", Bytes(good.begin(), good.begin() + 20)},
        {"empty", Bytes{}},
    };
    for (const auto& [name, bytes] : cases) {
        Image out = test::patternPicture(2, 2, false);
        EXPECT_FALSE(decode(bytes, out)) << name;
        EXPECT_TRUE(out.isEmpty()) << name;
    }
    Image out;
    EXPECT_TRUE(decode(good, out));
}

TEST(PsdCodec, EveryTruncationOfARealFileFailsCleanly)
{
    for (const char* name : {"codecs/psd-rle4.psd", "codecs/psd-raw3.psd"}) {
        auto file = test::readFileBytes(test::fixturePath(name));
        Image out;
        ASSERT_TRUE(decode(file, out)) << name;
        // The writer ends the RLE file with a no-op header (128) that nothing needs.
        for (size_t size = 0; size + 1 < file.size(); ++size) {
            // Copied so that the sanitizers see any read past the shortened end.
            Bytes cut(file.begin(), file.begin() + ptrdiff_t(size));
            ASSERT_FALSE(decodePsd(cut.data(), cut.size(), out)) << name << " " << size;
        }
    }
}

}  // namespace
}  // namespace tavelune
