// Rendering index sheets from real files: grid, black cells, captions, panel, logo, title.
#include "indexprint/index_sheet.h"

#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/format_dispatch.h"
#include "indexprint/fit_rectangle.h"
#include "pixel/progress.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

constexpr uint32_t kBlack = 0xFF000000;
constexpr uint32_t kGrey = 0xFF808080;
constexpr uint32_t kWhite = 0xFFFFFFFF;
constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kBlue = 0xFF0000FF;
constexpr uint32_t kGreen = 0xFF00FF00;

struct Region {
    int left, top, right, bottom;
};

int countColour(const Image& image, Region r, uint32_t colour)
{
    int count = 0;
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            count += image.pixelAt(x, y) == colour ? 1 : 0;
    return count;
}

bool sameRegion(const Image& a, const Image& b, Region r)
{
    for (int y = r.top; y < r.bottom; ++y)
        for (int x = r.left; x < r.right; ++x)
            if (a.pixelAt(x, y) != b.pixelAt(x, y))
                return false;
    return true;
}

/// Bounding box of the pixels of one colour.
Region boundsOf(const Image& image, uint32_t colour)
{
    Region box{image.width(), image.height(), 0, 0};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelAt(x, y) == colour) {
                box.left = std::min(box.left, x);
                box.top = std::min(box.top, y);
                box.right = std::max(box.right, x + 1);
                box.bottom = std::max(box.bottom, y + 1);
            }
    return box;
}

class IndexRender : public testing::Test {
protected:
    IndexItem writePicture(const std::string& name, const Image& picture)
    {
        const std::string path = m_dir.file(name + ".bmp");
        EXPECT_TRUE(saveImage(path, picture, {}, 0));
        IndexItem item;
        EXPECT_TRUE(splitIndexItem(path, item));
        return item;
    }

    std::vector<IndexItem> solidItems(int count, uint32_t colour)
    {
        std::vector<IndexItem> items;
        Image picture = test::solidPicture(30, 20, colour);
        for (int i = 0; i < count; ++i)
            items.push_back(writePicture("p" + std::to_string(i), picture));
        return items;
    }

    bool render(IndexSheet& sheet, const std::vector<IndexItem>& items, int64_t numberFrom = -1,
                int fitMode = kFitFill, const Image* logo = nullptr,
                const std::string& title = "INDEX PRINT", const std::string& content = {},
                const std::string& signature = {}, Progress* progress = nullptr)
    {
        return sheet.render(0, 96, title, signature, content, fitMode, numberFrom, logo, items,
                            progress);
    }

    // The caption strip under cell `index` of a row-major 8 x 5 grid.
    Region captionOf(const IndexSheet& sheet, int index) const
    {
        const IndexLayout& L = sheet.layout();
        const int x = L.columnLefts()[size_t(index % L.columns)];
        const int y = L.rowTop(index / L.columns, sheet.captionHeight()) + L.cellHeight + L.gap;
        return {x, y, x + L.cellWidth, y + sheet.captionHeight()};
    }

    Region cellOf(const IndexSheet& sheet, int index) const
    {
        const IndexLayout& L = sheet.layout();
        const int x = L.columnLefts()[size_t(index % L.columns)];
        const int y = L.rowTop(index / L.columns, sheet.captionHeight());
        return {x, y, x + L.cellWidth, y + L.cellHeight};
    }

    test::TempDir m_dir;
    test::MessageCollector m_messages;
};

TEST_F(IndexRender, GridFillsCellsInRowsAndLeavesOffWhatDoesNotFit)
{
    IndexSheet sheet;
    std::vector<IndexItem> items = solidItems(41, kRed);
    ASSERT_TRUE(render(sheet, items));
    const Image& page = sheet.sheet();
    ASSERT_EQ(page.width(), 576);
    ASSERT_EQ(page.height(), 384);
    EXPECT_EQ(page.dpi(), 96.0f);
    const int cellArea = 69 * 46;
    for (int i = 0; i < 40; ++i)
        EXPECT_EQ(countColour(page, {cellOf(sheet, i).left, cellOf(sheet, i).top,
                                     cellOf(sheet, i).right, cellOf(sheet, i).bottom},
                              kRed),
                  cellArea)
            << "cell " << i;
    // Between the cells and around the grid the page stays black; the spare pixels widen the
    // first six gaps of each row.
    EXPECT_EQ(page.pixelAt(0, 0), kBlack);
    EXPECT_EQ(page.pixelAt(1, 2), kBlack);
    EXPECT_EQ(page.pixelAt(71, 10), kBlack);
    EXPECT_EQ(page.pixelAt(73, 10), kBlack);
    EXPECT_EQ(page.pixelAt(74, 10), kRed);
    EXPECT_EQ(page.pixelAt(573, 10), kRed);
    EXPECT_EQ(page.pixelAt(574, 10), kBlack);
    // The 41st picture changes nothing.
    IndexSheet forty;
    items.pop_back();
    ASSERT_TRUE(render(forty, items));
    EXPECT_TRUE(sameRegion(page, forty.sheet(), {0, 0, 576, 384}));
    EXPECT_TRUE(sheet.failedItems().empty());
}

