// Whole-number HSV: rounding, grey detection, band membership and weights.
#include "pixel/hsv.h"

#include <gtest/gtest.h>

#include <vector>

#include "pixel/pixel.h"

namespace tavelune {
namespace {

uint32_t adjustOne(uint32_t pixel, int hueShift, int saturation, int value, int from, int to)
{
    uint32_t out = 0;
    adjustHsv(&out, &pixel, 1, hueShift, saturation, value, from, to);
    return out;
}

TEST(PixelToHsv, RoundsToWholeDegreesAndPercent)
{
    struct Case {
        uint32_t pixel;
        HsvColour expected;
    };
    const Case cases[] = {
        {makePixel(255, 255, 254, 254), {0, 0, 100}},  // nearly grey is exactly grey
        {makePixel(255, 0, 0, 0), {0, 0, 0}},
        {makePixel(255, 128, 128, 128), {0, 0, 50}},  // 50.196
        {makePixel(255, 0, 0, 1), {240, 100, 0}},     // value 0.39 rounds to 0
        {makePixel(255, 255, 0, 0), {0, 100, 100}},
        {makePixel(255, 255, 255, 0), {60, 100, 100}},  // red and green tie
        {makePixel(255, 0, 255, 255), {180, 100, 100}},
        {makePixel(255, 255, 0, 255), {300, 100, 100}},
        {makePixel(255, 255, 0, 1), {360, 100, 100}},  // 359.76 rounds up to 360
        {makePixel(255, 255, 215, 128), {41, 50, 100}},
        {makePixel(255, 200, 100, 50), {20, 75, 78}},
    };
    for (const Case& c : cases) EXPECT_EQ(pixelToHsv(c.pixel), c.expected) << std::hex << c.pixel;
}

TEST(HsvToPixel, RoundingOfValueAndSaturation)
{
    // Value is kept in single precision on the coloured road: 0.7f * 255 is 178.4999.
    EXPECT_EQ(hsvToPixel({0, 100, 70}), makePixel(255, 178, 0, 0));
    // The grey road uses 2.55 in double precision: 178.5 rounds up.
    EXPECT_EQ(hsvToPixel({0, 0, 70}), makePixel(255, 179, 179, 179));
    EXPECT_EQ(hsvToPixel({0, 0, 100}), 0xFFFFFFFFu);
    EXPECT_EQ(hsvToPixel({120, 100, 100}), makePixel(255, 0, 255, 0));
    EXPECT_EQ(hsvToPixel({240, 100, 100}), makePixel(255, 0, 0, 255));
    EXPECT_EQ(hsvToPixel({360, 100, 100}), makePixel(255, 255, 0, 0));
    EXPECT_EQ(hsvToPixel({30, 100, 100}), makePixel(255, 255, 128, 0));
}

TEST(HsvToPixel, HueAbove360KeepsTheBaseColour)
{
    EXPECT_EQ(hsvToPixel({361, 50, 50}, 0x00123456u), 0xFF123456u);
}

TEST(HsvToPixel, EveryPureHueSurvivesTheRoundTrip)
{
    for (int hue = 0; hue < 360; ++hue) {
        HsvColour back = pixelToHsv(hsvToPixel({hue, 100, 100}));
        EXPECT_NEAR(back.hue, hue, 1) << hue;
        EXPECT_EQ(back.saturation, 100) << hue;
        EXPECT_EQ(back.value, 100) << hue;
    }
}

TEST(AdjustHsv, NearlyGreyBecomesExactlyGrey)
{
    EXPECT_EQ(adjustOne(makePixel(255, 255, 254, 254), 0, 20, 0, 0, 359), 0xFFFFFFFFu);
}

TEST(AdjustHsv, HueRoundedTo360IsOutsideTheFullBand)
{
    uint32_t pixel = makePixel(0x12, 255, 0, 1);
    EXPECT_EQ(adjustOne(pixel, 0, -50, 0, 0, 359), pixel);  // alpha copied too
    uint32_t red = makePixel(0x12, 255, 1, 0);
    EXPECT_EQ(adjustOne(red, 0, -50, 0, 0, 359), hsvToPixel({0, 50, 100}));
}

TEST(AdjustHsv, NarrowBandActsAtFullStrengthInsideAndNotOutside)
{
    // The yellows band of the colour recipe, 45..75.
    for (int hue = 40; hue <= 80; ++hue) {
        uint32_t pixel = hsvToPixel({hue, 50, 80});
        HsvColour hsv = pixelToHsv(pixel);
        uint32_t out = adjustOne(pixel & 0x7FFFFFFFu, 0, 20, 0, 45, 75);
        if (hsv.hue < 45 || hsv.hue > 75) {
            EXPECT_EQ(out, pixel & 0x7FFFFFFFu) << hue;
        } else {
            HsvColour full{hsv.hue, int((20 * 0.01 + 1) * hsv.saturation), hsv.value};
            EXPECT_EQ(out, hsvToPixel(full)) << hue;
        }
    }
}

TEST(AdjustHsv, OddBandWidthWeakensTheLastDegree)
{
    // Band 10..41: centre 25, half 15, so hue 41 lies 16 from the centre: weight 29/30.
    uint32_t edge = makePixel(255, 255, 215, 128);
    ASSERT_EQ(pixelToHsv(edge), (HsvColour{41, 50, 100}));
    EXPECT_EQ(adjustOne(edge, 0, 100, 0, 10, 41), hsvToPixel({41, 98, 100}));
    uint32_t inside = makePixel(255, 255, 200, 128);
    HsvColour hsv = pixelToHsv(inside);
    ASSERT_LT(hsv.hue, 41);
    EXPECT_EQ(adjustOne(inside, 0, 100, 0, 10, 41), hsvToPixel({hsv.hue, 100, hsv.value}));
}

TEST(AdjustHsv, ValueAndSaturationClamp)
{
    uint32_t pixel = makePixel(255, 200, 100, 50);  // hue 20, saturation 75, value 78
    EXPECT_EQ(adjustOne(pixel, 0, 0, 100, 0, 359), hsvToPixel({20, 75, 100}));
    EXPECT_EQ(adjustOne(pixel, 0, 0, -100, 0, 359), hsvToPixel({20, 75, 0}));
    EXPECT_EQ(adjustOne(pixel, 0, 999, 0, 0, 359), hsvToPixel({20, 100, 78}));   // 100 %
    EXPECT_EQ(adjustOne(pixel, 0, -50, 50, 0, 359), hsvToPixel({20, 37, 100}));  // 117 -> 100
}

TEST(AdjustHsv, BandArgumentsAreNormalised)
{
    uint32_t red = makePixel(255, 255, 0, 0);       // hue 0
    uint32_t nearRed = makePixel(255, 255, 0, 4);   // hue 359
    uint32_t orange = makePixel(255, 255, 21, 0);   // hue 5
    uint32_t magenta = makePixel(255, 255, 0, 21);  // hue 355
    // from = to = 359: to becomes 360, then 0, and from -1: the band is -1..0.
    EXPECT_NE(adjustOne(red, 0, 0, -50, 359, 359), red);
    EXPECT_EQ(adjustOne(nearRed, 0, 0, -50, 359, 359), nearRed);
    // A band across 0 starts below 0, so only its upper part matches.
    EXPECT_NE(adjustOne(orange, 0, 0, -50, 350, 10), orange);
    EXPECT_EQ(adjustOne(magenta, 0, 0, -50, 350, 10), magenta);
    // Out-of-range hues clamp to 0..359.
    EXPECT_EQ(adjustOne(orange, 0, 0, -50, -40, 400), adjustOne(orange, 0, 0, -50, 0, 359));
}

TEST(AdjustHsv, HueShiftWrapsBelowZeroAndAbove360)
{
    uint32_t orange = hsvToPixel({20, 100, 100});
    EXPECT_EQ(adjustOne(orange, -40, 0, 0, 0, 359), hsvToPixel({340, 100, 100}));
    uint32_t magenta = hsvToPixel({300, 100, 100});
    EXPECT_EQ(adjustOne(magenta, 120, 0, 0, 0, 359), hsvToPixel({60, 100, 100}));
}

TEST(AdjustHsv, NullRunsDoNothing)
{
    uint32_t pixel = 0x12345678u;
    adjustHsv(&pixel, nullptr, 1, 0, 50, 0, 0, 359);
    adjustHsv(nullptr, &pixel, 1, 0, 50, 0, 0, 359);
    adjustHsv(&pixel, &pixel, 0, 0, 50, 0, 0, 359);
    EXPECT_EQ(pixel, 0x12345678u);
}

}  // namespace
}  // namespace tavelune
