// PNG codec: what makes a file a PNG for the reader, dpi from pHYs, and read-only slots.
#include "engine/png_codec.h"

#include <gtest/gtest.h>

#include "codec_test_util.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(PngCodec, SignatureAndDpi)
{
    PngCodec codec;
    Image out;
    EXPECT_FALSE(codec.read(test::samplePath("coffee.jpg"), out));
    ASSERT_TRUE(codec.read(test::fixturePath("codecs/png-2835ppm.png"), out));
    EXPECT_FLOAT_EQ(out.dpi(), float(2835 * 0.0254));  // 72.009, not rounded
    ASSERT_TRUE(codec.read(test::fixturePath("codecs/png-rgb.png"), out));
    EXPECT_EQ(out.dpi(), 72.0f);  // no pHYs
    for (uint32_t p : test::topDownPixels(out)) ASSERT_EQ(p >> 24, 0xFFu);
}

TEST(PngCodec, ReadOnlyAndCreateReleasesFirst)
{
    PngCodec codec;
    ASSERT_TRUE(codec.load(test::samplePath("coffee.png")));
    EXPECT_FALSE(codec.save("/tmp/never.png", 0));
    ASSERT_TRUE(codec.create(3, 3, 50.0f));
    EXPECT_EQ(codec.width(), 3);
    EXPECT_EQ(codec.dpi(), 50.0f);
}

}  // namespace
}  // namespace tavelune
