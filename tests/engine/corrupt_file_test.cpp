// Truncated and damaged files of every format: "Open image file error !" and no crash.
#include <gtest/gtest.h>

#include <random>

#include "codec_test_util.h"
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
            test::MessageCollector messages;
            Image out = test::patternPicture(2, 2, false);
            const Image before = out;
            EXPECT_FALSE(openImage(path, out)) << name << " cut to " << size;
            ASSERT_FALSE(messages.texts().empty());
            EXPECT_EQ(messages.texts().back(), messages::kOpenImageError) << name << " " << size;
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
            test::MessageCollector messages;
            Image out;
            if (!openImage(path, out)) {
                ASSERT_FALSE(messages.texts().empty());
                EXPECT_EQ(messages.texts().back(), messages::kOpenImageError) << name;
            } else {
                EXPECT_FALSE(out.isEmpty());
            }
        }
    }
}

TEST(CorruptFiles, ClaimedGiantSizesAreRefusedBeforeAllocating)
{
    test::TempDir dir;
    // JPEG: the frame header's height and width; GIF: the logical screen.
    auto jpeg = test::readFileBytes(test::fixturePath("codecs/rgb.jpg"));
    size_t sof = 2;
    while (sof + 9 < jpeg.size() && !(jpeg[sof] == 0xFF && jpeg[sof + 1] == 0xC0)) ++sof;
    ASSERT_LT(sof + 9, jpeg.size());
    for (size_t i : {sof + 5, sof + 6, sof + 7, sof + 8}) jpeg[i] = 0xFD;
    test::writeFileBytes(dir.file("giant.jpg"), jpeg);
    auto gif = test::readFileBytes(test::fixturePath("codecs/gif-anim.gif"));
    for (size_t i : {6, 7, 8, 9}) gif[i] = 0xFF;
    test::writeFileBytes(dir.file("giant.gif"), gif);
    for (const char* name : {"giant.jpg", "giant.gif"}) {
        test::MessageCollector messages;
        Image out;
        EXPECT_FALSE(openImage(dir.file(name), out)) << name;
        EXPECT_EQ(messages.texts().back(), messages::kOpenImageError);
        EXPECT_NE(lastImageError().find("size out of range"), std::string::npos)
            << lastImageError();
    }
}

}  // namespace
}  // namespace tavelune
