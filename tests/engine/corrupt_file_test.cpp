// Truncated and damaged files of every format: "Open image file error !" and no crash.
#include <gtest/gtest.h>

#include <random>

#include "codec_test_util.h"
#include "engine/codec_support.h"
#include "engine/engine_messages.h"
#include "engine/format_dispatch.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

const char* const kFiles[] = {
    "codecs/rgb.jpg",
    "codecs/progressive.jpg",
    "codecs/png-rgba.png",
    "codecs/png-interlaced.png",
    "codecs/gif-interlaced.gif",
    "codecs/psd-rle4.psd",
    "codecs/psd-raw5.psd",
    "codecs/bmp8.bmp",
    "codecs/bmp32.bmp",
    "codecs/tiff-rgb-lzw-cm.tif",
    "codecs/tiff-rgba-none-cm.tif",
};

std::string extensionOf(const std::string& name)
{
    return name.substr(name.rfind('.'));
}

TEST(CorruptFiles, TruncatedFilesAreRefused)
{
    test::TempDir dir;
    for (const char* name : kFiles) {
        auto file = test::readFileBytes(test::fixturePath(name));
        const std::string path = dir.file("cut" + extensionOf(name));
        // The last bytes of a GIF (trailer) or JPEG (end marker) hold no picture data; every
        // cut before the middle of the file removes some.
        for (size_t size :
             {size_t(0), size_t(1), size_t(8), size_t(30), file.size() / 3, file.size() / 2}) {
            test::writeFileBytes(path, {file.begin(), file.begin() + ptrdiff_t(size)});
            Image out = test::patternPicture(2, 2, false);
            const Image before = out;
            const ImageStatus opened = openImage(path, out);
            EXPECT_EQ(opened.code(), ImageError::ReadFailed) << name << " cut to " << size;
            EXPECT_FALSE(opened) << name << " cut to " << size;
            EXPECT_TRUE(test::samePixels(out, before));
        }
    }
}

TEST(CorruptFiles, DamagedBytesNeverCrash)
{
    // Whether a damaged file still decodes depends on where the damage is; the sanitizer
    // build checks that no reader goes astray, and failures give the one message.
    test::TempDir dir;
    std::mt19937 random(12345);
    for (const char* name : kFiles) {
        auto file = test::readFileBytes(test::fixturePath(name));
        const std::string path = dir.file("bad" + extensionOf(name));
        for (int round = 0; round < 60; ++round) {
            auto damaged = file;
            const int flips = 1 + int(random() % 8);
            for (int i = 0; i < flips; ++i)
                damaged[random() % damaged.size()] ^= uint8_t(1u << (random() % 8));
            test::writeFileBytes(path, damaged);
            Image out;
            if (const ImageStatus opened = openImage(path, out); !opened) {
                EXPECT_EQ(opened.code(), ImageError::ReadFailed) << name;
            } else {
                EXPECT_FALSE(out.isEmpty());
            }
        }
    }
}

using Bytes = std::vector<unsigned char>;

void putBig(Bytes& bytes, size_t at, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * (width - 1 - i)));
}

void putLittle(Bytes& bytes, size_t at, uint32_t value, int width)
{
    for (int i = 0; i < width; ++i) bytes[at + size_t(i)] = uint8_t(value >> (8 * i));
}

// The frame header of any JPEG process (baseline, progressive) claims the size.
Bytes jpegClaiming(const char* fixture, uint32_t width, uint32_t height)
{
    Bytes jpeg = test::readFileBytes(test::fixturePath(fixture));
    size_t at = 2;
    while (at + 9 < jpeg.size() &&
           !(jpeg[at] == 0xFF && (jpeg[at + 1] == 0xC0 || jpeg[at + 1] == 0xC2)))
        ++at;
    EXPECT_LT(at + 9, jpeg.size()) << fixture;
    putBig(jpeg, at + 5, height, 2);
    putBig(jpeg, at + 7, width, 2);
    return jpeg;
}

