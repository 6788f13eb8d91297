// The image view widget: zoom, fit, print size, snapshots, the menu, the clipboard and the mouse.
#include "gui/view/image_view.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "gui/controls/image_bridge.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

Image pictureOf(int width, int height, float dpi = 72.0f)
{
    return test::makeGradient(width, height, dpi);
}

// A shown view, so that resizes and mouse events arrive as they do on a screen.
std::unique_ptr<ImageView> shownView(int width, int height)
{
    auto view = std::make_unique<ImageView>();
    view->resize(width, height);
    view->show();
    if (!QTest::qWaitForWindowExposed(view.get()))
        return nullptr;
    return view;
}

QAction* actionNamed(QMenu* menu, const char* name)
{
    return menu->findChild<QAction*>(QLatin1String(name));
}

}  // namespace

class ImageViewTest : public QObject {
    Q_OBJECT
private slots:
    void zoomStepsFromTheMenuAndTheCentre()
    {
        Image picture = pictureOf(1600, 600);
        auto view = shownView(800, 600);
        QVERIFY(view);
        view->setPicture(&picture);
        QCOMPARE(view->zoom(), 0.5f);
        view->actualPixels();
        view->zoomIn();
        QCOMPARE(view->zoom(), 2.0f);
        view->zoomIn();
        QCOMPARE(view->zoom(), 3.0f);
        view->actualPixels();
        view->zoomOut();
        QCOMPARE(view->zoom(), 2.0f / 3.0f);
        view->fitWindow();
        QCOMPARE(view->zoom(), 0.5f);
        QCOMPARE(view->scroll(), QPoint(0, 0));
    }

    void firstSizeFitsAPictureSetBeforeIt()
    {
        Image picture = pictureOf(1600, 600);
        ImageView view;
        view.setPicture(&picture);
        view.resize(800, 600);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        QCOMPARE(view.zoom(), 0.5f);
        // Later sizes keep the zoom, as a pane that is merely enlarged should.
        view.resize(1600, 600);
        QCOMPARE(view.zoom(), 0.5f);
    }

    void printSizeUsesThePrintResolution()
    {
        Image picture = pictureOf(1000, 800, 300.0f);
        auto view = shownView(800, 600);
        QVERIFY(view);
        QCOMPARE(view->printDpi(), float(view->logicalDpiX()));
        view->setPicture(&picture);
        view->setPrintDpi(72.0f);
        view->printSize();
        QCOMPARE(view->zoom(), 0.24f);
    }

