// WebP round trips through our writer and reader, and files made and read by libwebp's tools.
#include <gtest/gtest.h>

#include <cstdlib>

#include "codec_test_util.h"
#include "engine/codec_support.h"
#include "engine/png_codec.h"
#include "engine/picture_metadata.h"
#include "engine/webp_codec.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

int run(const std::string& command)
{
    return std::system((command + " >/dev/null 2>&1").c_str());
}

int worstDifference(const Image& a, const Image& b)
{
    int worst = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            for (int shift : {0, 8, 16, 24})
                worst = std::max(worst, std::abs(int((a.pixelAt(x, y) >> shift) & 0xFF) -
                                                 int((b.pixelAt(x, y) >> shift) & 0xFF)));
    return worst;
}

// Smooth colours, so that lossy coding stays close everywhere.
Image gradientPicture(int w, int h, bool alpha)
{
    Image image;
    image.create(w, h, 72.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const uint32_t a = alpha ? uint32_t(255 - x * 200 / w) : 255;
            image.rowFromTop(y)[x] = (a << 24) | (uint32_t(x * 255 / w) << 16) |
                                     (uint32_t(y * 255 / h) << 8) | 0x40;
        }
    return image;
}

TEST(WebpCodec, RoundTripsKeepThePicture)
{
    test::TempDir dir;
    struct Case {
        const char* name;
        Image picture;
        int options;
        int tolerance;
    };
    const Case cases[] = {
        {"lossless", test::patternPicture(37, 23, false), kWebpLossless, 0},
        {"lossless alpha", test::patternPicture(37, 23, true), kWebpLossless, 0},
        {"lossy", gradientPicture(64, 48, false), 95, 8},
        {"lossy alpha", gradientPicture(64, 48, true), 95, 8},
    };
    for (const auto& c : cases) {
        const std::string path = dir.file("round.webp");
        WebpCodec codec;
        ASSERT_TRUE(codec.write(path, c.picture, c.options)) << c.name << lastCodecFailure();
        Image back;
        ASSERT_TRUE(codec.read(path, back)) << c.name << lastCodecFailure();
        ASSERT_EQ(back.width(), c.picture.width());
        ASSERT_EQ(back.height(), c.picture.height());
        EXPECT_LE(worstDifference(back, c.picture), c.tolerance) << c.name;
    }
}

TEST(WebpCodec, OpaquePicturesAreWrittenWithoutAlpha)
{
    test::TempDir dir;
    const std::string opaque = dir.file("opaque.webp"), clear = dir.file("alpha.webp");
    ASSERT_TRUE(WebpCodec().write(opaque, test::patternPicture(16, 16, false), kWebpLossless));
    ASSERT_TRUE(WebpCodec().write(clear, test::patternPicture(16, 16, true), kWebpLossless));
    // libwebp's own reader tells what the file holds.
    EXPECT_EQ(run("webpinfo " + opaque + " | grep -q 'Alpha: 0'"), 0);
    EXPECT_EQ(run("webpinfo " + clear + " | grep -q 'Alpha: 1'"), 0);
}

TEST(WebpCodec, PeersReadOurFilesAndWeReadTheirs)
{
    test::TempDir dir;
    const Image picture = test::patternPicture(40, 30, false);
    const std::string ours = dir.file("ours.webp"), png = dir.file("peer.png");
    ASSERT_TRUE(WebpCodec().write(ours, picture, kWebpLossless));
    // dwebp decodes our file to PNG; our PNG reader gives the same pixels.
    ASSERT_EQ(run("dwebp " + ours + " -o " + png), 0);
    Image viaPeer;
    ASSERT_TRUE(PngCodec().read(png, viaPeer));
    EXPECT_TRUE(test::samePixels(viaPeer, picture));
    // cwebp encodes a PNG of ours losslessly; we read back the same pixels.
    const std::string source = dir.file("source.png"), theirs = dir.file("theirs.webp");
    ASSERT_TRUE(PngCodec().write(source, picture, 0));
    ASSERT_EQ(run("cwebp -lossless " + source + " -o " + theirs), 0);
    Image fromPeer;
    ASSERT_TRUE(WebpCodec().read(theirs, fromPeer)) << lastCodecFailure();
    EXPECT_TRUE(test::samePixels(fromPeer, picture));
}