uint32_t crc32(const unsigned char* data, size_t size)
{
    uint32_t crc = 0xFFFFFFFFu;
    for (size_t i = 0; i < size; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

Bytes pngClaiming(uint32_t width, uint32_t height)
{
    Bytes png = test::readFileBytes(test::fixturePath("codecs/png-interlaced.png"));
    putBig(png, 16, width, 4);
    putBig(png, 20, height, 4);
    putBig(png, 29, crc32(png.data() + 12, 17), 4);  // IHDR's type and data
    return png;
}

// Rewrites the first directory's width and length, whichever integer type they have.
Bytes tiffClaiming(const char* fixture, uint32_t width, uint32_t height)
{
    Bytes tiff = test::readFileBytes(test::fixturePath(fixture));
    EXPECT_EQ(tiff[0], 'I') << "the fixtures are little-endian";
    auto u16 = [&](size_t at) { return uint32_t(tiff[at] | (tiff[at + 1] << 8)); };
    const size_t ifd = size_t(u16(4) | (u16(6) << 16));
    for (uint32_t i = 0, n = u16(ifd); i < n; ++i) {
        const size_t entry = ifd + 2 + 12 * size_t(i);
        const uint32_t tag = u16(entry), type = u16(entry + 2);
        if (tag == 256 || tag == 257)
            putLittle(tiff, entry + 8, tag == 256 ? width : height, type == 3 ? 2 : 4);
    }
    return tiff;
}

TEST(CorruptFiles, ClaimedSizesAreRefusedFromTheHeader)
{
    // Each file is a few kilobytes claiming gigabytes; the refusal must come from the header
    // (it names the size and the limit) or from the data the header says must be there.
    const std::string over = "over the limit of 268435456 pixels";
    Bytes gif = test::readFileBytes(test::fixturePath("codecs/gif-anim.gif"));
    for (size_t i : {6, 7, 8, 9}) gif[i] = 0xFF;
    Bytes psd = test::readFileBytes(test::fixturePath("codecs/psd-rle3.psd"));
    putBig(psd, 14, 30000, 4);
    putBig(psd, 18, 30000, 4);
    Bytes psdShort = test::readFileBytes(test::fixturePath("codecs/psd-raw3.psd"));
    putBig(psdShort, 14, 4000, 4);
    putBig(psdShort, 18, 4000, 4);
    Bytes bmp = test::readFileBytes(test::fixturePath("codecs/bmp24.bmp"));
    putLittle(bmp, 18, 30000, 4);
    putLittle(bmp, 22, 30000, 4);
    struct Case {
        const char* name;
        Bytes bytes;
        std::string detail;
    };
    const Case cases[] = {
        {"baseline.jpg", jpegClaiming("codecs/rgb.jpg", 32768, 32768),
         "declares 32768 x 32768 pixels, " + over},
        {"progressive.jpg", jpegClaiming("codecs/progressive.jpg", 32768, 32768),
         "declares 32768 x 32768 pixels, " + over},
        {"cmyk.jpg", jpegClaiming("codecs/cmyk.jpg", 32768, 32768),
         "declares 32768 x 32768 pixels, " + over},
        {"interlaced.png", pngClaiming(2064, 262156), "declares 2064 x 262156 pixels, " + over},
        {"screen.gif", gif, "declares 65535 x 65535 pixels, " + over},
        {"strips.tif", tiffClaiming("codecs/tiff-rgb-lzw-cm.tif", 65535, 65535),
         "declares 65535 x 65535 pixels, " + over},
        {"short.tif", tiffClaiming("codecs/tiff-rgba-none-cm.tif", 4000, 4000),
         "file ends before its declared picture"},
        {"huge.psd", psd, "declares 30000 x 30000 pixels, " + over},
        {"short.psd", psdShort, "PSD image data beyond the end of the file"},
        {"short.bmp", bmp, "BMP pixels beyond the end of the file"},
    };
    test::TempDir dir;
    for (const Case& c : cases) {
        const std::string path = dir.file(c.name);
        test::writeFileBytes(path, c.bytes);
        test::MessageCollector messages;
        Image out;
        const ImageStatus opened = openImage(path, out);
        ASSERT_FALSE(opened) << c.name;
        EXPECT_TRUE(out.isEmpty()) << c.name;
        EXPECT_NE(opened.detail().find(c.detail), std::string::npos)
            << c.name << ": " << opened.detail();
        EXPECT_TRUE(messages.texts().empty()) << c.name;
        // A limit the user can raise is explained where it is shown; other refusals keep
        // the one message.
        const bool overLimit = c.detail.find(over) != std::string::npos;
        EXPECT_EQ(opened.code(), overLimit ? ImageError::OverPixelLimit : ImageError::ReadFailed)
            << c.name;
        EXPECT_EQ(imageErrorText(opened.failure()),
                  overLimit ? std::string(messages::kOpenImageError) + ": " + path + " " + c.detail
                            : std::string(messages::kOpenImageError))
            << c.name;
    }
}

TEST(CorruptFiles, PixelLimitCanBeLoweredAndRaised)
{
    test::TempDir dir;
    const std::string path = test::fixturePath("codecs/rgb.jpg");
    Image out;
    ASSERT_TRUE(openImage(path, out));
    const uint64_t pixels = out.pixelCount();
    struct Case {
        uint64_t limit;
        bool opens;
    };
    for (const Case& c : {Case{pixels - 1, false}, Case{pixels, true}, Case{0, true}}) {
        setMaxPicturePixels(c.limit);
        test::MessageCollector messages;
        Image again;
        const ImageStatus opened = openImage(path, again);
        EXPECT_EQ(opened.ok(), c.opens) << c.limit;
        EXPECT_EQ(lastFailureIsPixelLimit(), !c.opens) << c.limit;
    }
    EXPECT_EQ(maxPicturePixels(), kDefaultMaxPixels);
    setMaxPicturePixels(uint64_t(1) << 60);
    EXPECT_EQ(maxPicturePixels(), kHighestMaxPixels);
    setMaxPicturePixels(0);
}

}  // namespace
}  // namespace tavelune