TEST_F(IndexRender, PortraitIsLetterboxedOrFillsWithItsTopAndBottomCut)
{
    // 200 x 300 with a blue band over its top fifth: filling a 69 x 46 cell cuts 28 of the
    // 104 scaled rows at the top, which removes the band.
    Image portrait = test::solidPicture(200, 300, kRed);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            portrait.rowFromTop(y)[x] = kBlue;
    std::vector<IndexItem> items = {writePicture("portrait", portrait)};
    IndexSheet filled, fitted;
    ASSERT_TRUE(render(filled, items, -1, kFitFill));
    ASSERT_TRUE(render(fitted, items, -1, kFitInside));
    const Region cell = cellOf(filled, 0);
    EXPECT_EQ(countColour(filled.sheet(), cell, kGrey), 0);
    EXPECT_EQ(countColour(filled.sheet(), cell, kBlue), 0);
    EXPECT_EQ(filled.sheet().pixelAt(cell.left + 30, cell.bottom - 1), kRed);

    // Fitted: 31 columns wide, centred with 19 grey columns each side; the band shows on top.
    const Image& page = fitted.sheet();
    EXPECT_EQ(page.pixelAt(cell.left, cell.top + 20), kGrey);
    EXPECT_EQ(page.pixelAt(cell.left + 18, cell.top + 20), kGrey);
    EXPECT_EQ(page.pixelAt(cell.left + 19, cell.top + 20), kRed);
    EXPECT_EQ(page.pixelAt(cell.left + 49, cell.top + 20), kRed);
    EXPECT_EQ(page.pixelAt(cell.left + 50, cell.top + 20), kGrey);
    EXPECT_EQ(page.pixelAt(cell.right - 1, cell.top + 20), kGrey);
    EXPECT_EQ(page.pixelAt(cell.left + 30, cell.top), kBlue);
}

TEST_F(IndexRender, UnreadableFileLeavesABlackCellAndUsesUpItsNumber)
{
    std::vector<IndexItem> items = solidItems(3, kRed);
    IndexSheet complete;
    ASSERT_TRUE(render(complete, items, 5));
    std::filesystem::remove(items[1].path());
    m_messages.clear();
    IndexSheet holed;
    ASSERT_TRUE(render(holed, items, 5));
    EXPECT_EQ(holed.failedItems(), std::vector<size_t>{1});
    ASSERT_EQ(holed.pictureBoxes().size(), 1u);  // the open failure is handed back
    EXPECT_EQ(holed.pictureBoxes()[0].item, 1u);
    EXPECT_TRUE(m_messages.messages().empty());

    const Region cell = cellOf(holed, 1);
    const Region caption = captionOf(holed, 1);
    EXPECT_EQ(countColour(holed.sheet(), cell, kBlack), 69 * 46);
    EXPECT_EQ(countColour(holed.sheet(), caption, kBlack), 69 * holed.captionHeight());
    // The third picture keeps the caption it has in the complete list ("7. p2").
    EXPECT_TRUE(sameRegion(holed.sheet(), complete.sheet(), captionOf(holed, 2)));
    EXPECT_TRUE(sameRegion(holed.sheet(), complete.sheet(), captionOf(holed, 0)));
    // Without the hole, p2 would be the second item and be numbered 6.
    IndexSheet shifted;
    ASSERT_TRUE(render(shifted, {items[0], items[2]}, 5));
    EXPECT_FALSE(sameRegion(shifted.sheet(), complete.sheet(), captionOf(shifted, 1)));
}

