// PNG codec: what makes a file a PNG for the reader, dpi from pHYs, and the writer.
#include "engine/png_codec.h"

#include <gtest/gtest.h>

#include <cstdlib>

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

TEST(PngCodec, WritesRgbOrRgbaThatLibpngAcceptsAndReadsBack)
{
    test::TempDir dir;
    struct Case {
        const char* name;
        bool alpha;
        int colourType;  // IHDR byte: 2 RGB, 6 RGB with alpha
    };
    for (const Case& c : {Case{"opaque", false, 2}, Case{"alpha", true, 6}}) {
        const Image picture = test::patternPicture(31, 17, c.alpha, 300.0f);
        const std::string path = dir.file(std::string(c.name) + ".png");
        ASSERT_TRUE(PngCodec().write(path, picture, 0)) << c.name;
        const auto bytes = test::readFileBytes(path);
        ASSERT_GT(bytes.size(), 26u);
        EXPECT_EQ(bytes[24], 8) << c.name;  // bit depth
        EXPECT_EQ(bytes[25], c.colourType) << c.name;
        // libpng's own checker reads every chunk and its checksum.
        EXPECT_EQ(std::system(("pngfix -q " + path + " >/dev/null 2>&1").c_str()), 0) << c.name;
        Image back;
        ASSERT_TRUE(PngCodec().read(path, back));
        EXPECT_NEAR(back.dpi(), 300.0f, 0.01f);
        if (!c.alpha) {
            EXPECT_TRUE(test::samePixels(back, picture));
        } else {
            // The reader flattens onto black: each channel scaled by its alpha.
            const uint32_t p = picture.pixelAt(5, 3), q = back.pixelAt(5, 3);
            const uint32_t a = p >> 24;
            EXPECT_NEAR(int((q >> 16) & 0xFF), int(((p >> 16) & 0xFF) * a / 255), 1);
            EXPECT_EQ(q >> 24, 0xFFu);
        }
    }
}

TEST(PngCodec, SaveWritesAndCreateReleasesFirst)
{
    test::TempDir dir;
    PngCodec codec;
    ASSERT_TRUE(codec.load(test::samplePath("coffee.png")));
    EXPECT_TRUE(codec.save(dir.file("again.png"), 0));
    ASSERT_TRUE(codec.create(3, 3, 50.0f));
    EXPECT_EQ(codec.width(), 3);
    EXPECT_EQ(codec.dpi(), 50.0f);
}

}  // namespace
}  // namespace tavelune
