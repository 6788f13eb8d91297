// Levels, the channel mixer, channel fills, luma and the histogram.
#include "pixel/tone_kernels.h"

#include <gtest/gtest.h>

#include <atomic>
#include <vector>

#include "pixel/luma.h"
#include "pixel/luma_histogram.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

std::vector<uint32_t> rampOf(uint32_t alpha = 0xFF)
{
    std::vector<uint32_t> run;
    for (int v = 0; v < 256; ++v) run.push_back(makePixel(alpha, v, 255 - v, v ^ 0x55));
    return run;
}

std::array<uint8_t, 256> curveOf(double gamma, int outLow = 0, int outHigh = 255, int inLow = 0,
                                 int inHigh = 255)
{
    return LevelsCurve(outLow, outHigh, inLow, inHigh, gamma).lookup();
}

TEST(ApplyLevels, GammaOneLeavesEveryValue)
{
    std::vector<uint32_t> src = rampOf();
    std::vector<uint32_t> dst(src.size(), 0);
    applyLevels(dst.data(), src.data(), uint32_t(src.size()), 0, 255, 0, 255, 1.0, kAllChannels);
    for (size_t i = 0; i < src.size(); ++i)
        EXPECT_EQ(dst[i], src[i] & 0x00FFFFFFu) << i;  // alpha is the destination's own
}

TEST(ApplyLevels, SingleChannelSelectorWritesOnlyThatChannel)
{
    std::vector<uint32_t> src = rampOf();
    std::vector<uint32_t> dst(src.size(), 0x11223344u);
    applyLevels(dst.data(), src.data(), uint32_t(src.size()), 0, 255, 0, 255, 2.0, 'G');
    std::array<uint8_t, 256> curve = curveOf(2.0);
    for (size_t i = 0; i < src.size(); ++i)
        EXPECT_EQ(dst[i], makePixel(0x11, 0x22, curve[size_t(greenOf(src[i]))], 0x44)) << i;

    std::vector<uint32_t> untouched(src.size(), 0x11223344u);
    applyLevels(untouched.data(), src.data(), uint32_t(src.size()), 0, 255, 0, 255, 2.0, 'X');
    EXPECT_EQ(untouched, std::vector<uint32_t>(src.size(), 0x11223344u));
}

TEST(LevelsCurve, GammaIsQuantisedToHundredths)
{
    struct Case {
        double given;
        int hundredths;
    };
    const Case cases[] = {
        {0.999, 99},        {12.0, 999}, {0.05, 10},  {-3.0, 10},   {0.8, 80},
        {0.9, 90},          {1.2, 120},  {1.25, 125}, {0.3125, 31}, {double(0.4375f), 43},
        {double(0.9f), 89},  // why the recipes pass their constants in double precision
    };
    for (const Case& c : cases) {
        LevelsCurve curve(0, 255, 0, 255, c.given);
        EXPECT_EQ(curve.gamma(), float(c.hundredths * 0.01)) << c.given;
        EXPECT_EQ(curve.lookup(), curveOf(c.hundredths / 100.0)) << c.given;
    }
    EXPECT_NE(curveOf(0.99), curveOf(1.0));
}

TEST(LevelsCurve, KnownMidTones)
{
    EXPECT_EQ(curveOf(1.25)[128], 147);
    EXPECT_EQ(curveOf(1.0)[128], 128);
    EXPECT_EQ(curveOf(0.5)[128], 64);  // 255 * (128/255)^2 = 64.25
    EXPECT_EQ(curveOf(3.0)[0], 0);
    EXPECT_EQ(curveOf(3.0)[255], 255);
}

TEST(LevelsCurve, InputLimitsClipHardInsteadOfStretching)
{
    std::array<uint8_t, 256> curve = curveOf(1.0, 0, 255, 50, 200);
    EXPECT_EQ(curve[49], 0);
    EXPECT_EQ(curve[50], 50);
    EXPECT_EQ(curve[200], 200);
    EXPECT_EQ(curve[201], 255);

    // Limits closer than 2 apart are pushed apart; out-of-range limits are clamped.
    std::array<uint8_t, 256> narrow = curveOf(1.0, 0, 255, 100, 100);
    EXPECT_EQ(narrow[99], 0);
    EXPECT_EQ(narrow[102], 102);
    EXPECT_EQ(narrow[103], 255);
    std::array<uint8_t, 256> wide = curveOf(1.0, -40, 999, -5, 300);
    EXPECT_EQ(wide, curveOf(1.0));
}

TEST(LevelsCurve, OutputLimitsCompareTheIndexNotTheValue)
{
    // Gamma 0.5 darkens: index 120 maps to 56, below outLow, but its index is above it.
    std::array<uint8_t, 256> curve = curveOf(0.5, 100, 255);
    EXPECT_EQ(curve[99], 100);
    EXPECT_EQ(curve[120], 56);
    std::array<uint8_t, 256> capped = curveOf(2.0, 0, 50);
    EXPECT_EQ(capped[50], 113);  // 255 * sqrt(50/255) = 112.9
    EXPECT_EQ(capped[51], 50);
}

