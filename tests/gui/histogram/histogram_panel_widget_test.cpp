// The histogram panel widget: restarts and stops, the calculating state, the menu, the clipboard.
#include "gui/histogram/histogram_panel_widget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QSignalSpy>
#include <QTest>
#include <atomic>
#include <chrono>
#include <memory>
#include <thread>

#include "exif/exif_data.h"
#include "gui/controls/image_bridge.h"
#include "gui/support/string_table.h"
#include "pixel/luma.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

Image solid(int width, int height, uint32_t colour)
{
    Image picture;
    picture.create(width, height, 72.0f);
    picture.fill(colour);
    return picture;
}

// The canvas as the widget paints it (the widget draws a one-pixel border around it).
QImage shownCanvas(HistogramPanelWidget& panel)
{
    return panel.grab().toImage().convertToFormat(QImage::Format_RGB32).copy(1, 1, 258, 135);
}

bool anyWhite(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) > 220)
                return true;
    return false;
}

// Where "Calculating..." goes: centred, bottom at half the canvas height.
const QRect kCalculatingArea(60, 45, 140, 23);
// Text row 1 of the canvas, where the EXIF summary goes.
const QRect kSummaryRow(1, 107, 256, 13);

// Holds the worker at its start until released, so a test sees the calculating state.
struct HeldWorker {
    std::atomic<bool> released{false};
    void install(HistogramPanelWidget& panel)
    {
        panel.model().setThreadStarter([this](std::thread& thread, std::function<void()> work) {
            thread = std::thread([this, work = std::move(work)] {
                while (!released) std::this_thread::sleep_for(std::chrono::milliseconds(1));
                work();
            });
            return true;
        });
    }
};

}  // namespace

class HistogramPanelWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void newPictureWhileCountingShowsOnlyTheNewResult();
    void stopReturnsWithTheWorkerEndedAndDropsItsResult();
    void destroyingWhileCountingIsSafe();
    void showsCalculatingUntilTheResultArrives();
    void summaryComesFromTheExifAsItIsWhenTheCountEnds();
    void menuItemsInEachLanguage_data();
    void menuItemsInEachLanguage();
    void copiesTheGraphOrTheWholeCanvasAsAPicture();
    void workerThatCannotStartIsReported();
};

void HistogramPanelWidgetTest::newPictureWhileCountingShowsOnlyTheNewResult()
{
    HistogramPanelWidget panel;
    QCOMPARE(panel.size(), QSize(260, 137));
    QSignalSpy finished(&panel, &HistogramPanelWidget::calculationFinished);
    const Image white = solid(1600, 1600, 0xFFFFFFFF);
    // Pure red: its luma bar stands alone, away from the colour lines' peaks.
    const Image red = solid(10, 10, 0xFFFF0000);
    const int redColumn = int(lumaOf(0xFFFF0000u)) + 1;

    // Rapid restarts without the event loop: every older worker's repaint requests are queued
    // behind the newer starts and must all be dropped.
    for (int i = 0; i < 12; ++i) {
        QVERIFY(panel.startCalculation(i % 2 == 0 ? white : red, nullptr));
        QVERIFY(panel.isCalculating());
    }
    QVERIFY(panel.startCalculation(white, nullptr));
    QVERIFY(panel.startCalculation(red, nullptr));
    QTRY_COMPARE(finished.count(), 1);
    QTest::qWait(100);
    QCOMPARE(finished.count(), 1);
    QVERIFY(!panel.isCalculating());

    QCOMPARE(panel.model().counts()[redColumn - 1], 100u);
    const QImage shown = shownCanvas(panel);
    QVERIFY(anyWhite(shown, QRect(redColumn, 20, 1, 80)));
    QVERIFY(!anyWhite(shown, QRect(256, 2, 1, 98)));  // no bar left from the white one
}

void HistogramPanelWidgetTest::stopReturnsWithTheWorkerEndedAndDropsItsResult()
{
    HistogramPanelWidget panel;
    QSignalSpy finished(&panel, &HistogramPanelWidget::calculationFinished);
    const Image white = solid(1600, 1600, 0xFFFFFFFF);
    QVERIFY(panel.startCalculation(white, nullptr));
    panel.stopCalculation();
    QVERIFY(!panel.isCalculating());
    QVERIFY(!panel.model().IsCalculating());
    QVERIFY(!panel.model().IsStopping());
    QTest::qWait(100);
    QCOMPARE(finished.count(), 0);
    QVERIFY(!anyWhite(shownCanvas(panel), kCalculatingArea));

    // A start after a stop runs to the end.
    QVERIFY(panel.startCalculation(solid(8, 8, 0xFF000000), nullptr));
    QTRY_COMPARE(finished.count(), 1);
    QCOMPARE(panel.model().counts()[0], 64u);
}

void HistogramPanelWidgetTest::destroyingWhileCountingIsSafe()
{
    const Image white = solid(1600, 1600, 0xFFFFFFFF);
    for (int i = 0; i < 5; ++i) {
        auto panel = std::make_unique<HistogramPanelWidget>();
        panel->show();
        QVERIFY(panel->startCalculation(white, nullptr));
        if (i % 2 == 1)
            QCoreApplication::processEvents();
        panel.reset();
    }
    QTest::qWait(50);  // any request still queued for a dead panel must not be delivered
}

