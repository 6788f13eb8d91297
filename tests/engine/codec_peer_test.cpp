// Our decoders against ImageMagick's decoding of files written by it and by other writers
// (scripts/make-codec-fixtures.sh). Where our rules differ on purpose, the expected pixel is
// derived from the peer's by that rule.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "codec_test_util.h"
#include "engine/engine_messages.h"
#include "engine/format_dispatch.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

enum class Rule {
    Same,           // identical colours and alpha
    Flattened,      // PNG: alpha composited onto the background in linear light (file gamma)
    Premultiplied,  // libtiff's RGBA reader premultiplies unassociated alpha
    Rgb555,         // 5-bit channels widened by a shift, the peer scales them
    Transparent,    // GIF: transparent pixels keep the background colour (alpha 0)
    Flattened16,    // the same at 16 bits per sample, then cut to the high byte
    AlphaRamp,      // PSD with five channels: the peer ignores the alpha plane, which holds 17 x
};

struct PeerCase {
    const char* file;
    Rule rule;
    int tolerance;  // per channel
    float dpi;
    uint32_t background = 0;  // Flattened: the bKGD colour, or black without one
};

// One channel of a 0xAARRGGBB value.
int channel(uint32_t p, int shift)
{
    return int((p >> shift) & 0xFF);
}