TEST_F(IndexRender, NumbersShowOnlyFromOne)
{
    std::vector<IndexItem> items = solidItems(2, kRed);
    IndexSheet plain, zero, five;
    ASSERT_TRUE(render(plain, items, -1));
    ASSERT_TRUE(render(zero, items, 0));
    ASSERT_TRUE(render(five, items, 5));
    const Region caption = captionOf(plain, 0);
    EXPECT_GT(countColour(plain.sheet(), caption, kWhite), 0);
    EXPECT_TRUE(sameRegion(plain.sheet(), zero.sheet(), caption));
    EXPECT_FALSE(sameRegion(plain.sheet(), five.sheet(), caption));
    // Captions stay on their line and inside their cell's width.
    const IndexLayout& L = five.layout();
    const Region gapRight{caption.right - L.gap, caption.top, caption.right + 2 * L.gap,
                          caption.bottom};
    EXPECT_EQ(countColour(five.sheet(), gapRight, kWhite), 0);
}

TEST_F(IndexRender, PanelTitleAndSignatureFillTheFoot)
{
    std::vector<IndexItem> items = solidItems(1, kRed);
    IndexSheet sheet;
    ASSERT_TRUE(render(sheet, items, -1, kFitFill, nullptr, "TITLE", "", "Signed"));
    const IndexLayout& L = sheet.layout();
    const int g = L.gap;
    const int gridBottom = L.gridBottom(sheet.captionHeight());
    const int panel = L.panelHeight(sheet.captionHeight(), sheet.titleHeight());
    ASSERT_GT(panel, 0);
    const Image& page = sheet.sheet();
    EXPECT_EQ(boundsOf(page, kGrey).left, 2 * g);  // nothing else is grey with a red picture
    Region grey = boundsOf(page, kGrey);
    EXPECT_EQ(grey.top, gridBottom);
    EXPECT_EQ(grey.right, L.pageWidthPx - 2 * g);
    EXPECT_EQ(grey.bottom, gridBottom + panel);
    EXPECT_EQ(countColour(page, {grey.left, grey.top, grey.right, grey.bottom}, kGrey),
              (grey.right - grey.left) * (grey.bottom - grey.top));
    // Title at the left of the band, signature ending 2g from the right edge.
    const Region band{0, gridBottom + panel, L.pageWidthPx, L.pageHeightPx};
    Region left{band.left, band.top, L.pageWidthPx / 2, band.bottom};
    Region right{L.pageWidthPx / 2, band.top, band.right, band.bottom};
    EXPECT_GT(countColour(page, left, kWhite), 0);
    EXPECT_GT(countColour(page, right, kWhite), 0);
    int rightmost = 0;
    for (int y = band.top; y < band.bottom; ++y)
        for (int x = right.left; x < right.right; ++x)
            if ((page.pixelAt(x, y) & 0x00FFFFFF) != 0)
                rightmost = std::max(rightmost, x);
    EXPECT_LE(rightmost, L.pageWidthPx - 2 * g - 1);
    EXPECT_GE(rightmost, L.pageWidthPx - 2 * g - 3);
}

TEST_F(IndexRender, EmptyTitleKeepsTheTitleBand)
{
    std::vector<IndexItem> items = solidItems(1, kRed);
    IndexSheet empty, titled;
    ASSERT_TRUE(render(empty, items, -1, kFitFill, nullptr, ""));
    ASSERT_TRUE(render(titled, items, -1, kFitFill, nullptr, "Afg国"));
    EXPECT_GT(empty.titleHeight(), 0);
    EXPECT_EQ(empty.titleHeight(), titled.titleHeight());
    EXPECT_EQ(boundsOf(empty.sheet(), kGrey).bottom, boundsOf(titled.sheet(), kGrey).bottom);
}

