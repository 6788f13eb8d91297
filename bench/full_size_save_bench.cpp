// The desktop's full-size save against `tavelune-cli convert --scale-from` of the same picture.
// Run: full_size_save_bench --benchmark_filter='Save$|ScaleFrom' --benchmark_repetitions=7
//      --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true
// (medians side by side, interleaved; 24 MP, default film, the white-black frame, a text
// signature, JPEG quality 75).
#include <benchmark/benchmark.h>

#include <atomic>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bench_picture.h"
#include "engine/format_dispatch.h"
#include "job/full_size_job.h"

namespace tavelune::bench {
namespace {

const std::filesystem::path& workFolder()
{
    static const std::filesystem::path folder = [] {
        std::filesystem::path path = std::filesystem::temp_directory_path() / "tavelune-full-size";
        std::filesystem::create_directories(path);
        return path;
    }();
    return folder;
}

// Made once and kept, so that a second run measures the save's memory, not the making.
std::string testPicture(int width, int height)
{
    const std::filesystem::path picture =
        workFolder() / ("big-" + std::to_string(width) + "x" + std::to_string(height) + ".jpg");
    if (!std::filesystem::exists(picture) &&
        !saveImage(picture.string(), photoLikePicture(width, height), ImageFormat::Jpeg, 90))
        std::abort();  // no picture, no figure
    return picture.string();
}

FullSizeJob desktopJob(int width = 6000, int height = 4000)
{
    FullSizeJob job;
    job.path = testPicture(width, height);
    job.geometry = GeometryRecord(width, height);
    job.workingWidth = 800;
    job.workingHeight = int(int64_t(height) * 800 / width);
    job.settings.border.enabled = true;
    job.settings.border.applyPreset(kPresetWhiteMatBlackBorder);
    job.settings.signature.enabled = true;
    job.settings.signature.text = "Tavelune";
    return job;
}

void DesktopFullSizeSave(benchmark::State& state)
{
    const FullSizeJob job = desktopJob();
    const std::string output = (workFolder() / "desktop.jpg").string();
    for (auto _ : state) {
        // As the desktop runs it: progress handed on at every change, a cancel flag looked at.
        std::atomic<int> cancel{0};
        std::atomic<int> last{-1};
        Progress progress([&](int position) { last.exchange(position); });
        if (saveFullSize(job, output, {ImageFormat::Jpeg, 75, true}, &progress, &cancel) !=
            FullSizeOutcome::Saved)
            state.SkipWithError("full-size save failed");
    }
}

void CliConvertScaleFrom(benchmark::State& state)
{
    const std::string input = testPicture(6000, 4000);
    const std::string command = std::string(TAVELUNE_CLI_PATH) +
                                " convert --quality 75 --border-preset white-black"
                                " --signature-text Tavelune --scale-from 800 " +
                                input + " " + (workFolder() / "cli.jpg").string() + " > /dev/null";
    for (auto _ : state) {
        if (std::system(command.c_str()) != 0)
            state.SkipWithError("tavelune-cli convert failed");
    }
}

// 50 megapixels, for the peak memory: run it alone under /usr/bin/time -f %M, twice (the
// first run also makes the picture).
void DesktopFullSizeSave50MP(benchmark::State& state)
{
    const FullSizeJob job = desktopJob(8660, 5774);
    const std::string output = (workFolder() / "desktop-50mp.jpg").string();
    for (auto _ : state) {
        if (saveFullSize(job, output, {ImageFormat::Jpeg, 75, true}, nullptr, nullptr) !=
            FullSizeOutcome::Saved)
            state.SkipWithError("full-size save failed");
    }
}

BENCHMARK(DesktopFullSizeSave50MP)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(DesktopFullSizeSave)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);
BENCHMARK(CliConvertScaleFrom)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(1);

}  // namespace
}  // namespace tavelune::bench