uint32_t expected(const PeerCase& c, int x, uint8_t r, uint8_t g, uint8_t b, uint8_t a)
{
    const Rule rule = c.rule;
    auto over = [a](int colour, int background) {
        return uint32_t((colour * a + background * (255 - a) + 127) / 255);
    };
    switch (rule) {
        case Rule::Flattened: {
            // The files carry gAMA 0.45455; libpng composites in linear light through 8-bit
            // tables: to linear, blend with rounding, back to the file's gamma.
            const double gamma = 1.0 / 0.45455;
            auto toLinear = [&](int v) {
                return int(std::lround(255.0 * std::pow(v / 255.0, gamma)));
            };
            auto fromLinear = [&](int v) {
                return uint32_t(std::lround(255.0 * std::pow(v / 255.0, 1.0 / gamma)));
            };
            auto flat = [&](int colour, int background) {
                if (a == 255)
                    return uint32_t(colour);
                if (a == 0)
                    return uint32_t(background);
                int linear = (toLinear(colour) * a + toLinear(background) * (255 - a) + 127) / 255;
                return fromLinear(linear);
            };
            return 0xFF000000u | (flat(r, channel(c.background, 16)) << 16) |
                   (flat(g, channel(c.background, 8)) << 8) | flat(b, channel(c.background, 0));
        }
        case Rule::Flattened16: {
            const double gamma = 1.0 / 0.45455, f = a / 255.0;
            auto flat = [&](int colour, int background) {
                double linear = f * std::pow(colour / 255.0, gamma) +
                                (1 - f) * std::pow(background / 255.0, gamma);
                return uint32_t(std::lround(65535.0 * std::pow(linear, 1.0 / gamma))) >> 8;
            };
            return 0xFF000000u | (flat(r, channel(c.background, 16)) << 16) |
                   (flat(g, channel(c.background, 8)) << 8) | flat(b, channel(c.background, 0));
        }
        case Rule::AlphaRamp:
            return (uint32_t(17 * x) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
        case Rule::Premultiplied:
            return (uint32_t(a) << 24) | (over(r, 0) << 16) | (over(g, 0) << 8) | over(b, 0);
        case Rule::Rgb555: {
            auto widen = [](int v) { return uint32_t((v * 31 + 127) / 255) << 3; };
            return 0xFF000000u | (widen(r) << 16) | (widen(g) << 8) | widen(b);
        }
        default:
            return (uint32_t(a) << 24) | (uint32_t(r) << 16) | (uint32_t(g) << 8) | b;
    }
}

class CodecPeer : public testing::TestWithParam<PeerCase> {};

TEST_P(CodecPeer, DecodesLikeThePeer)
{
    const PeerCase& c = GetParam();
    const std::string path = test::fixturePath(std::string("codecs/") + c.file);
    auto reference = test::readFileBytes(path + ".rgba");
    Image ours;
    ASSERT_TRUE(openImage(path, ours));
    ASSERT_EQ(ours.width(), 16);
    ASSERT_EQ(ours.height(), 12);
    ASSERT_EQ(reference.size(), 16u * 12u * 4u);
    if (c.dpi > 0) {
        EXPECT_NEAR(ours.dpi(), c.dpi, 0.01);
    }
    int worst = 0, transparent = 0;
    for (int y = 0; y < 12; ++y)
        for (int x = 0; x < 16; ++x) {
            const uint8_t* p = &reference[size_t(y * 16 + x) * 4];
            const uint32_t got = ours.pixelAt(x, y);
            if (c.rule == Rule::Transparent && p[3] == 0) {
                ++transparent;
                ASSERT_EQ(got >> 24, 0u) << x << "," << y;
                continue;
            }
            const uint32_t want = expected(c, x, p[0], p[1], p[2], p[3]);
            ASSERT_EQ(got >> 24, want >> 24) << x << "," << y;
            for (int shift : {0, 8, 16})
                worst = std::max(worst, std::abs(channel(got, shift) - channel(want, shift)));
        }
    EXPECT_LE(worst, c.tolerance);
    if (c.rule == Rule::Transparent) {
        EXPECT_GT(transparent, 0);
    }
}

// The 4:2:0 files may differ by the peer's own chroma upsampling; the rest must match.
INSTANTIATE_TEST_SUITE_P(
    Fixtures, CodecPeer,
    testing::Values(
        PeerCase{"rgb.jpg", Rule::Same, 0, 0}, PeerCase{"rgb-444.jpg", Rule::Same, 0, 0},
        PeerCase{"progressive.jpg", Rule::Same, 0, 0}, PeerCase{"grey.jpg", Rule::Same, 0, 0},
        PeerCase{"cmyk.jpg", Rule::Same, 2, 0}, PeerCase{"png-rgb.png", Rule::Same, 0, 0},
        PeerCase{"png-palette.png", Rule::Same, 0, 0},
        PeerCase{"png-palette-trns.png", Rule::Flattened, 0, 0, 0},
        PeerCase{"png-grey.png", Rule::Same, 0, 0}, PeerCase{"png-grey4.png", Rule::Same, 0, 0},
        PeerCase{"png-grey-alpha.png", Rule::Flattened, 2, 0, 0xFFFFFF},
        PeerCase{"png-rgba.png", Rule::Flattened, 2, 0, 0},
        PeerCase{"png-rgba-bkgd.png", Rule::Flattened, 2, 0, 0x3366CC},
        PeerCase{"png-rgb16.png", Rule::Same, 0, 0},
        // libpng's 16-bit gamma tables are coarser than this model near black.
        PeerCase{"png-rgba16.png", Rule::Flattened16, 8, 0, 0},
        PeerCase{"png-interlaced.png", Rule::Same, 0, 0},
        PeerCase{"png-2835ppm.png", Rule::Same, 0, 72.009f},
        PeerCase{"gif-anim.gif", Rule::Transparent, 0, 72},
        PeerCase{"gif-interlaced.gif", Rule::Same, 0, 72},
        PeerCase{"gif-offset.gif", Rule::Transparent, 0, 72},
        PeerCase{"psd-raw3.psd", Rule::Same, 0, 72}, PeerCase{"psd-rle3.psd", Rule::Same, 0, 72},
        PeerCase{"psd-raw4.psd", Rule::Same, 0, 72}, PeerCase{"psd-rle4.psd", Rule::Same, 0, 72},
        PeerCase{"psd-raw5.psd", Rule::AlphaRamp, 0, 72},
        PeerCase{"psd-rle5.psd", Rule::AlphaRamp, 0, 72}, PeerCase{"bmp1.bmp", Rule::Same, 0, 72},
        PeerCase{"bmp4.bmp", Rule::Same, 0, 72}, PeerCase{"bmp8.bmp", Rule::Same, 0, 72},
        PeerCase{"bmp8-v5.bmp", Rule::Same, 0, 72}, PeerCase{"bmp16.bmp", Rule::Rgb555, 0, 96},
        PeerCase{"bmp24.bmp", Rule::Same, 0, 72}, PeerCase{"bmp24-topdown.bmp", Rule::Same, 0, 96},
        PeerCase{"bmp32.bmp", Rule::Same, 0, 72},
        PeerCase{"tiff-rgb-none-inch.tif", Rule::Same, 0, 300},
        PeerCase{"tiff-rgb-lzw-cm.tif", Rule::Same, 0, 300},
        PeerCase{"tiff-rgba-lzw-inch.tif", Rule::Premultiplied, 1, 96},
        PeerCase{"tiff-rgba-none-cm.tif", Rule::Premultiplied, 1, 101.6f}),
    [](const testing::TestParamInfo<PeerCase>& param) {
        std::string name = param.param.file;
        for (char& ch : name)
            if (!std::isalnum(static_cast<unsigned char>(ch)))
                ch = '_';
        return name;
    });

TEST(CodecPeer, RefusedVariants)
{
    for (const char* file :
         {"psd-16bit.psd", "psd-cmyk.psd", "bmp16-bitfields.bmp", "bmp8-rle.bmp"}) {
        Image out;
        const ImageStatus opened = openImage(test::fixturePath(std::string("codecs/") + file), out);
        EXPECT_EQ(opened.code(), ImageError::ReadFailed) << file;
        EXPECT_TRUE(opened.warnings().empty()) << file;
    }
}

}  // namespace
}  // namespace tavelune