    void snapshotsHaveTheWindowSizeAndItsPixels()
    {
        Image picture = pictureOf(400, 300);
        auto view = shownView(801, 601);
        QVERIFY(view);
        view->setPicture(&picture);
        const Image half = view->snapshot(50);
        QCOMPARE(half.width(), 400);
        QCOMPARE(half.height(), 300);

        // What the widget paints is the snapshot, row for row (the buffer runs bottom-up).
        view->setZoom(3.0f);
        view->setScroll(37, 11, false);
        const QImage painted = view->grab().toImage().convertToFormat(QImage::Format_RGB32);
        const QImage shot = toQImage(view->snapshot(100)).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(shot.size(), QSize(801, 601));
        QCOMPARE(painted.size(), shot.size());
        QVERIFY(painted == shot);

        QVERIFY(view->copySnapshot(50));
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(400, 300));
        QVERIFY(view->copyPicture());
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(400, 300));
        QCOMPARE(QApplication::clipboard()->image().pixel(10, 20), picture.pixelAt(10, 20));
    }

    void sunkenBorderLeavesTheClientAreaInside()
    {
        Image picture = pictureOf(50, 40);
        auto view = shownView(204, 104);
        QVERIFY(view);
        view->setSunkenBorder(true);
        view->setPicture(&picture);
        const QSize client = view->contentsRect().size();
        QVERIFY(client.width() < 204);
        const Image shot = view->snapshot(100);
        QCOMPARE(QSize(shot.width(), shot.height()), client);
    }

    void menuItemsGrayByState()
    {
        Image picture = pictureOf(400, 300);
        auto view = shownView(800, 600);
        QVERIFY(view);
        view->setPicture(&picture);

        std::unique_ptr<QMenu> menu(view->createContextMenu(nullptr));
        QVERIFY(!actionNamed(menu.get(), "actualPixels")->isEnabled());
        QVERIFY(actionNamed(menu.get(), "zoomIn")->isEnabled());
        QVERIFY(actionNamed(menu.get(), "snapshot50")->isEnabled());
        QVERIFY(!actionNamed(menu.get(), "copy") && !actionNamed(menu.get(), "paste"));

        view->setZoom(16.0f);
        menu.reset(view->createContextMenu(nullptr));
        QVERIFY(!actionNamed(menu.get(), "zoomIn")->isEnabled());
        QVERIFY(actionNamed(menu.get(), "actualPixels")->isEnabled());
        view->setZoom(0.01f);
        menu.reset(view->createContextMenu(nullptr));
        QVERIFY(!actionNamed(menu.get(), "zoomOut")->isEnabled());

        view->setCutEnabled(true);
        view->setCopyEnabled(true);
        view->setPasteEnabled(true);
        view->setZoomMenu(false);
        QApplication::clipboard()->clear();
        menu.reset(view->createContextMenu(nullptr));
        QVERIFY(!actionNamed(menu.get(), "zoomIn") && !actionNamed(menu.get(), "printSize"));
        QVERIFY(actionNamed(menu.get(), "copy")->isEnabled());
        QVERIFY(!actionNamed(menu.get(), "paste")->isEnabled());
        QApplication::clipboard()->setImage(toQImage(picture));
        menu.reset(view->createContextMenu(nullptr));
        QVERIFY(actionNamed(menu.get(), "paste")->isEnabled());

        view->setPicture(nullptr);
        menu.reset(view->createContextMenu(nullptr));
        QVERIFY(!actionNamed(menu.get(), "cut")->isEnabled());
        QVERIFY(!actionNamed(menu.get(), "copy")->isEnabled());
        QVERIFY(!actionNamed(menu.get(), "snapshot100")->isEnabled());
    }

    void cutCopiesAndLetsGoPasteAsksTheOwner()
    {
        Image picture = pictureOf(120, 90);
        auto view = shownView(300, 200);
        QVERIFY(view);
        view->setPicture(&picture);
        view->setCutEnabled(true);
        view->setPasteEnabled(true);
        QSignalSpy cutSpy(view.get(), &ImageView::pictureCut);
        QSignalSpy pasteSpy(view.get(), &ImageView::pasteRequested);
        QApplication::clipboard()->clear();

        std::unique_ptr<QMenu> menu(view->createContextMenu(nullptr));
        actionNamed(menu.get(), "cut")->trigger();
        QCOMPARE(cutSpy.count(), 1);
        QVERIFY(view->picture() == nullptr);
        QCOMPARE(QApplication::clipboard()->image().size(), QSize(120, 90));

        menu.reset(view->createContextMenu(nullptr));
        actionNamed(menu.get(), "paste")->trigger();
        QCOMPARE(pasteSpy.count(), 1);
    }

    void handToolPansWithTheMouse()
    {
        Image picture = pictureOf(1600, 1200);
        auto view = shownView(800, 600);
        QVERIFY(view);
        view->setPicture(&picture);
        view->actualPixels();
        QCOMPARE(view->scroll(), QPoint(400, 300));
        QSignalSpy changed(view.get(), &ImageView::viewChanged);

        QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(300, 300));
        QTest::mouseMove(view.get(), QPoint(250, 280));
        QCOMPARE(view->scroll(), QPoint(450, 320));
        QTest::mouseMove(view.get(), QPoint(799, 599));
        QCOMPARE(view->scroll(), QPoint(0, 1));
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(799, 599));
        QCOMPARE(changed.count(), 2);

        // Nothing to pan in a picture smaller than the pane, and nobody is told.
        Image small = pictureOf(100, 100);
        view->setPicture(&small);
        changed.clear();
        QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(10, 10));
        QTest::mouseMove(view.get(), QPoint(300, 300));
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(300, 300));
        QCOMPARE(view->scroll(), QPoint(0, 0));
        QCOMPARE(changed.count(), 0);
    }

    void zoomToolClicksAndDrawsABand()
    {
        Image picture = pictureOf(1600, 1200);
        auto view = shownView(800, 600);
        QVERIFY(view);
        view->setPicture(&picture);
        view->actualPixels();
        view->setTool(1);
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(100, 50));
        QCOMPARE(view->zoom(), 2.0f);
        QCOMPARE(view->scroll(), QPoint(600, 400));

        view->actualPixels();
        QTest::mousePress(view.get(), Qt::LeftButton, {}, QPoint(2, 2));
        QTest::mouseMove(view.get(), QPoint(202, 152));
        QTest::mouseRelease(view.get(), Qt::LeftButton, {}, QPoint(202, 152));
        QCOMPARE(view->zoom(), 4.0f);
        QCOMPARE(view->scroll(), QPoint(1608, 1208));

        view->setTool(2);
        view->actualPixels();
        QTest::mouseClick(view.get(), Qt::LeftButton, {}, QPoint(400, 300));
        QCOMPARE(view->zoom(), 2.0f / 3.0f);
    }

    void viewChangedFollowsNotifyingChangesOnly()
    {
        Image picture = pictureOf(1600, 1200);
        auto view = shownView(800, 600);
        QVERIFY(view);
        QSignalSpy changed(view.get(), &ImageView::viewChanged);
        view->setPicture(&picture);
        QCOMPARE(changed.count(), 1);
        changed.clear();

        view->setZoom(2.0f);
        view->actualPixels();
        view->setScroll(10, 10, false);
        QCOMPARE(changed.count(), 0);
        view->setScroll(20, 20, true);
        QCOMPARE(changed.count(), 1);
        view->setScroll(20, 20, true);
        QCOMPARE(changed.count(), 1);
        view->zoomIn();
        view->printSize();
        view->fitWindow();
        QCOMPARE(changed.count(), 4);

        // A sibling kept in step by the owner shows the same detail.
        auto sibling = shownView(800, 600);
        QVERIFY(sibling);
        sibling->setPicture(&picture);
        connect(view.get(), &ImageView::viewChanged, sibling.get(), [&] {
            sibling->setZoom(view->zoom());
            sibling->setScroll(view->scroll().x(), view->scroll().y(), false);
        });
        view->zoomIn(QPoint(100, 100));
        view->zoomIn(QPoint(700, 500));
        QCOMPARE(sibling->zoom(), view->zoom());
        QCOMPARE(sibling->scroll(), view->scroll());
    }

    void placeholderShowsWithoutAPicture()
    {
        Image placeholder = pictureOf(40, 30);
        auto view = shownView(200, 100);
        QVERIFY(view);
        view->setPlaceholder(placeholder);
        const Image shot = view->snapshot(100);
        QCOMPARE(shot.pixelAt(0, 0), 0xFF808080u);
        QCOMPARE(shot.pixelAt(80, 35), placeholder.pixelAt(0, 0));
        view->setPlaceholder(Image());
        QCOMPARE(view->snapshot(100).pixelAt(80, 35), 0xFF808080u);
    }
};

QTEST_MAIN(ImageViewTest)
#include "image_view_test.moc"
