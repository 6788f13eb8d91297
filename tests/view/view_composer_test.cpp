// What the view composes into its back buffer, and the snapshots taken from it.
#include "view/view_composer.h"

#include <gtest/gtest.h>

#include <vector>

#include "view_test_util.h"

namespace tavelune {
namespace {

using test::viewOf;

// Every pixel distinct, so a wrong source pixel cannot go unnoticed.
Image patternPicture(int width, int height)
{
    Image image;
    EXPECT_TRUE(image.create(width, height, 72.0f));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.rowFromTop(y)[x] = 0xFF000000u | uint32_t(x & 0xFFF) << 12 | uint32_t(y & 0xFFF);
    return image;
}

TEST(ViewComposer, SmallPictureCentredWithAFrameOnGrey)
{
    Image picture = patternPicture(400, 300);
    ImageViewModel model = viewOf(picture, 800, 600);
    composeView(model);
    const Image& buffer = model.backBuffer();
    struct Probe {
        int x, y;
        uint32_t colour;
    };
    const std::vector<Probe> probes = {
        {0, 0, kViewSurround},
        {198, 300, kViewSurround},
        {601, 300, kViewSurround},
        {400, 148, kViewSurround},
        {400, 451, kViewSurround},
        {199, 149, kViewFrame},
        {600, 450, kViewFrame},
        {199, 300, kViewFrame},
        {600, 200, kViewFrame},
        {400, 149, kViewFrame},
        {400, 450, kViewFrame},
        {200, 150, picture.pixelAt(0, 0)},
        {599, 449, picture.pixelAt(399, 299)},
        {300, 200, picture.pixelAt(100, 50)},
    };
    for (const Probe& p : probes)
        EXPECT_EQ(buffer.pixelAt(p.x, p.y), p.colour) << p.x << "," << p.y;
}

TEST(ViewComposer, SixteenGreysZoomInAsWholeBlocks)
{
    Image greys;
    ASSERT_TRUE(greys.create(4, 4, 72.0f));
    for (int i = 0; i < 16; ++i) {
        const uint32_t level = uint32_t(i * 17);
        greys.rowFromTop(i / 4)[i % 4] = 0xFF000000u | level << 16 | level << 8 | level;
    }
    struct Case {
        float zoom;
        int client, scrollX, scrollY;
    };
    // Enlarged inside a larger window (centred), and larger than the window (scrolled).
    // Offsets that are not whole picture pixels move the blocks by screen pixels, not jumps.
    const std::vector<Case> cases = {{4.0f, 40, 0, 0},
                                     {16.0f, 32, 16, 32},
                                     {8.0f, 20, 8, 0},
                                     {16.0f, 32, 8, 21},
                                     {3.0f, 7, 1, 2}};
    for (const Case& c : cases) {
        ImageViewModel model = viewOf(greys, c.client, c.client);
        model.setZoom(c.zoom);
        model.setScroll(c.scrollX, c.scrollY);
        composeView(model);
        const Rect area = model.pictureArea();
        const int block = int(c.zoom);
        for (int y = area.top; y < area.bottom; ++y) {
            for (int x = area.left; x < area.right; ++x) {
                const int px = (x - area.left + model.scrollX()) / block;
                const int py = (y - area.top + model.scrollY()) / block;
                ASSERT_EQ(model.backBuffer().pixelAt(x, y), greys.pixelAt(px, py))
                    << "zoom " << c.zoom << " at " << x << "," << y;
            }
        }
    }
}

TEST(ViewComposer, ScrolledLargePictureFillsTheWindowWithoutFrame)
{
    Image picture = patternPicture(1600, 1200);
    ImageViewModel model = viewOf(picture, 800, 600);
    model.actualPixels();
    model.setScroll(100, 50);
    composeView(model);
    const Image& buffer = model.backBuffer();
    EXPECT_EQ(buffer.pixelAt(0, 0), picture.pixelAt(100, 50));
    EXPECT_EQ(buffer.pixelAt(799, 599), picture.pixelAt(899, 649));
    EXPECT_EQ(buffer.pixelAt(0, 599), picture.pixelAt(100, 649));
}

TEST(ViewComposer, TransparentPicturePixelsShowThePictureBackground)
{
    Image picture = patternPicture(10, 10);
    picture.rowFromTop(5)[5] = 0x00123456;
    picture.rowFromTop(6)[6] = 0x80FF0000;
    ImageViewModel model = viewOf(picture, 20, 20);
    model.setPictureBackground(0xFF808080);
    composeView(model);
    const Rect area = model.pictureArea();
    EXPECT_EQ(model.backBuffer().pixelAt(area.left + 5, area.top + 5), 0xFF808080u);
    EXPECT_EQ(model.backBuffer().pixelAt(area.left + 6, area.top + 6),
              Image::blendPixel(0xFF808080, 0x80FF0000));

    // The picture's own colour key and opacity hold in the view as on any other picture.
    picture.setColourKey(0xFF000000, 0xFF000000, 0);
    picture.setOpacity(50);
    composeView(model);
    EXPECT_EQ(model.backBuffer().pixelAt(area.left, area.top), 0xFF808080u);
    EXPECT_EQ(model.backBuffer().pixelAt(area.left + 1, area.top),
              Image::blendPixel(0xFF808080, 0x80000000u | (picture.pixelAt(1, 0) & 0xFFFFFF)));
}

TEST(ViewComposer, ComposingInPiecesEqualsComposingWhole)
{
    Image picture = patternPicture(1000, 700);
    Image placeholder = patternPicture(50, 30);
    struct Case {
        float zoom;
        int scrollX, scrollY;
        bool withPicture;
    };
    const std::vector<Case> cases = {{1.0f / 3.0f, 0, 0, true},
                                     {1.0f, 123, 45, true},
                                     {2.5f, 777, 321, true},
                                     {1.0f, 0, 0, false}};
    for (const Case& c : cases) {
        ImageViewModel model = viewOf(picture, 301, 203);
        if (!c.withPicture) {
            model.setPicture(nullptr);
            model.setPlaceholder(placeholder);
        }
        model.setZoom(c.zoom);
        model.setScroll(c.scrollX, c.scrollY);
        composeView(model);
        const Image whole = model.backBuffer();

        model.backBuffer().fill(0xFF00FF00);
        for (int top = 0; top < 203; top += 37)
            for (int left = 0; left < 301; left += 53)
                composeView(model, {left, top, left + 53, top + 37});
        for (int y = 0; y < 203; ++y)
            for (int x = 0; x < 301; ++x)
                ASSERT_EQ(model.backBuffer().pixelAt(x, y), whole.pixelAt(x, y))
                    << "zoom " << c.zoom << " at " << x << "," << y;
    }
}

TEST(ViewComposer, OnlyTheRepaintAreaIsTouched)
{
    Image picture = patternPicture(400, 300);
    ImageViewModel model = viewOf(picture, 800, 600);
    model.backBuffer().fill(0xFF00FF00);
    composeView(model, {190, 140, 210, 160});
    const Image& buffer = model.backBuffer();
    EXPECT_EQ(buffer.pixelAt(189, 150), 0xFF00FF00u);
    EXPECT_EQ(buffer.pixelAt(210, 150), 0xFF00FF00u);
    EXPECT_EQ(buffer.pixelAt(200, 139), 0xFF00FF00u);
    EXPECT_EQ(buffer.pixelAt(190, 140), kViewSurround);
    EXPECT_EQ(buffer.pixelAt(199, 155), kViewFrame);
    EXPECT_EQ(buffer.pixelAt(209, 159), picture.pixelAt(9, 9));
    EXPECT_EQ(buffer.clipRect(), (Rect{0, 0, 800, 600}));
}

TEST(ViewComposer, PlaceholderCentredOnGreyWithoutAPicture)
{
    Image placeholder = patternPicture(20, 10);
    ImageViewModel model;
    model.setClientSize(100, 50);
    model.setPlaceholder(placeholder);
    composeView(model);
    const Image& buffer = model.backBuffer();
    EXPECT_EQ(buffer.pixelAt(39, 20), kViewSurround);
    EXPECT_EQ(buffer.pixelAt(40, 20), placeholder.pixelAt(0, 0));
    EXPECT_EQ(buffer.pixelAt(59, 29), placeholder.pixelAt(19, 9));
    EXPECT_EQ(buffer.pixelAt(60, 29), kViewSurround);

    // A placeholder larger than the window is cut, not written outside the buffer.
    Image large = patternPicture(300, 300);
    model.setPlaceholder(large);
    composeView(model);
    EXPECT_EQ(buffer.pixelAt(0, 0), large.pixelAt(100, 125));
}

TEST(ViewComposer, SnapshotsHoldExactlyWhatTheWindowShows)
{
    Image picture = patternPicture(400, 300);
    ImageViewModel model = viewOf(picture, 801, 601);
    const Image full = snapshotFull(model);
    ASSERT_EQ(full.width(), 801);
    ASSERT_EQ(full.height(), 601);
    EXPECT_EQ(full.dpi(), 72.0f);
    for (int y = 0; y < 601; ++y)
        for (int x = 0; x < 801; ++x)
            ASSERT_EQ(full.pixelAt(x, y), model.backBuffer().pixelAt(x, y)) << x << "," << y;

    // Half size: the frame survives as a line darker than the grey around a white picture.
    Image white;
    white.setFillColour(0xFFFFFFFF);
    ASSERT_TRUE(white.create(400, 300, 72.0f));
    ImageViewModel whiteView = viewOf(white, 801, 601);
    const Image half = snapshotHalf(whiteView);
    EXPECT_EQ(half.width(), 400);
    EXPECT_EQ(half.height(), 300);
    EXPECT_EQ(half.pixelAt(0, 0), kViewSurround);
    EXPECT_EQ(half.pixelAt(399, 299), kViewSurround);
    EXPECT_LT(half.pixelAt(99, 150) & 0xFF, 0x80u);
    EXPECT_GT(half.pixelAt(200, 150) & 0xFF, 0xF0u);

    ImageViewModel tiny = viewOf(picture, 1, 1);
    EXPECT_TRUE(snapshotHalf(tiny).isEmpty());
    EXPECT_EQ(snapshotFull(tiny).width(), 1);
    ImageViewModel hidden = viewOf(picture, 0, 0);
    EXPECT_TRUE(snapshotFull(hidden).isEmpty());
    composeView(hidden);
}

}  // namespace
}  // namespace tavelune
