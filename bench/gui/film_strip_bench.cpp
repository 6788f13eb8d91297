// The film strip's redraw after an option change at the working size, from the change to the
// last preview on the UI thread, beside its baseline: one film step at the preview size.
// Run with QT_QPA_PLATFORM=offscreen --benchmark_repetitions=9 and read the medians.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSlider>
#include <QTest>

#include "../bench_picture.h"
#include "film/film_previews.h"
#include "film/film_step.h"
#include "gui/film/film_page.h"
#include "gui/film/film_strip.h"

namespace tavelune {
namespace {

constexpr int kWorkingWidth = 800;
constexpr int kWorkingHeight = 533;

void BM_StripRedrawAfterChange(benchmark::State& state)
{
    const Image picture = bench::photoLikePicture(kWorkingWidth, kWorkingHeight);
    gui::FilmPage page;
    page.setFilmStripShown(true);
    page.show();
    page.setPreviewPicture(&picture);
    const gui::FilmStrip& strip = page.filmStrip();
    auto* exposure = page.findChild<QSlider*>("exposure");
    QTest::qWaitFor([&] { return !strip.isDrawing(); }, 10000);
    int step = 0;
    for (auto _ : state) {
        exposure->setValue(++step % 2);
        while (strip.isDrawing()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 5);
    }
}
BENCHMARK(BM_StripRedrawAfterChange)->Unit(benchmark::kMillisecond)->UseRealTime();

// The picture reduced and all four films drawn, off the event loop.
void BM_StripPreviewsOnly(benchmark::State& state)
{
    const Image picture = bench::photoLikePicture(kWorkingWidth, kWorkingHeight);
    FilmSettings settings;
    for (auto _ : state) {
        Image reduced;
        filmPreviewSource(picture, gui::FilmStrip::kPreviewSide, reduced);
        FilmPreviews previews = renderFilmPreviews(reduced, settings, nullptr);
        benchmark::DoNotOptimize(previews.pictures.data());
    }
}
BENCHMARK(BM_StripPreviewsOnly)->Unit(benchmark::kMillisecond)->UseRealTime();

// Baseline: the single film step at the same (preview) size, and at the working size.
void BM_FilmStep(benchmark::State& state)
{
    Image picture = bench::photoLikePicture(kWorkingWidth, kWorkingHeight);
    if (state.range(0))
        filmPreviewSource(bench::photoLikePicture(kWorkingWidth, kWorkingHeight),
                          gui::FilmStrip::kPreviewSide, picture);
    FilmSettings settings;
    Image result;
    for (auto _ : state) {
        runFilmStep(picture, result, settings, nullptr, 0);
        benchmark::DoNotOptimize(result.pixels());
    }
    state.SetLabel(state.range(0) ? "preview size" : "working size");
}
BENCHMARK(BM_FilmStep)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime();

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
