// ColourPalette: the value of every cell, no colour, the custom slot and the eyedropper text.
#include "overlay/colour_palette.h"

#include <gtest/gtest.h>

#include <set>

namespace tavelune {
namespace {

TEST(ColourPalette, EveryCellReportsItsWindowsColour)
{
    // The cells as the pop-up lists them, written red-green-blue.
    const uint32_t rgb[20] = {0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0xFF0000, 0xFFFF00, 0x00FF00,
                              0x00FFFF, 0x0000FF, 0xFF00FF, 0x800000, 0x808000, 0x008000, 0x008080,
                              0x000080, 0x800080, 0xC08080, 0x80C080, 0x8080C0, 0xECE9D8};
    ColourPalette palette;
    for (int i = 0; i < 20; ++i) {
        palette.choose(i);
        const uint32_t r = rgb[i] >> 16, g = (rgb[i] >> 8) & 0xFF, b = rgb[i] & 0xFF;
        EXPECT_EQ(palette.colour(), int(r | g << 8 | b << 16)) << "cell " << i;
        EXPECT_EQ(palette.index(), i);
    }
}

TEST(ColourPalette, NoColourIsMinusOneForEveryIndexOutsideThePalette)
{
    ColourPalette palette;
    EXPECT_EQ(palette.colour(), kNoColour) << "a new button holds no colour";
    for (int index : {-1, -7, 21, 1000}) {
        palette.choose(3);
        palette.choose(index);
        EXPECT_EQ(palette.colour(), kNoColour) << index;
        EXPECT_EQ(palette.index(), -1) << index;
    }
}

TEST(ColourPalette, SlotTwentyHoldsTheLastCustomColour)
{
    ColourPalette palette;
    palette.choose(kCustomSlot);
    EXPECT_EQ(palette.colour(), 0xFFFFFF) << "slot 20 starts white";
    palette.chooseCustom(0x123456);
    EXPECT_EQ(palette.index(), kCustomSlot);
    EXPECT_EQ(palette.colour(), 0x123456);
    palette.choose(0);
    EXPECT_EQ(palette.colour(), 0);
    palette.choose(kCustomSlot);
    EXPECT_EQ(palette.colour(), 0x123456) << "choosing another cell keeps slot 20";
    palette.chooseCustom(0xFF00ABCD);
    EXPECT_EQ(palette.colour(), 0xABCD) << "only the colour bits are kept";
}

TEST(ColourPalette, ColoursSetFromOutsideFindTheirCell)
{
    struct Row {
        int colour;
        int index;
        int custom;
    };
    const Row rows[] = {
        {0x000000, 0, 0xFFFFFF},  {0x0000FF, 4, 0xFFFFFF},   {0xD8E9EC, 19, 0xFFFFFF},
        {0x010203, 20, 0x010203}, {kNoColour, -1, 0xFFFFFF},
    };
    for (const Row& row : rows) {
        ColourPalette palette;
        palette.setColour(row.colour);
        EXPECT_EQ(palette.index(), row.index) << std::hex << row.colour;
        EXPECT_EQ(palette.colour(), row.colour);
        EXPECT_EQ(int(palette.customColour()), row.custom);
    }
    std::set<uint32_t> distinct(kFixedColours.begin(), kFixedColours.end());
    EXPECT_EQ(distinct.size(), kFixedColours.size()) << "a colour must name one cell";
}

TEST(ColourPalette, EyedropperTextIsRedGreenBlueOnItsInverse)
{
    EXPECT_EQ(colourHexText(0x0000FF), "#FF0000");
    EXPECT_EQ(colourHexText(0x563412), "#123456");
    EXPECT_EQ(colourHexText(0xFFD8E9EC), "#ECE9D8");
    EXPECT_EQ(invertedColour(0x0000FF), 0xFFFF00u);
    EXPECT_EQ(invertedColour(0x808080), 0x7F7F7Fu);
}

}  // namespace
}  // namespace tavelune
