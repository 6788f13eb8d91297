// The result loupe on a 24 MP photograph: the first view (the full-size job on its worker,
// then the square) and later moves of the mouse, timed through the page as a user meets them.
// Run with QT_QPA_PLATFORM=offscreen --benchmark_repetitions=5 and read the medians; the CPU
// column is the whole process (every thread), for a machine shared with other work.
#include <benchmark/benchmark.h>

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QTemporaryDir>
#include <QTest>

#include "../bench_picture.h"
#include "engine/format_dispatch.h"
#include "gui/app/loupe_source.h"
#include "gui/app/photo_page.h"
#include "gui/app/result_loupe.h"
#include "gui/view/image_view.h"
#include "gui/view/loupe_view.h"

namespace tavelune {
namespace {

// One 6000 x 4000 JPEG for every benchmark of the run.
const QString& photo24()
{
    static QTemporaryDir dir;
    static const QString path = [] {
        const QString file = dir.filePath("24mp.jpg");
        const bool saved =
            saveImage(file.toStdString(), bench::photoLikePicture(6000, 4000), ImageFormat::Jpeg, 90)
                .ok();
        return saved ? file : QString();
    }();
    return path;
}

struct Page {
    gui::PhotoPage page{Image(), Image()};
    gui::ImageView* pane = nullptr;

    bool open()
    {
        page.resize(1200, 760);
        page.show();
        pane = page.findChild<gui::ImageView*>("resultPane");
        return page.openPicture(photo24()) &&
               QTest::qWaitFor([&] { return !page.isBusy(); }, 60000) && apply();
    }
    bool apply()
    {
        return page.startConversion() && QTest::qWaitFor([&] { return !page.isBusy(); }, 60000);
    }
    const gui::ResultLoupe& loupe() const { return page.loupe(); }
};

void BM_LoupeFirstView24MP(benchmark::State& state)
{
    Page p;
    if (!p.open()) {
        state.SkipWithError("could not open and convert the photo");
        return;
    }
    QAction* toggle = p.page.action(gui::PhotoPage::Command::Loupe);
    for (auto _ : state) {
        state.PauseTiming();
        toggle->setChecked(false);
        p.apply();  // a new result: the full size is made again
        state.ResumeTiming();
        // Sleep in the event loop as the program does: polling it would take a core from the job.
        const auto shown = [&] {
            return !p.loupe().view().region().isEmpty() ||
                   p.loupe().source().state() == gui::LoupeSource::State::Failed;
        };
        QEventLoop loop;
        QObject::connect(&p.loupe().source(), &gui::LoupeSource::stateChanged, &loop, [&] {
            if (shown())
                loop.quit();
        });
        toggle->setChecked(true);
        if (!shown())
            loop.exec();
    }
    if (p.loupe().source().state() != gui::LoupeSource::State::Ready)
        state.SkipWithError("the full size was not made");
}
BENCHMARK(BM_LoupeFirstView24MP)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

void BM_LoupeMove24MP(benchmark::State& state)
{
    Page p;
    if (!p.open()) {
        state.SkipWithError("could not open and convert the photo");
        return;
    }
    p.page.action(gui::PhotoPage::Command::Loupe)->setChecked(true);
    if (!QTest::qWaitFor(
            [&] { return p.loupe().source().state() == gui::LoupeSource::State::Ready; }, 60000)) {
        state.SkipWithError("the full size was not made");
        return;
    }
    const Rect area = p.pane->model().pictureArea();
    int step = 0;
    for (auto _ : state) {
        // Across the picture and back, a few pixels at a time, painted each time.
        step = (step + 7) % std::max(1, area.width());
        p.page.lookThroughLoupe(QPoint(area.left + step, (area.top + area.bottom) / 2));
        const_cast<gui::LoupeView&>(p.loupe().view()).repaint();
    }
}
BENCHMARK(BM_LoupeMove24MP)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the full-size job alone, as the save runs it.
void BM_FullSizeJob24MP(benchmark::State& state)
{
    Page p;
    if (!p.open()) {
        state.SkipWithError("could not open and convert the photo");
        return;
    }
    const FullSizeJob job = p.page.fullSizeJob();
    for (auto _ : state) {
        Image result;
        Rect margins;
        renderFullSize(job, nullptr, nullptr, result, margins);
        benchmark::DoNotOptimize(result.pixels());
    }
}
BENCHMARK(BM_FullSizeJob24MP)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

}  // namespace
}  // namespace tavelune

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