TEST(MixChannels, TermsTruncateAndClamp)
{
    struct Case {
        int r, g, b;
        int m[3];
        int expected;  // red output
    };
    const Case cases[] = {
        {10, 1, 0, {100, -50, 0}, 10},      // -0.5 truncates to 0, not -1
        {10, 3, 0, {100, -50, 0}, 9},       // -1.5 truncates to -1
        {1, 0, 0, {300, 0, 0}, 2},          // coefficients clamp to 200
        {255, 255, 0, {200, 200, 0}, 255},  // each term caps at 255, the sum at 255
        {255, 0, 0, {-200, 0, 0}, 0},       // negative sums clamp to 0
        {100, 100, 100, {104, -2, -2}, 100}, {255, 0, 0, {104, -2, -2}, 255},
        {200, 10, 0, {104, -2, -2}, 208},  // 208 + trunc(-0.2)
    };
    for (const Case& c : cases) {
        uint32_t src = makePixel(255, c.r, c.g, c.b);
        uint32_t dst = 0xAB000000u;
        mixChannels(&dst, &src, 1, c.m[0], c.m[1], c.m[2], 0, 100, 0, 0, 0, 100);
        EXPECT_EQ(dst, makePixel(0xAB, c.expected, c.g, c.b)) << c.r << "," << c.g << "," << c.b;
    }
}

TEST(MixChannels, RowsFeedTheirOwnOutputChannel)
{
    uint32_t src = makePixel(7, 100, 50, 20);
    uint32_t dst = src;
    mixChannels(&dst, &dst, 1, 0, 0, 100, 100, 0, 0, 0, 100, 0);
    EXPECT_EQ(dst, makePixel(7, 20, 100, 50));
}

TEST(FillChannel, EachSelector)
{
    struct Case {
        int channel;
        uint32_t expected;
    };
    const Case cases[] = {
        {0, 0x80808080u},   {'R', 0x11802244u}, {'G', 0x11338044u},
        {'B', 0x11332280u}, {'A', 0x80332244u}, {'Q', 0x11332244u},
    };
    for (const Case& c : cases) {
        uint32_t run[2] = {0x11332244u, 0x11332244u};
        fillChannel(run, 2, c.channel, 0x180);  // only the low byte counts
        EXPECT_EQ(run[0], c.expected) << c.channel;
        EXPECT_EQ(run[1], c.expected) << c.channel;
    }
}

TEST(Luma, SingleChannelsAndGreys)
{
    EXPECT_EQ(lumaOf(0, 0, 0), 0);
    EXPECT_EQ(lumaOf(255, 255, 255), 255);
    EXPECT_EQ(lumaOf(255, 0, 0), 76);   // 76.245
    EXPECT_EQ(lumaOf(0, 255, 0), 150);  // 149.685
    EXPECT_EQ(lumaOf(0, 0, 255), 29);   // 29.07
    for (int v = 0; v < 256; ++v) EXPECT_EQ(lumaOf(v, v, v), v) << v;
    EXPECT_EQ(lumaRed[1], 0.299f);
    EXPECT_EQ(lumaBlue[255], float(255 * 0.114));
}

TEST(LumaHistogram, CountsLumaAndEachChannel)
{
    std::vector<uint32_t> pixels = {makePixel(255, 255, 0, 0), makePixel(0, 255, 0, 0),
                                    makePixel(255, 10, 20, 30)};
    std::vector<uint32_t> hist(1024, 99);
    lumaHistogram(hist.data(), pixels.data(), uint32_t(pixels.size()), nullptr);
    EXPECT_EQ(hist[76], 2u);
    EXPECT_EQ(hist[size_t(lumaOf(10, 20, 30))], 1u);
    EXPECT_EQ(hist[256 + 255], 2u);
    EXPECT_EQ(hist[256 + 10], 1u);
    EXPECT_EQ(hist[512 + 0], 2u);
    EXPECT_EQ(hist[512 + 20], 1u);
    EXPECT_EQ(hist[768 + 0], 2u);
    EXPECT_EQ(hist[768 + 30], 1u);
    uint64_t total = 0;
    for (uint32_t v : hist) total += v;
    EXPECT_EQ(total, 12u);
}

TEST(LumaHistogram, StopFlagEndsTheCountButTheCountersAreCleared)
{
    std::vector<uint32_t> pixels(100, 0xFFFFFFFFu);
    std::vector<uint32_t> hist(1024, 99);
    std::atomic<int> stop{1};
    lumaHistogram(hist.data(), pixels.data(), uint32_t(pixels.size()), &stop);
    EXPECT_EQ(hist, std::vector<uint32_t>(1024, 0));
    stop = 0;
    lumaHistogram(hist.data(), pixels.data(), uint32_t(pixels.size()), &stop);
    EXPECT_EQ(hist[255], 100u);
}

}  // namespace
}  // namespace tavelune
