// Blend modes: the table reads against the plain formulas, and the branch points.
#include "pixel/blend_kernels.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pixel/pixel.h"

namespace tavelune {
namespace {

using RunKernel = void (*)(uint32_t*, const uint32_t*, const uint32_t*, uint32_t);

// One run holding every (a, b) pair of a channel value, in all three colour channels.
struct PairRuns {
    std::vector<uint32_t> a;
    std::vector<uint32_t> b;
    PairRuns()
    {
        for (int x = 0; x < 256; ++x) {
            for (int y = 0; y < 256; ++y) {
                a.push_back(makePixel(0x5A, x, x, x));
                b.push_back(makePixel(0xA5, y, y, y));
            }
        }
    }
};

// Each kernel against its formula written out with plain arithmetic, for every pair.
TEST(BlendKernels, MatchTheirFormulasForEveryPair)
{
    struct Case {
        const char* name;
        RunKernel kernel;
        int (*formula)(int a, int b);
    };
    const Case cases[] = {
        {"multiply", multiplyPixels, [](int a, int b) { return (a * b) >> 8; }},
        {"screen", screenPixels, [](int a, int b) { return 254 - (((255 - a) * (255 - b)) >> 8); }},
        {"overlay", overlayPixels,
         [](int a, int b) {
             return b < 128 ? (a * b) >> 7 : 255 - (((255 - a) * (255 - b)) >> 7);
         }},
        {"soft light", softLightPixels,
         [](int a, int b) {
             double x = std::trunc(a * b / 256.0);
             double s = 255 - (255 - a) * (255 - b) / 256.0;
             return int(std::trunc(x + b * (s - x) / 256));
         }},
    };
    PairRuns runs;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<uint32_t> dst(runs.a.size(), 0x7F000000u);
        c.kernel(dst.data(), runs.a.data(), runs.b.data(), uint32_t(dst.size()));
        int wrong = 0;
        for (size_t i = 0; i < dst.size() && wrong < 5; ++i) {
            int a = blueOf(runs.a[i]);
            int b = blueOf(runs.b[i]);
            int v = c.formula(a, b);
            if (dst[i] != makePixel(0x7F, v, v, v)) {
                ADD_FAILURE() << "a=" << a << " b=" << b << " gives " << std::hex << dst[i];
                ++wrong;
            }
        }
    }
}

TEST(BlendKernels, BranchPointsAndLimits)
{
    struct Case {
        RunKernel kernel;
        int a;
        int b;
        int expected;
    };
    const Case cases[] = {
        {screenPixels, 0, 0, 0},      // two blacks
        {screenPixels, 255, 0, 254},  // white over anything stays below white
        {screenPixels, 255, 255, 254},   {screenPixels, 77, 255, 254},
        {overlayPixels, 255, 127, 253},  // B below 128: multiply branch
        {overlayPixels, 0, 128, 2},      // B from 128: screen branch
        {overlayPixels, 255, 255, 255},  {overlayPixels, 0, 0, 0},
        {multiplyPixels, 255, 255, 254}, {softLightPixels, 255, 255, 254},
        {softLightPixels, 0, 0, 0},      {softLightPixels, 128, 128, 127},  // 127.998 truncated
    };
    for (const Case& c : cases) {
        uint32_t a = makePixel(255, c.a, c.a, c.a);
        uint32_t b = makePixel(255, c.b, c.b, c.b);
        uint32_t dst = 0;
        c.kernel(&dst, &a, &b, 1);
        EXPECT_EQ(dst, makePixel(0, c.expected, c.expected, c.expected))
            << "a=" << c.a << " b=" << c.b;
    }
}

TEST(BlendKernels, ChannelsAreIndependentAndAlphaKept)
{
    uint32_t a = makePixel(1, 255, 0, 128);
    uint32_t b = makePixel(2, 127, 200, 128);
    uint32_t dst = 0xC3000000u;
    overlayPixels(&dst, &a, &b, 1);
    EXPECT_EQ(dst, makePixel(0xC3, 253, 146, 129));
}

TEST(BlendKernels, DestinationMayBeASource)
{
    std::vector<uint32_t> a = {makePixel(255, 10, 200, 90), makePixel(255, 255, 1, 128)};
    std::vector<uint32_t> b = {makePixel(255, 250, 30, 129), makePixel(255, 3, 254, 127)};
    for (RunKernel kernel : {multiplyPixels, screenPixels, overlayPixels, softLightPixels,
                             blendByAlpha, compositeOver}) {
        std::vector<uint32_t> separate = a;
        kernel(separate.data(), a.data(), b.data(), 2);
        std::vector<uint32_t> inPlaceA = a;
        kernel(inPlaceA.data(), inPlaceA.data(), b.data(), 2);
        std::vector<uint32_t> inPlaceB = b;
        std::vector<uint32_t> expectB = b;
        kernel(expectB.data(), a.data(), b.data(), 2);
        kernel(inPlaceB.data(), a.data(), inPlaceB.data(), 2);
        EXPECT_EQ(inPlaceA, separate);
        EXPECT_EQ(inPlaceB, expectB);
    }
}

TEST(BlendKernels, NullRunsAndZeroCountDoNothing)
{
    uint32_t a = 0xFF102030u;
    uint32_t b = 0xFF405060u;
    for (RunKernel kernel : {multiplyPixels, screenPixels, overlayPixels, softLightPixels,
                             blendByAlpha, compositeOver}) {
        uint32_t dst = 0x12345678u;
        kernel(&dst, nullptr, &b, 1);
        kernel(&dst, &a, nullptr, 1);
        kernel(&dst, &a, &b, 0);
        kernel(nullptr, &a, &b, 1);
        EXPECT_EQ(dst, 0x12345678u);
    }
}

TEST(BlendByAlpha, TruncatesTowardZeroAndMakesOpaque)
{
    struct Case {
        int a, b, alpha, expected;
    };
    const Case cases[] = {
        {255, 0, 128, 128},  // 32640 / 255 = 128
        {0, 255, 128, 127},  // 255 + trunc(-128) = 127
        {0, 1, 128, 1},      // trunc(-0.5) is 0, not -1
        {200, 100, 0, 100}, {200, 100, 255, 200}, {1, 0, 254, 0},
    };
    for (const Case& c : cases) {
        uint32_t a = makePixel(uint32_t(c.alpha), c.a, c.a, c.a);
        uint32_t b = makePixel(9, c.b, c.b, c.b);
        uint32_t dst = 0;
        blendByAlpha(&dst, &a, &b, 1);
        EXPECT_EQ(dst, makePixel(255, c.expected, c.expected, c.expected))
            << c.a << " over " << c.b << " at " << c.alpha;
    }
}

TEST(CompositeOver, HalfAlphaOverOpaqueBlendsAndStaysOpaque)
{
    int values[] = {0, 1, 77, 128, 200, 254, 255};
    for (int a : values) {
        for (int b : values) {
            uint32_t over = makePixel(128, a, a, a);
            uint32_t under = makePixel(255, b, b, b);
            int expected = int(std::trunc(b + (128.0 / 255.0) * (a - b)));
            uint32_t dst = 0;
            compositeOver(&dst, &over, &under, 1);
            EXPECT_EQ(dst, makePixel(255, expected, expected, expected)) << a << " over " << b;
            EXPECT_EQ(compositePixel(under, over), dst);
        }
    }
}

TEST(CompositeOver, ComposedAlpha)
{
    struct Case {
        int over, under, alpha;
    };
    const Case cases[] = {
        {16, 255, 255},                    // the recipes' faint layer keeps the picture opaque
        {128, 255, 255}, {255, 255, 254},  // 254.99998 in single precision, truncated
        {255, 0, 255},   {0, 200, 200},   {128, 128, 191},  // 128 + (1 - 128/255) * 128 = 191.75
    };
    for (const Case& c : cases) {
        uint32_t p = compositePixel(makePixel(uint32_t(c.under), 10, 20, 30),
                                    makePixel(uint32_t(c.over), 250, 20, 0));
        EXPECT_EQ(alphaOf(p), c.alpha) << c.over << " over " << c.under;
    }
    // Opaque over opaque gives the top colour.
    EXPECT_EQ(compositePixel(0xFF0A141Eu, 0xFFFA1400u) & 0xFFFFFFu, 0xFA1400u);
    // Nothing over nothing keeps the under colour and stays transparent.
    EXPECT_EQ(compositePixel(0x000A141Eu, 0x00FA1400u), 0x000A141Eu);
}

TEST(PixelPacking, MakePixelAndColourValues)
{
    EXPECT_EQ(makePixel(0x1FF, 0x102, 0x3, 0xFF04), 0xFF020304u);
    EXPECT_EQ(colorRefToPixel(0x00332211u), 0xFF112233u);
    EXPECT_EQ(colorRefToPixel(0xFF332211u), 0xFF112233u);
}

}  // namespace
}  // namespace tavelune
