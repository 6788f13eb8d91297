// Unit conversions at a resolution, and the rounding helpers.
#include "pixel/units.h"

#include <gtest/gtest.h>

#include <limits>

namespace tavelune {
namespace {

TEST(ConvertUnit, FactorTable)
{
    struct Case {
        int to, from;
        double value;
        int decimals;
        double dpi, expected;
    };
    const Case cases[] = {
        {kUnitCentimetre, kUnitInch, 1, 2, 72, 2.54},
        {kUnitInch, kUnitPixel, 150, 2, 300, 0.5},
        {kUnitPixel, kUnitInch, 2, 0, 300, 600},
        {kUnitMillimetre, kUnitPixel, 300, 3, 300, 25.4},
        {kUnitPoint, kUnitPixel, 300, 2, 300, 72},
        {kUnitPica, kUnitPixel, 150, 2, 300, 3},
        {kUnitPixel, kUnitCentimetre, 2.54, 2, 300, 300},
        {kUnitPixel, kUnitMillimetre, 25.4, 2, 300, 300},
        {kUnitPixel, kUnitPoint, 72, 2, 300, 300},
        {kUnitPixel, kUnitPica, 6, 2, 300, 300},
        {kUnitMillimetre, kUnitCentimetre, 1.5, 2, 0, 15},
        {kUnitPoint, kUnitCentimetre, 1, 4, 0, 28.3465},
        {kUnitPica, kUnitMillimetre, 10, 4, 0, 2.3622},
        {kUnitCentimetre, kUnitPoint, 72, 2, 0, 2.54},
        {kUnitMillimetre, kUnitPica, 1, 4, 0, 4.2333},
        {kUnitPoint, kUnitPica, 2, 0, 0, 24},
        {kUnitInch, kUnitInch, 1.23456, 2, 0, 1.23},
        {kUnitInch, 9, 1.23456, 3, 300, 1.235},  // unknown unit: only rounded
        {-1, kUnitInch, 1.23456, 1, 300, 1.2},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(convertUnit(c.to, c.from, c.value, c.decimals, c.dpi), c.expected)
            << c.from << " -> " << c.to << " of " << c.value;
}

TEST(RoundTo, HalvesRoundUp)
{
    EXPECT_DOUBLE_EQ(roundTo(2.345, 1), 2.3);
    EXPECT_DOUBLE_EQ(roundTo(2.35001, 1), 2.4);
    EXPECT_DOUBLE_EQ(roundTo(-1.5, 0), -1);
    EXPECT_DOUBLE_EQ(roundTo(1234.5, -2), 1200);
    EXPECT_DOUBLE_EQ(roundTo(0.125, 2), 0.13);
}

TEST(ToPixelsCeil, RoundsUpAndClampsToTheIntRange)
{
    EXPECT_EQ(toPixelsCeil(1, kUnitInch, 300), 300);
    EXPECT_EQ(toPixelsCeil(0.001, kUnitInch, 300), 1);
    EXPECT_EQ(toPixelsCeil(1, kUnitCentimetre, 254), 100);
    EXPECT_EQ(toPixelsCeil(10, kUnitMillimetre, 254), 100);
    EXPECT_EQ(toPixelsCeil(72, kUnitPoint, 96), 96);
    EXPECT_EQ(toPixelsCeil(6, kUnitPica, 96), 96);
    EXPECT_EQ(toPixelsCeil(2.2, kUnitPixel, 300), 3);
    EXPECT_EQ(toPixelsCeil(2.2, 17, 300), 3);
    EXPECT_EQ(toPixelsCeil(-2.5, kUnitPixel, 300), -2);
    EXPECT_EQ(toPixelsCeil(1e30, kUnitInch, 300), std::numeric_limits<int>::max());
    EXPECT_EQ(toPixelsCeil(-1e30, kUnitInch, 300), std::numeric_limits<int>::min());
    EXPECT_EQ(toPixelsCeil(std::numeric_limits<double>::quiet_NaN(), kUnitInch, 300), 0);
}

}  // namespace
}  // namespace tavelune