TEST(WebpCodec, AnimationGivesItsFirstFrame)
{
    test::TempDir dir;
    const Image first = test::patternPicture(20, 10, false);
    Image second = first;
    second.fill(0xFF0000FF);
    const std::string a = dir.file("a.png"), b = dir.file("b.png"), anim = dir.file("anim.webp");
    ASSERT_TRUE(PngCodec().write(a, first, 0));
    ASSERT_TRUE(PngCodec().write(b, second, 0));
    ASSERT_EQ(run("img2webp -lossless " + a + " " + b + " -o " + anim), 0);
    Image out;
    ASSERT_TRUE(WebpCodec().read(anim, out)) << lastCodecFailure();
    EXPECT_TRUE(test::samePixels(out, first));
}

TEST(WebpCodec, MetadataChunksAreRead)
{
    test::TempDir dir;
    const std::string plain = dir.file("plain.webp"), tagged = dir.file("tagged.webp");
    ASSERT_TRUE(WebpCodec().write(plain, test::patternPicture(8, 8, false), 80));
    const std::vector<unsigned char> exif = {'E', 'x', 'i', 'f', 0, 0, 'I', 'I', 42, 0,
                                             8,   0,   0,   0,   0, 0, 0,   0,   0,  0};
    const std::vector<unsigned char> icc(300, 0x33);
    test::writeFileBytes(dir.file("exif.bin"), exif);
    test::writeFileBytes(dir.file("icc.bin"), icc);
    ASSERT_EQ(run("webpmux -set exif " + dir.file("exif.bin") + " " + plain + " -o " +
                  dir.file("step.webp")),
              0);
    ASSERT_EQ(run("webpmux -set icc " + dir.file("icc.bin") + " " + dir.file("step.webp") +
                  " -o " + tagged),
              0);
    EmbeddedMetadata metadata;
    ASSERT_TRUE(readWebpMetadata(tagged, metadata));
    // The "Exif\0\0" prefix some writers put in the chunk is not part of the TIFF data.
    EXPECT_EQ(metadata.exif, std::vector<uint8_t>(exif.begin() + 6, exif.end()));
    EXPECT_EQ(metadata.icc, icc);
    EXPECT_EQ(readPictureMetadata(tagged).metadata.icc, icc);
    Image out;
    EXPECT_TRUE(WebpCodec().read(tagged, out));
}

TEST(WebpCodec, BadFilesAndPicturesAreRefused)
{
    test::TempDir dir;
    const std::string good = dir.file("good.webp");
    ASSERT_TRUE(WebpCodec().write(good, gradientPicture(64, 64, false), 80));
    const auto bytes = test::readFileBytes(good);
    const std::vector<std::vector<unsigned char>> cases = {
        {},
        {'R', 'I', 'F', 'F', 0, 0, 0, 0, 'W', 'E', 'B', 'P'},
        {bytes.begin(), bytes.begin() + 30},
        {bytes.begin(), bytes.begin() + ptrdiff_t(bytes.size() / 2)},
    };
    for (size_t i = 0; i < cases.size(); ++i) {
        const std::string path = dir.file("bad.webp");
        test::writeFileBytes(path, cases[i]);
        clearCodecFailure();
        Image out;
        EXPECT_FALSE(WebpCodec().read(path, out)) << i;
        EXPECT_TRUE(out.isEmpty()) << i;
        EXPECT_FALSE(lastCodecFailure().empty()) << i;
    }
    Image wide;
    ASSERT_TRUE(wide.create(kWebpMaxSide + 1, 1, 72.0f));
    EXPECT_FALSE(WebpCodec().write(dir.file("wide.webp"), wide, 80));
    EXPECT_FALSE(WebpCodec().write(dir.file("q.webp"), wide, 101));
}

}  // namespace
}  // namespace tavelune