TEST_F(IndexRender, ContentStaysInsideItsBoxRightOfTheLogo)
{
    std::vector<IndexItem> items = solidItems(1, kRed);
    Image logo = test::solidPicture(40, 30, kGreen);
    IndexSheet sheet;
    std::string content = "A long line of panel text that runs on and on and on and on and on and "
                          "on and on and on and on past the right edge\nsecond\nthird\nfourth\n"
                          "fifth\nsixth\nseventh\neighth\nninth\ntenth\neleventh";
    ASSERT_TRUE(render(sheet, items, -1, kFitFill, &logo, "", content));
    const IndexLayout& L = sheet.layout();
    const int g = L.gap;
    const int gridBottom = L.gridBottom(sheet.captionHeight());
    const int panel = L.panelHeight(sheet.captionHeight(), sheet.titleHeight());
    // The text box starts 6g right of the logo and ends 4g inside the panel's right edge.
    const Region box{40 + 10 * g, gridBottom + 2 * g, L.pageWidthPx - 6 * g,
                     gridBottom + panel - 2 * g};
    int inside = 0, outside = 0;
    for (int y = gridBottom; y < gridBottom + panel; ++y)
        for (int x = 2 * g; x < L.pageWidthPx - 2 * g; ++x) {
            uint32_t p = sheet.sheet().pixelAt(x, y);
            if (p == kGrey || p == kGreen)
                continue;
            bool in = x >= box.left && x < box.right && y >= box.top && y < box.bottom;
            (in ? inside : outside)++;
        }
    EXPECT_GT(inside, 0);
    EXPECT_EQ(outside, 0);
    EXPECT_EQ(boundsOf(sheet.sheet(), kGreen).left, 4 * g);
    EXPECT_EQ(boundsOf(sheet.sheet(), kGreen).top, gridBottom + 2 * g);
}

TEST_F(IndexRender, TallLogoIsScaledToThePanelAndKeyedColourLeftOut)
{
    std::vector<IndexItem> items = solidItems(1, kRed);
    // A green logo 400 pixels high with a white square that the colour key removes.
    Image logo = test::solidPicture(300, 400, kGreen);
    for (int y = 100; y < 300; ++y)
        for (int x = 100; x < 200; ++x)
            logo.rowFromTop(y)[x] = kWhite;
    logo.setColourKey(0x00FFFFFF, 0xFFFFFFFF, 0);
    IndexSheet sheet;
    ASSERT_TRUE(render(sheet, items, -1, kFitFill, &logo, "", ""));
    const IndexLayout& L = sheet.layout();
    const int g = L.gap;
    const int gridBottom = L.gridBottom(sheet.captionHeight());
    const int panel = L.panelHeight(sheet.captionHeight(), sheet.titleHeight());
    ASSERT_LT(panel - 4 * g, 400);
    const LogoSize size = indexLogoSize(300, 400, panel, g);
    ASSERT_EQ(size.height, panel - 4 * g);
    const Region green = boundsOf(sheet.sheet(), kGreen);
    EXPECT_EQ(green.left, 4 * g);
    EXPECT_EQ(green.top, gridBottom + 2 * g);
    EXPECT_EQ(green.right - green.left, size.width);
    EXPECT_EQ(green.bottom - green.top, size.height);
    // The keyed square shows the grey panel, and no white from it reaches the sheet.
    const int cx = green.left + size.width / 2, cy = green.top + size.height / 2;
    EXPECT_EQ(sheet.sheet().pixelAt(cx, cy), kGrey);
    EXPECT_EQ(countColour(sheet.sheet(), green, kWhite), 0);
}

TEST_F(IndexRender, ProgressRunsFromZeroToItemsPlusFive)
{
    std::vector<IndexItem> items = solidItems(3, kRed);
    std::vector<int> positions;
    Progress progress([&](int position) { positions.push_back(position); });
    IndexSheet sheet;
    ASSERT_TRUE(render(sheet, items, -1, kFitFill, nullptr, "T", "", "", &progress));
    ASSERT_FALSE(positions.empty());
    EXPECT_EQ(positions.front(), 0);
    EXPECT_EQ(positions.back(), 8);
    EXPECT_TRUE(std::is_sorted(positions.begin(), positions.end()));
    EXPECT_EQ(IndexSheet::progressEnd(3), 8);
}

