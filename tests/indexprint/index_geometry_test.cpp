// Index sheet layouts: the sizes table, the grid's spare pixels, panel, logo and captions.
#include <gtest/gtest.h>

#include <limits>

#include "indexprint/index_geometry.h"
#include "indexprint/index_layout.h"

namespace tavelune {
namespace {

struct SizeRow {
    int style;
    int dpi;
    int gap, pageWidth, pageHeight, cellWidth, cellHeight;
};

// Every layout at every resolution of the precision list.
const SizeRow kSizes[] = {
    {0, 96, 1, 576, 384, 69, 46},      {0, 120, 2, 720, 480, 85, 57},
    {0, 300, 5, 1800, 1200, 213, 142}, {0, 360, 5, 2160, 1440, 258, 172},
    {0, 720, 11, 4320, 2880, 515, 343},
    {1, 96, 1, 576, 384, 93, 62},      {1, 120, 2, 720, 480, 115, 77},
    {1, 300, 5, 1800, 1200, 288, 192}, {1, 360, 5, 2160, 1440, 348, 232},
    {1, 720, 11, 4320, 2880, 694, 463},
    {2, 96, 1, 576, 384, 141, 94},     {2, 120, 2, 720, 480, 175, 117},
    {2, 300, 5, 1800, 1200, 437, 291}, {2, 360, 5, 2160, 1440, 527, 351},
    {2, 720, 11, 4320, 2880, 1052, 701},
    {3, 96, 1, 480, 336, 57, 38},      {3, 120, 2, 600, 420, 70, 47},
    {3, 300, 5, 1500, 1050, 176, 117}, {3, 360, 5, 1800, 1260, 213, 142},
    {3, 720, 11, 3600, 2520, 425, 283},
    {4, 96, 1, 480, 336, 77, 51},      {4, 120, 2, 600, 420, 95, 63},
    {4, 300, 5, 1500, 1050, 238, 159}, {4, 360, 5, 1800, 1260, 288, 192},
    {4, 720, 11, 3600, 2520, 574, 383},
    {5, 96, 1, 480, 336, 117, 78},     {5, 120, 2, 600, 420, 145, 97},
    {5, 300, 5, 1500, 1050, 362, 241}, {5, 360, 5, 1800, 1260, 437, 291},
    {5, 720, 11, 3600, 2520, 872, 581},
    {6, 96, 1, 397, 559, 77, 51},      {6, 120, 2, 496, 699, 94, 63},
    {6, 300, 5, 1240, 1748, 236, 157}, {6, 360, 5, 1488, 2098, 285, 190},
    {6, 720, 11, 2976, 4195, 568, 379},
    {7, 96, 1, 397, 559, 96, 64},      {7, 120, 2, 496, 699, 119, 79},
    {7, 300, 5, 1240, 1748, 297, 198}, {7, 360, 5, 1488, 2098, 359, 239},
    {7, 720, 11, 2976, 4195, 716, 477},
    {8, 96, 1, 794, 1123, 97, 65},     {8, 120, 2, 992, 1403, 119, 79},
    {8, 300, 5, 2480, 3508, 298, 199}, {8, 360, 5, 2976, 4209, 360, 240},
    {8, 720, 11, 5953, 8419, 719, 479},
    {9, 96, 1, 794, 1123, 130, 87},    {9, 120, 2, 992, 1403, 160, 107},
    {9, 300, 5, 2480, 3508, 401, 267}, {9, 360, 5, 2976, 4209, 484, 323},
    {9, 720, 11, 5953, 8419, 966, 644},
};

TEST(IndexLayout, EveryLayoutAtEveryResolutionHasTheTabledSizes)
{
    for (const SizeRow& row : kSizes) {
        SCOPED_TRACE(testing::Message() << "style " << row.style << " at " << row.dpi << " dpi");
        IndexLayout layout = computeIndexLayout(row.style, float(row.dpi));
        EXPECT_EQ(layout.gap, row.gap);
        EXPECT_EQ(layout.pageWidthPx, row.pageWidth);
        EXPECT_EQ(layout.pageHeightPx, row.pageHeight);
        EXPECT_EQ(layout.cellWidth, row.cellWidth);
        EXPECT_EQ(layout.cellHeight, row.cellHeight);
        EXPECT_EQ(layout.dpi, float(row.dpi));
    }
    EXPECT_EQ(std::size(kSizes), indexLayouts().size() * indexResolutions().size());
}

TEST(IndexLayout, ListsHoldTheirEntriesInOrder)
{
    ASSERT_EQ(indexLayouts().size(), 10u);
    EXPECT_EQ(indexLayoutText(indexLayouts()[0]), "8 x 5 - 4R 相片");
    EXPECT_EQ(indexLayoutText(indexLayouts()[5]), "4 x 3 - 3R 相片");
    EXPECT_EQ(indexLayoutText(indexLayouts()[6]), "5 x 7 - A6");
    EXPECT_EQ(indexLayoutText(indexLayouts()[9]), "6 x 10 - A4");
    const int grids[10][2] = {{8, 5}, {6, 4}, {4, 3}, {8, 5}, {6, 4},
                              {4, 3}, {5, 7}, {4, 6}, {8, 12}, {6, 10}};
    for (int style = 0; style < 10; ++style) {
        IndexLayout layout = computeIndexLayout(style, 96);
        EXPECT_EQ(layout.columns, grids[style][0]) << style;
        EXPECT_EQ(layout.rows, grids[style][1]) << style;
        EXPECT_EQ(layout.unit, style < 6 ? 1 : 3) << style;
    }
    ASSERT_EQ(indexResolutions().size(), 5u);
    const int dpis[] = {96, 120, 360, 720, 300};
    for (size_t i = 0; i < 5; ++i) {
        EXPECT_EQ(indexResolutions()[i].dpi, dpis[i]);
        EXPECT_EQ(indexResolutions()[i].stringId, 57462 + int(i));
    }
    EXPECT_STREQ(indexResolutions()[4].text, "激光数码冲印 / 300dpi");
}

TEST(IndexLayout, UnknownStyleFallsBackToTwelveByFive)
{
    for (int style : {-1, 10, 1000}) {
        IndexLayout layout = computeIndexLayout(style, 96);
        EXPECT_EQ(layout.columns, 12);
        EXPECT_EQ(layout.rows, 5);
        EXPECT_EQ(layout.pageWidthPx, 576);
        EXPECT_EQ(layout.pageHeightPx, 384);
        EXPECT_EQ(layout.cellWidth, (576 - 13 * 2) / 12);
    }
}

TEST(IndexLayout, ResolutionIsClampedToOneTo1440)
{
    EXPECT_EQ(computeIndexLayout(0, 0.0f).dpi, 1.0f);
    EXPECT_EQ(computeIndexLayout(0, -50.0f).pageWidthPx, 6);
    EXPECT_EQ(computeIndexLayout(0, std::numeric_limits<float>::quiet_NaN()).dpi, 1.0f);
    IndexLayout huge = computeIndexLayout(8, 5000.0f);
    EXPECT_EQ(huge.dpi, 1440.0f);
    EXPECT_EQ(huge.pageWidthPx, 11906);
    EXPECT_EQ(huge.gap, 22);
    // At 1 dpi the gap rounds to nothing and the page is a few pixels; cells stay non-negative.
    IndexLayout tiny = computeIndexLayout(0, 1.0f);
    EXPECT_EQ(tiny.gap, 0);
    EXPECT_EQ(tiny.cellWidth, 0);
}

TEST(IndexLayout, SparePixelsWidenTheFirstGaps)
{
    // 576 - 8 x 71 - 2 leaves 6 pixels: the first six gaps are 3 wide instead of 2.
    IndexLayout layout = computeIndexLayout(0, 96);
    std::vector<int> lefts = layout.columnLefts();
    EXPECT_EQ(lefts, (std::vector<int>{2, 74, 146, 218, 290, 362, 434, 505}));
    EXPECT_EQ(lefts.back() + layout.cellWidth, layout.pageWidthPx - 2 * layout.gap);
    for (const SizeRow& row : kSizes) {
        IndexLayout each = computeIndexLayout(row.style, float(row.dpi));
        std::vector<int> x = each.columnLefts();
        ASSERT_EQ(int(x.size()), each.columns);
        EXPECT_EQ(x.back() + each.cellWidth, each.pageWidthPx - 2 * each.gap)
            << row.style << " at " << row.dpi;
        for (size_t i = 1; i < x.size(); ++i) {
            int space = x[i] - x[i - 1] - each.cellWidth;
            EXPECT_TRUE(space == 2 * each.gap || space == 2 * each.gap + 1);
            if (i > 1) {
                EXPECT_LE(space, x[i - 1] - x[i - 2] - each.cellWidth);  // wider gaps first
            }
        }
    }
}

TEST(IndexLayout, RowsStackCellsCaptionsAndGapsDownToThePanel)
{
    IndexLayout layout = computeIndexLayout(0, 96);
    const int caption = 14;
    EXPECT_EQ(layout.rowTop(0, caption), 2);
    EXPECT_EQ(layout.rowTop(1, caption), 2 + 46 + 2 + 14);
    EXPECT_EQ(layout.gridBottom(caption), 2 + 5 * (46 + 14 + 2));
    EXPECT_EQ(layout.panelHeight(caption, 16), 384 - 312 - 16 - 2);
    EXPECT_EQ(layout.capacity(), 40);
    // A caption font too tall for the page leaves no panel.
    EXPECT_LE(layout.panelHeight(60, 16), 0);
}

TEST(IndexLogo, ScaledDownOnlyWhenTallerThanThePanelInside)
{
    struct Case {
        int width, height, panel, gap;
        LogoSize expected;
    };
    const Case cases[] = {
        {300, 400, 200, 1, {147, 196}},  // 300 x 196 / 400
        {100, 50, 200, 1, {100, 50}},    // small enough: its own size
        {100, 196, 200, 1, {100, 196}},  // exactly the inside height: unscaled
        {101, 197, 200, 1, {100, 196}},  // 101 x 196 / 197 = 100.48 truncated
        {5000, 400, 200, 5, {5000 * 180 / 400, 180}},
        {100, 400, 4, 1, {0, 0}},   // no inside height left
        {1, 400, 200, 1, {0, 0}},   // scaled to no width
        {0, 400, 200, 1, {0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.width << " x " << c.height << " in " << c.panel);
        LogoSize size = indexLogoSize(c.width, c.height, c.panel, c.gap);
        EXPECT_EQ(size.width, c.expected.width);
        EXPECT_EQ(size.height, c.expected.height);
    }
}

TEST(IndexCaption, NumbersStartAtNumberFromAndOnlyFromOne)
{
    EXPECT_EQ(indexCaption("beach", 5, 0), "5. beach");
    EXPECT_EQ(indexCaption("beach", 5, 3), "8. beach");
    EXPECT_EQ(indexCaption("beach", 1, 0), "1. beach");
    EXPECT_EQ(indexCaption("beach", 0, 0), "beach");
    EXPECT_EQ(indexCaption("beach", -1, 7), "beach");
    EXPECT_EQ(indexCaption("", 2, 0), "2. ");
    // Ten-digit start numbers do not wrap around.
    EXPECT_EQ(indexCaption("x", 9999999999, 1), "10000000000. x");
}

}  // namespace
}  // namespace tavelune