void HistogramPanelWidgetTest::showsCalculatingUntilTheResultArrives()
{
    HeldWorker held;
    HistogramPanelWidget panel;
    held.install(panel);
    QSignalSpy finished(&panel, &HistogramPanelWidget::calculationFinished);
    QVERIFY(panel.startCalculation(solid(40, 40, 0xFF000000), nullptr));
    QVERIFY(panel.isCalculating());
    QTest::qWait(30);
    QVERIFY(panel.isCalculating());
    QVERIFY(anyWhite(shownCanvas(panel), kCalculatingArea));

    held.released = true;
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(!panel.isCalculating());
    QVERIFY(!anyWhite(shownCanvas(panel), kCalculatingArea));
}

void HistogramPanelWidgetTest::summaryComesFromTheExifAsItIsWhenTheCountEnds()
{
    ExifData exif;
    QVERIFY(exif.LoadExif(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg"));
    QVERIFY(!exif.IsEmpty());
    HistogramPanelWidget panel;
    QSignalSpy finished(&panel, &HistogramPanelWidget::calculationFinished);
    const Image picture = solid(30, 20, 0xFF406080);

    QVERIFY(panel.startCalculation(picture, &exif));
    QTRY_COMPARE(finished.count(), 1);
    QVERIFY(anyWhite(shownCanvas(panel), kSummaryRow));

    // The EXIF list may empty the data while the worker counts (the worker never reads it).
    HeldWorker held;
    held.install(panel);
    QVERIFY(panel.startCalculation(picture, &exif));
    exif.Clear();
    held.released = true;
    QTRY_COMPARE(finished.count(), 2);
    QVERIFY(!anyWhite(shownCanvas(panel), kSummaryRow));

    // An edit after the count shows once the owner asks for it.
    QVERIFY(exif.LoadExif(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg"));
    QVERIFY(!anyWhite(shownCanvas(panel), kSummaryRow));
    panel.refreshSummary();
    QVERIFY(anyWhite(shownCanvas(panel), kSummaryRow));
}

void HistogramPanelWidgetTest::menuItemsInEachLanguage_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<QString>("graph");
    QTest::addColumn<QString>("all");
    QTest::newRow("zh_CN") << "zh_CN" << QString::fromUtf8("复制直方图")
                           << QString::fromUtf8("复制直方图 && Exif");
    QTest::newRow("zh_TW") << "zh_TW" << QString::fromUtf8("複製直方圖")
                           << QString::fromUtf8("複製直方圖 && Exif");
    QTest::newRow("en_US") << "en_US"
                           << "Copy Histogram"
                           << "Copy Histogram && Exif";
}

void HistogramPanelWidgetTest::menuItemsInEachLanguage()
{
    QFETCH(QString, language);
    QFETCH(QString, graph);
    QFETCH(QString, all);
    auto active = std::make_unique<test::ActiveLanguage>(language);
    QVERIFY2(active->ok(), qPrintable(active->error()));
    HistogramPanelWidget panel;
    active.reset();
    const QList<QAction*> actions = panel.contextMenuActions();
    QCOMPARE(actions.size(), 2);
    QCOMPARE(actions[0]->text(), graph);
    QCOMPARE(actions[1]->text(), all);
    QVERIFY(actions[0]->isEnabled() && actions[1]->isEnabled());
}

void HistogramPanelWidgetTest::copiesTheGraphOrTheWholeCanvasAsAPicture()
{
    HistogramPanelWidget panel;
    QSignalSpy finished(&panel, &HistogramPanelWidget::calculationFinished);
    QVERIFY(panel.startCalculation(test::makeGradient(64, 48), nullptr));
    QTRY_COMPARE(finished.count(), 1);
    const QImage shown = shownCanvas(panel);
    QClipboard* clipboard = QGuiApplication::clipboard();

    const struct {
        int item;
        int rows;
    } cases[] = {{0, 107}, {1, 135}};
    for (const auto& c : cases) {
        clipboard->clear();
        panel.contextMenuActions()[c.item]->trigger();
        const QImage copied = clipboard->image().convertToFormat(QImage::Format_RGB32);
        QCOMPARE(copied.size(), QSize(258, c.rows));
        QCOMPARE(copied, shown.copy(0, 0, 258, c.rows));
    }
}

void HistogramPanelWidgetTest::workerThatCannotStartIsReported()
{
    test::MessageCollector boxes;
    HistogramPanelWidget panel;
    panel.model().setThreadStarter([](std::thread&, std::function<void()>) { return false; });
    QVERIFY(!panel.startCalculation(solid(4, 4, 0xFF808080), nullptr));
    QVERIFY(!panel.isCalculating());
    QCOMPARE(boxes.texts(), QStringList{"Failed to create histogram calc thread"});
    panel.stopCalculation();
}

QTEST_MAIN(HistogramPanelWidgetTest)
#include "histogram_panel_widget_test.moc"
