// The result pane's 1:1 loupe: the full-size job's pixels under the mouse, made once.
#include "gui/app/result_loupe.h"

#include <QAction>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <cmath>
#include <cstring>

#include "engine/format_dispatch.h"
#include "gui/app/loupe_source.h"
#include "gui/app/photo_page.h"
#include "gui/view/image_view.h"
#include "gui/view/loupe_view.h"
#include "support/gui_test_support.h"
#include "view/loupe_region.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

bool sameBlock(const Image& piece, const Image& full, const Rect& region)
{
    if (piece.width() != region.width() || piece.height() != region.height())
        return false;
    for (int y = 0; y < piece.height(); ++y)
        if (std::memcmp(piece.rowFromTop(y), full.rowFromTop(region.top + y) + region.left,
                        size_t(piece.width()) * 4) != 0)
            return false;
    return true;
}

bool apply(PhotoPage& page)
{
    return page.startConversion() &&
           QTest::qWaitFor([&] { return !page.isConverting(); }, 20000);
}

bool ready(const ResultLoupe& loupe)
{
    return QTest::qWaitFor(
        [&] { return loupe.source().state() != LoupeSource::State::Computing; }, 30000);
}

}  // namespace

class ResultLoupeTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_page = std::make_unique<PhotoPage>(test::makeGradient(64, 48), test::makeGradient(64, 48));
        m_page->resize(1000, 640);
        m_page->show();
        QVERIFY(QTest::qWaitForWindowExposed(m_page.get()));
    }

    void cleanup() { m_page.reset(); }

    void showsTheFullSizeJobsPixelsUnderTheMouse()
    {
        QTemporaryDir dir;
        Image photo;
        QVERIFY(openImage(TAVELUNE_SAMPLES_DIR "/coffee.jpg", photo));
        QVERIFY(photo.resize(2400, 1600, kBicubic));
        const QString path = dir.filePath("large.jpg");
        QVERIFY(saveImage(path.toStdString(), photo, ImageFormat::Jpeg, 92));
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, path));
        QAction* toggle = page.action(PhotoPage::Command::Loupe);
        QVERIFY(!toggle->isEnabled());  // nothing converted yet

        // A frame and a sharpened film: the full size is not the shown result enlarged.
        ConversionSettings settings = page.settings();
        settings.border.enabled = true;
        settings.border.mat = {20, 20, 20, 20};
        settings.film.sharpnessPosition = 0;
        page.setSettings(settings);
        QVERIFY(apply(page));
        QVERIFY(toggle->isEnabled());
        auto* button = page.findChild<QToolButton*>("loupeButton");
        QVERIFY(button && button->isVisible());
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(toggle->isChecked());
        const ResultLoupe& loupe = page.loupe();
        // The worker has not delivered yet: the square says it is computing.
        QCOMPARE(loupe.source().state(), LoupeSource::State::Computing);
        QVERIFY(loupe.view().isVisible());
        QVERIFY(!loupe.view().note().isEmpty());
        QVERIFY(ready(loupe));
        QCOMPARE(loupe.source().state(), LoupeSource::State::Ready);

        Image expected;
        Rect margins;
        QCOMPARE(renderFullSize(page.fullSizeJob(), nullptr, nullptr, expected, margins),
                 FullSizeOutcome::Saved);
        QCOMPARE(loupe.source().fullSize().width(), expected.width());
        QVERIFY(expected.width() > 2400);  // the mat, at full size

        auto* pane = page.findChild<ImageView*>("resultPane");
        const int side = LoupeView::sideFor(pane->size());
        const Rect area = pane->model().pictureArea();
        const QPoint origin = pane->contentsRect().topLeft();
        struct Look {
            const char* name;
            QPoint at;
            Rect region;  // in the full-size result
        };
        const Look looks[] = {
            {"top left corner", origin + QPoint(area.left, area.top), {0, 0, side, side}},
            {"bottom right corner", origin + QPoint(area.right - 1, area.bottom - 1),
             {expected.width() - side, expected.height() - side, expected.width(),
              expected.height()}},
        };
        for (const Look& look : looks) {
            page.lookThroughLoupe(look.at);
            QVERIFY2(sameBlock(loupe.view().region(), expected, look.region), look.name);
        }
        // The middle of the picture on screen shows the middle of the full size, give or take
        // what one screen pixel covers.
        page.lookThroughLoupe(origin + QPoint((area.left + area.right) / 2, (area.top + area.bottom) / 2));
        const Image& middle = loupe.view().region();
        QCOMPARE(middle.width(), side);
        const int reach = int(std::ceil(double(expected.width()) / page.result().width() /
                                        pane->zoom())) + 1;
        bool found = false;
        for (int dy = -reach; dy <= reach && !found; ++dy)
            for (int dx = -reach; dx <= reach && !found; ++dx) {
                const int left = expected.width() / 2 - side / 2 + dx;
                const int top = expected.height() / 2 - side / 2 + dy;
                found = sameBlock(middle, expected, {left, top, left + side, top + side});
            }
        QVERIFY(found);

        QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 10000));
        // A turn makes the result stale: the loupe closes, its full size goes.
        page.rotatePicture();
        QVERIFY(!toggle->isChecked() && !toggle->isEnabled());
        QVERIFY(!loupe.view().isVisible());
        QCOMPARE(loupe.source().state(), LoupeSource::State::None);
    }

    void aPictureWithoutALargerOriginalIsItsOwnFullSize()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, TAVELUNE_SAMPLES_DIR "/coffee.jpg"));
        QVERIFY(apply(page));
        page.action(PhotoPage::Command::Loupe)->trigger();
        const ResultLoupe& loupe = page.loupe();
        QCOMPARE(loupe.source().state(), LoupeSource::State::Ready);
        auto* pane = page.findChild<ImageView*>("resultPane");
        const Rect area = pane->model().pictureArea();
        page.lookThroughLoupe(pane->contentsRect().topLeft() + QPoint(area.left, area.top));
        const int side = LoupeView::sideFor(pane->size());
        QVERIFY(sameBlock(loupe.view().region(), page.result(),
                          {0, 0, std::min(side, page.result().width()),
                           std::min(side, page.result().height())}));
    }

private:
    std::unique_ptr<PhotoPage> m_page;
};

QTEST_MAIN(ResultLoupeTest)
#include "result_loupe_test.moc"
