// The loupe's region of the full-size picture and its copy.
#include "view/loupe_region.h"

#include <gtest/gtest.h>

namespace tavelune {
namespace {

TEST(LoupeRegion, CentresOnTheFullSizePixelAndStaysInside)
{
    struct Case {
        const char* name;
        int x, y, shownWidth, shownHeight, fullWidth, fullHeight, box;
        Rect expected;
    };
    const Case cases[] = {
        // Pixel 400 of 800 covers full pixels 3000..3007; its centre is 3003.
        {"middle of a 24 MP photo", 400, 266, 800, 533, 6000, 4000, 256, {2875, 1872, 3131, 2128}},
        {"top left corner", 0, 0, 800, 533, 6000, 4000, 256, {0, 0, 256, 256}},
        {"bottom right corner", 799, 532, 800, 533, 6000, 4000, 256, {5744, 3744, 6000, 4000}},
        {"point beyond the picture", 5000, -40, 800, 533, 6000, 4000, 256, {5744, 0, 6000, 256}},
        {"no larger original", 10, 10, 600, 400, 600, 400, 8, {6, 6, 14, 14}},
        {"full picture smaller than the box", 50, 20, 100, 50, 200, 100, 256, {0, 0, 200, 100}},
        {"a side past two billion", 1, 1, 2, 2, 2000000000, 4, 2, {1499999999, 2, 1500000001, 4}},
        {"empty shown picture", 1, 1, 0, 0, 6000, 4000, 256, {}},
        {"no box", 1, 1, 800, 533, 6000, 4000, 0, {}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(loupeRegion(c.x, c.y, c.shownWidth, c.shownHeight, c.fullWidth, c.fullHeight,
                              c.box, c.box),
                  c.expected)
            << c.name;
    }
}

TEST(LoupeRegion, CopyHoldsTheRegionsPixelsAndRefusesOutside)
{
    Image full;
    ASSERT_TRUE(full.create(40, 30, 300.0f));
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x) full.rowFromTop(y)[x] = 0xFF000000u | uint32_t(y << 8 | x);
    Image piece;
    ASSERT_TRUE(copyRegion(full, {5, 7, 25, 17}, piece));
    ASSERT_EQ(piece.width(), 20);
    ASSERT_EQ(piece.height(), 10);
    EXPECT_EQ(piece.dpi(), 300.0f);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x) ASSERT_EQ(piece.pixelAt(x, y), full.pixelAt(5 + x, 7 + y));

    for (const Rect outside : {Rect{-1, 0, 10, 10}, Rect{30, 20, 41, 30}, Rect{0, 25, 10, 31},
                               Rect{10, 10, 10, 20}}) {
        Image untouched;
        EXPECT_FALSE(copyRegion(full, outside, untouched));
        EXPECT_TRUE(untouched.isEmpty());
    }
}

}  // namespace
}  // namespace tavelune
