// The full-screen compare window: its layouts, the keys that cycle them, Ctrl and Escape.
#include "gui/view/compare_window.h"

#include <QSignalSpy>
#include <QTest>

#include "gui/view/image_view.h"
#include "view/image_view_model.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

class CompareWindowTest : public QObject {
    Q_OBJECT
private slots:
    void opensSideBySideCoveringTheScreen()
    {
        Image source = test::makeGradient(600, 400);
        Image result = test::makeGradient(640, 440);
        CompareWindow window(&source, &result);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int w = window.width();
        const int h = window.height();
        QCOMPARE(window.geometry(), window.screen()->geometry());
        QCOMPARE(window.layoutMode(), 3);
        QCOMPARE(window.firstView()->geometry(), QRect(0, 0, w / 2 - 2, h));
        QCOMPARE(window.secondView()->geometry(), QRect(w / 2 + 2, 0, w / 2 - 2, h));
        QVERIFY(window.firstView()->picture() == &source);
        QVERIFY(window.secondView()->picture() == &result);
    }

    void keysChooseAndCycleTheLayouts()
    {
        Image source = test::makeGradient(600, 400);
        Image result = test::makeGradient(640, 440);
        // The screen copies (of the colour profiles) go with their pictures in every layout.
        Image sourceShown = test::makeGradient(600, 400);
        Image resultShown = test::makeGradient(640, 440);
        CompareWindow window(&source, &result, nullptr, &sourceShown, &resultShown);
        auto shows = [](const ImageView* view, const Image* picture, const Image* shown) {
            return view->picture() == picture && view->model().picture() == shown;
        };
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        const int w = window.width();
        const int h = window.height();

        const int tabCycle[] = {4, 1, 2, 3};
        for (int expected : tabCycle) {
            QTest::keyClick(&window, Qt::Key_Tab);
            QCOMPARE(window.layoutMode(), expected);
        }
        QTest::keyClick(&window, Qt::Key_Space);
        QCOMPARE(window.layoutMode(), 4);
        QCOMPARE(window.firstView()->geometry(), QRect(0, 0, w, h / 2 - 2));
        QCOMPARE(window.secondView()->geometry(), QRect(0, h / 2 + 2, w, h / 2 - 2));
        QTest::keyClick(&window, Qt::Key_PageDown);
        QCOMPARE(window.layoutMode(), 1);
        QVERIFY(shows(window.firstView(), &source, &sourceShown));
        QVERIFY(!window.secondView()->isVisible());
        QCOMPARE(window.firstView()->geometry(), QRect(0, 0, w, h));

        const int pageUpCycle[] = {4, 3, 2, 1};
        for (int expected : pageUpCycle) {
            QTest::keyClick(&window, Qt::Key_PageUp);
            QCOMPARE(window.layoutMode(), expected);
        }

        QTest::keyClick(&window, Qt::Key_2, Qt::KeypadModifier);
        QCOMPARE(window.layoutMode(), 2);
        QVERIFY(shows(window.firstView(), &result, &resultShown));
        QVERIFY(!window.secondView()->isVisible());
        // The keys belong to the window even when they reach a view first.
        QTest::keyClick(window.firstView(), Qt::Key_3);
        QCOMPARE(window.layoutMode(), 3);
        QVERIFY(shows(window.firstView(), &source, &sourceShown));
        QVERIFY(shows(window.secondView(), &result, &resultShown));
        QVERIFY(window.secondView()->isVisible());
    }

    void ctrlPutsTheSecondViewOnTheFirstViewsDetail()
    {
        Image source = test::makeGradient(1600, 1200);
        Image result = test::makeGradient(1600, 1200);
        CompareWindow window(&source, &result);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        window.firstView()->setZoom(2.0f);
        window.firstView()->setScroll(700, 900, true);
        QVERIFY(window.secondView()->zoom() != window.firstView()->zoom());
        QTest::keyClick(&window, Qt::Key_Control);
        QCOMPARE(window.secondView()->zoom(), window.firstView()->zoom());
        QCOMPARE(window.secondView()->scroll(), window.firstView()->scroll());
        QVERIFY(window.firstView()->scroll() != QPoint(0, 0));
    }

    void escapeClosesAndDropsThePictures()
    {
        Image source = test::makeGradient(60, 40);
        Image result = test::makeGradient(60, 40);
        CompareWindow window(&source, &result);
        QSignalSpy rejected(&window, &QDialog::rejected);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        QTest::keyClick(&window, Qt::Key_Escape);
        QCOMPARE(rejected.count(), 1);
        QVERIFY(!window.isVisible());
        QVERIFY(window.firstView()->picture() == nullptr);
        QVERIFY(window.secondView()->picture() == nullptr);
        QCOMPARE(source.width(), 60);
    }
};

QTEST_MAIN(CompareWindowTest)
#include "compare_window_test.moc"