TEST_F(IndexRender, DegenerateLayoutsStayOnThePage)
{
    std::vector<IndexItem> items = solidItems(2, kRed);
    Image logo = test::solidPicture(3000, 400, kGreen);
    // At 1 dpi the cells have no width and the grid leaves no panel: only black remains.
    IndexSheet tiny;
    ASSERT_TRUE(tiny.render(0, 1.0f, "T", "S", "content", kFitFill, 1, &logo, items, nullptr));
    EXPECT_EQ(tiny.sheet().width(), 6);
    EXPECT_EQ(tiny.sheet().height(), 4);
    EXPECT_EQ(countColour(tiny.sheet(), {0, 0, 6, 4}, kGreen), 0);
    EXPECT_EQ(countColour(tiny.sheet(), {0, 0, 6, 4}, kRed), 0);
    // An unknown style gets the 12 x 5 grid; a logo wider than the page leaves no room for text.
    IndexSheet fallback;
    ASSERT_TRUE(fallback.render(42, 96.0f, "", "", "text", kFitFill, -1, &logo, items, nullptr));
    EXPECT_EQ(fallback.layout().columns, 12);
    EXPECT_EQ(fallback.layout().cellWidth, 45);
    EXPECT_EQ(fallback.layout().cellHeight, 30);
    EXPECT_EQ(countColour(fallback.sheet(), {2, 2, 2 + 45, 2 + 30}, kRed), 45 * 30);
    const Region green = boundsOf(fallback.sheet(), kGreen);
    EXPECT_EQ(green.left, 4);
    EXPECT_EQ(green.right, 576);
}

TEST_F(IndexRender, StopFlagEndsTheRenderBeforeTheNextPicture)
{
    std::vector<IndexItem> items = solidItems(6, kRed);
    std::atomic<bool> stop{false};
    int drawn = 0;
    // One step for the sheet, then one per picture: raised once the second picture is done.
    Progress progress([&](int position) {
        drawn = position - 1;
        if (drawn == 2)
            stop = true;
    });
    IndexSheet sheet;
    EXPECT_FALSE(sheet.render(0, 96, "T", "", "", kFitFill, -1, nullptr, items, &progress, &stop));
    EXPECT_TRUE(sheet.stopped());
    EXPECT_EQ(drawn, 2);
    EXPECT_EQ(countColour(sheet.sheet(), cellOf(sheet, 1), kRed), 69 * 46);
    EXPECT_EQ(countColour(sheet.sheet(), cellOf(sheet, 2), kRed), 0);

    // The flag is read, not remembered: a later render with it lowered runs to the end.
    stop = false;
    EXPECT_TRUE(sheet.render(0, 96, "T", "", "", kFitFill, -1, nullptr, items, nullptr, &stop));
    EXPECT_FALSE(sheet.stopped());
    EXPECT_EQ(countColour(sheet.sheet(), cellOf(sheet, 5), kRed), 69 * 46);
}

TEST(IndexItems, AcceptsPictureExtensionsAndSkipsOthersWithAMessage)
{
    test::MessageCollector messages;
    std::vector<IndexItem> items;
    const Warnings<IndexItemError> skipped = appendIndexItems(
        {"/photos/a.b/Beach.JPG", "/photos/x.tiff", "notes.txt", "/photos/raw.cr2", "/p/noext",
         "/p/q.PsD", "/p/c.jpe"},
        items);
    ASSERT_EQ(skipped.size(), 3u);
    ASSERT_EQ(items.size(), 4u);
    EXPECT_EQ(items[0].label, "Beach");
    EXPECT_EQ(items[0].fileName, "Beach.JPG");
    EXPECT_EQ(items[0].folder, "/photos/a.b/");
    EXPECT_EQ(items[0].extension, "JPG");
    EXPECT_EQ(items[0].path(), "/photos/a.b/Beach.JPG");
    EXPECT_EQ(items[2].label, "raw");
    EXPECT_EQ(items[3].label, "q");
    // Each refusal names its file for the front end's skip message; the core shows nothing.
    EXPECT_EQ(skipped[0].code, IndexItemError::UnsupportedType);
    EXPECT_EQ(skipped[0].detail, "notes.txt");
    EXPECT_EQ(skipped[2].detail, "/p/c.jpe");
    EXPECT_TRUE(messages.messages().empty());

    // The quiet form refuses the same files and leaves the wording to its caller.
    messages.clear();
    IndexItem item;
    EXPECT_FALSE(splitIndexItem("notes.txt", item));
    EXPECT_TRUE(splitIndexItem("/p/b.TIFF", item));
    EXPECT_EQ(item.label, "b");
    EXPECT_EQ(item.folder, "/p/");
    EXPECT_TRUE(messages.messages().empty());
}

}  // namespace
}  // namespace tavelune
