// GIF codec: frame bounds, the read-only slots, and the background of the logical screen.
#include "engine/gif_codec.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

// Offset of the first image descriptor (0x2C), walking the colour table and extensions.
size_t firstDescriptor(const std::vector<unsigned char>& gif)
{
    size_t at = 13;
    if (gif[10] & 0x80)
        at += 3u << ((gif[10] & 7) + 1);
    while (at < gif.size() && gif[at] == 0x21) {
        at += 2;
        while (at < gif.size() && gif[at] != 0) at += gif[at] + 1u;
        ++at;
    }
    return at;
}

TEST(GifCodec, FrameOutsideTheScreenIsRefused)
{
    test::TempDir dir;
    auto gif = test::readFileBytes(test::fixturePath("codecs/gif-offset.gif"));
    const size_t descriptor = firstDescriptor(gif);
    ASSERT_EQ(gif[descriptor], 0x2C);
    EXPECT_EQ(gif[descriptor + 1], 5);  // left of the 8 x 6 frame on the 16 x 12 screen
    GifCodec codec;
    Image out;
    for (int left : {8, 9, 200}) {
        auto moved = gif;
        moved[descriptor + 1] = uint8_t(left);
        test::writeFileBytes(dir.file("moved.gif"), moved);
        EXPECT_EQ(codec.read(dir.file("moved.gif"), out), left == 8) << left;
        if (left != 8) {
            EXPECT_TRUE(out.isEmpty());
        }
    }
    auto lower = gif;
    lower[descriptor + 3] = 7;  // top 7 + height 6 > 12
    test::writeFileBytes(dir.file("lower.gif"), lower);
    EXPECT_FALSE(codec.read(dir.file("lower.gif"), out));
}

TEST(GifCodec, BackgroundOutsideTheFrameIsTheGlobalEntryWithAlphaZero)
{
    Image out;
    ASSERT_TRUE(GifCodec().read(test::fixturePath("codecs/gif-offset.gif"), out));
    auto gif = test::readFileBytes(test::fixturePath("codecs/gif-offset.gif"));
    const size_t entry = 13 + 3 * size_t(gif[11]);
    const uint32_t background =
        (uint32_t(gif[entry]) << 16) | (uint32_t(gif[entry + 1]) << 8) | gif[entry + 2];
    EXPECT_EQ(out.pixelAt(0, 0), background);
    EXPECT_EQ(out.pixelAt(15, 11), background);
    EXPECT_EQ(out.pixelAt(5, 4) >> 24, 0xFFu);
}

}  // namespace
}  // namespace tavelune
