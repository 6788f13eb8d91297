// Zoom ladder, fit, print size, scrolling, point mapping, mouse tools and menu graying of the view.
#include "view/image_view_model.h"

#include <gtest/gtest.h>

#include <vector>

#include "support/test_support.h"
#include "view/view_menu.h"
#include "view/zoom_steps.h"
#include "view_test_util.h"

namespace tavelune {
namespace {

using test::viewOf;

Image blankPicture(int width, int height, float dpi = 72.0f)
{
    return test::solidPicture(width, height, 0xFF336699, dpi);
}

TEST(ZoomSteps, NeighboursOnTheLadder)
{
    struct Case {
        float zoom, next, previous;
    };
    const std::vector<Case> cases = {
        {1.0f, 2.0f, 2.0f / 3.0f},  {2.0f, 3.0f, 1.0f},   {16.0f, 0.0f, 12.0f},
        {0.01f, 0.015f, 0.0f},      {1.5f, 2.0f, 1.0f},   {0.24f, 0.25f, 1.0f / 6.0f},
        {1.0f / 3.0f, 0.5f, 0.25f}, {20.0f, 0.0f, 16.0f}, {0.001f, 0.01f, 0.0f},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(nextZoomStep(c.zoom), c.next) << c.zoom;
        EXPECT_EQ(previousZoomStep(c.zoom), c.previous) << c.zoom;
    }
    EXPECT_EQ(zoomSteps().size(), 24u);
}

TEST(ImageViewModel, SmallPictureIsShownAtActualPixelsCentred)
{
    Image picture = blankPicture(400, 300);
    ImageViewModel model = viewOf(picture, 800, 600);
    EXPECT_EQ(model.zoom(), 1.0f);
    EXPECT_EQ(model.pictureArea(), (Rect{200, 150, 600, 450}));
    EXPECT_EQ(model.toZoomed({200, 150}), (ViewPoint{0, 0}));
    EXPECT_FALSE(model.fitWindow()) << "actual pixels does not notify";
    EXPECT_EQ(model.state(), (ViewState{1.0f, 0, 0}));
}

TEST(ImageViewModel, FitWindowShowsTheWholePicture)
{
    struct Case {
        int width, height;
        float zoom;
    };
    const std::vector<Case> cases = {
        {1600, 600, 0.5f}, {600, 1600, 600.0f / 1600.0f}, {1600, 1200, 0.5f},
        {800, 600, 1.0f},  {801, 600, 800.0f / 801.0f},   {3000, 10, 800.0f / 3000.0f},
    };
    for (const Case& c : cases) {
        Image picture = blankPicture(c.width, c.height);
        ImageViewModel model = viewOf(picture, 800, 600);
        EXPECT_FLOAT_EQ(model.zoom(), c.zoom) << c.width << "x" << c.height;
        EXPECT_LE(model.zoomedRect().width(), 800);
        EXPECT_LE(model.zoomedRect().height(), 600);
        EXPECT_EQ(model.scrollX(), 0);
        EXPECT_EQ(model.scrollY(), 0);
    }
}

TEST(ImageViewModel, SetZoomCentresAPictureLargerThanTheWindow)
{
    Image picture = blankPicture(400, 300);
    ImageViewModel model = viewOf(picture, 200, 100);
    model.setZoom(1.0f);
    EXPECT_EQ(model.state(), (ViewState{1.0f, 100, 100}));
    model.setZoom(2.0f);
    EXPECT_EQ(model.zoomedRect(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(model.state(), (ViewState{2.0f, 300, 250}));
    model.setZoom(100.0f);
    EXPECT_EQ(model.zoom(), 16.0f);
    model.setZoom(0.0f);
    EXPECT_EQ(model.zoom(), 0.01f);
    EXPECT_EQ(model.zoomedRect(), (Rect{0, 0, 4, 3}));
}

TEST(ImageViewModel, ScrollingStopsAtThePictureEdges)
{
    Image large = blankPicture(1000, 300);
    ImageViewModel model = viewOf(large, 800, 600);
    model.actualPixels();
    struct Case {
        int x, y, expectX;
    };
    // Vertically the picture is smaller than the window, so that axis never scrolls.
    const std::vector<Case> cases = {{50, 50, 50}, {-10, 40, 0}, {5000, -3, 200}, {200, 9, 200}};
    for (const Case& c : cases) {
        model.setScroll(c.x, c.y);
        EXPECT_EQ(model.scrollX(), c.expectX) << c.x;
        EXPECT_EQ(model.scrollY(), 0) << c.y;
    }
    EXPECT_FALSE(model.setScroll(200, 0));
    EXPECT_TRUE(model.setScroll(199, 0));
}

TEST(ImageViewModel, PrintSizeMapsThePictureResolutionToTheScreen)
{
    struct Case {
        float pictureDpi, printDpi, zoom;
    };
    // A resolution of 0 cannot be divided by; it is taken as 72.
    const std::vector<Case> cases = {
        {300.0f, 72.0f, 0.24f}, {72.0f, 96.0f, 1.33f}, {1.0f, 96.0f, 16.0f},
        {72.0f, 72.0f, 1.0f},   {0.0f, 144.0f, 2.0f},  {300.0f, 0.0f, 0.24f},
    };
    for (const Case& c : cases) {
        Image picture = blankPicture(2000, 1500);
        picture.setDpi(c.pictureDpi);
        ImageViewModel model = viewOf(picture, 800, 600);
        model.setPrintDpi(c.printDpi);
        EXPECT_TRUE(model.printSize());
        EXPECT_FLOAT_EQ(model.zoom(), c.zoom) << c.pictureDpi << " " << c.printDpi;
        const Rect zoomed = model.zoomedRect();
        EXPECT_EQ(model.scrollX(), zoomed.width() > 800 ? (zoomed.width() - 800 + 1) / 2 : 0);
        EXPECT_EQ(model.scrollY(), zoomed.height() > 600 ? (zoomed.height() - 600 + 1) / 2 : 0);
    }
}

TEST(ImageViewModel, ZoomingStepsAndKeepsTheAnchorInTheMiddle)
{
    Image picture = blankPicture(1600, 1200);
    ImageViewModel model = viewOf(picture, 800, 600);
    model.actualPixels();
    EXPECT_EQ(model.state(), (ViewState{1.0f, 400, 300}));

    EXPECT_TRUE(model.zoomIn(ViewPoint{100, 50}));
    EXPECT_EQ(model.state(), (ViewState{2.0f, 600, 400}));
    const ViewPoint middle = model.toZoomed({400, 300});
    EXPECT_EQ(middle.x / 2, 500);
    EXPECT_EQ(middle.y / 2, 350);

    EXPECT_TRUE(model.zoomIn());
    EXPECT_EQ(model.zoom(), 3.0f);
    const ViewPoint stillMiddle = model.toZoomed({400, 300});
    EXPECT_EQ(stillMiddle.x / 3, 500);
    EXPECT_EQ(stillMiddle.y / 3, 350);

    model.actualPixels();
    EXPECT_TRUE(model.zoomOut());
    EXPECT_FLOAT_EQ(model.zoom(), 2.0f / 3.0f);

    model.setZoom(16.0f);
    const ViewState top = model.state();
    EXPECT_FALSE(model.zoomIn());
    EXPECT_EQ(model.state(), top);
    model.setZoom(0.01f);
    EXPECT_FALSE(model.zoomOut());
    EXPECT_EQ(model.zoom(), 0.01f);
}

TEST(ImageViewModel, ZoomToolClickAndRubberBand)
{
    Image picture = blankPicture(1600, 1200);
    ImageViewModel model = viewOf(picture, 800, 600);
    model.actualPixels();
    model.setTool(kZoomInTool);
    model.beginDrag({0, 0});
    EXPECT_FALSE(model.dragTo({200, 150}));
    EXPECT_EQ(model.rubberBand(), (Rect{0, 0, 200, 150}));
    EXPECT_TRUE(model.endDrag({200, 150}));
    EXPECT_FALSE(model.dragging());
    // The band covered zoomed (400, 300)-(600, 450): four times enlarged, centred.
    EXPECT_EQ(model.state(), (ViewState{4.0f, 1600, 1200}));

    // A band wider than the window's proportions is fitted by its width.
    model.actualPixels();
    model.beginDrag({100, 100});
    model.endDrag({300, 110});
    EXPECT_EQ(model.zoom(), 4.0f);
    EXPECT_EQ(model.state(), (ViewState{4.0f, 2000, 1320}));

    // A one-pixel band would zoom past the top; the zoom stops at 16.
    model.actualPixels();
    model.beginDrag({10, 10});
    model.endDrag({11, 11});
    EXPECT_EQ(model.zoom(), 16.0f);

    // A flat band is still a band, not a division by zero.
    model.actualPixels();
    model.beginDrag({10, 10});
    model.endDrag({10, 200});
    EXPECT_FLOAT_EQ(model.zoom(), 600.0f / 190.0f);

    model.actualPixels();
    model.setTool(kZoomOutTool);
    model.beginDrag({400, 300});
    EXPECT_TRUE(model.endDrag({400, 300}));
    EXPECT_FLOAT_EQ(model.zoom(), 2.0f / 3.0f);
}

TEST(ImageViewModel, HandToolPansWithinThePicture)
{
    Image picture = blankPicture(1600, 1200);
    ImageViewModel model = viewOf(picture, 800, 600);
    model.actualPixels();
    model.beginDrag({300, 300});
    EXPECT_TRUE(model.dragTo({250, 280}));
    EXPECT_EQ(model.state(), (ViewState{1.0f, 450, 320}));
    model.dragTo({2000, 2000});
    EXPECT_EQ(model.state(), (ViewState{1.0f, 0, 0}));
    model.dragTo({-5000, -5000});
    EXPECT_EQ(model.state(), (ViewState{1.0f, 800, 600}));
    EXPECT_FALSE(model.endDrag({-5000, -5000}));
    EXPECT_EQ(model.rubberBand(), std::nullopt);

    Image small = blankPicture(100, 100);
    ImageViewModel smallView = viewOf(small, 800, 600);
    smallView.beginDrag({10, 10});
    smallView.dragTo({300, 400});
    EXPECT_EQ(smallView.state(), (ViewState{1.0f, 0, 0}));
}

TEST(ImageViewModel, ResizingKeepsTheScrollInsideThePicture)
{
    Image picture = blankPicture(1600, 1200);
    ImageViewModel model = viewOf(picture, 800, 600);
    model.actualPixels();
    model.setScroll(800, 600);
    EXPECT_TRUE(model.setClientSize(1000, 1000));
    EXPECT_EQ(model.state(), (ViewState{1.0f, 600, 200}));
    EXPECT_EQ(model.backBuffer().width(), 1000);
    EXPECT_EQ(model.backBuffer().pixelAt(0, 0), 0xFFFFFFFFu);

    model.setClientSize(0, 0);
    EXPECT_TRUE(model.backBuffer().isEmpty());
    EXPECT_FALSE(model.zoomToRectangle({0, 0}, {5, 5}));
    model.fitWindow();
    EXPECT_EQ(model.zoom(), 0.01f);
}

TEST(ImageViewModel, DroppingThePictureClearsTheZoomedArea)
{
    Image picture = blankPicture(1600, 1200);
    ImageViewModel model = viewOf(picture, 800, 600);
    model.actualPixels();
    EXPECT_FALSE(model.setPicture(nullptr));
    EXPECT_FALSE(model.hasPicture());
    EXPECT_EQ(model.zoomedRect(), (Rect{0, 0, 0, 0}));
    EXPECT_EQ(model.scrollX(), 0);
    Image empty;
    model.setPicture(&empty);
    EXPECT_FALSE(model.hasPicture());
}

TEST(ViewMenu, ItemsExistByFlagAndGrayByState)
{
    Image picture = blankPicture(400, 300);
    ImageViewModel model = viewOf(picture, 800, 600);

    ViewMenuItems items = viewMenuItems(model, false);
    EXPECT_TRUE(items.zoomItems);
    EXPECT_FALSE(items.hasCut || items.hasCopy || items.hasPaste);
    EXPECT_TRUE(items.zoomInEnabled && items.zoomOutEnabled && items.snapshotEnabled);
    EXPECT_FALSE(items.actualPixelsEnabled) << "zoom is exactly 1";

    model.setZoom(16.0f);
    items = viewMenuItems(model, false);
    EXPECT_FALSE(items.zoomInEnabled);
    EXPECT_TRUE(items.actualPixelsEnabled);
    model.setZoom(0.01f);
    items = viewMenuItems(model, false);
    EXPECT_TRUE(items.zoomInEnabled);
    EXPECT_FALSE(items.zoomOutEnabled);

    model.setZoomMenu(false);
    model.setCutEnabled(true);
    model.setCopyEnabled(true);
    model.setPasteEnabled(true);
    items = viewMenuItems(model, true);
    EXPECT_FALSE(items.zoomItems);
    EXPECT_TRUE(items.hasCut && items.hasCopy && items.hasPaste);
    EXPECT_TRUE(items.cutEnabled && items.copyEnabled && items.pasteEnabled);

    model.setPicture(nullptr);
    items = viewMenuItems(model, false);
    EXPECT_FALSE(items.snapshotEnabled || items.cutEnabled || items.copyEnabled);
    EXPECT_FALSE(items.pasteEnabled);
}

}  // namespace
}  // namespace tavelune
