// What the desktop program does with a 24-megapixel photograph: open it to the working size,
// count its histogram, and Apply the film at that size; beside the plain decode it starts from.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "bench_picture.h"
#include "engine/format_dispatch.h"
#include "exif/exif_data.h"
#include "film/film_step.h"
#include "histogram/histogram_panel.h"
#include "job/conversion_job.h"
#include "job/file_conversion.h"

namespace tavelune {
namespace {

const std::string& photographPath()
{
    static const std::string path = [] {
        std::string file = "/tmp/tavelune-bench-desktop-24mp.jpg";
        if (std::FILE* f = std::fopen(file.c_str(), "rb")) {
            std::fclose(f);
        } else {
            if (!saveImage(file, bench::photoLikePicture(6000, 4000), ImageFormat::Jpeg, 90))
                std::abort();  // no picture, no figure
        }
        return file;
    }();
    return path;
}

Image workingPicture()
{
    Image picture;
    ExifData exif;
    if (!openWorkingPicture(photographPath(), picture, exif, 800, true))
        std::abort();
    return picture;
}

void BM_DecodeOnly24MP(benchmark::State& state)
{
    for (auto _ : state) {
        Image picture;
        benchmark::DoNotOptimize(openImage(photographPath(), picture));
    }
}

void BM_OpenToWorkingSize24MP(benchmark::State& state)
{
    for (auto _ : state) {
        Image picture;
        ExifData exif;
        benchmark::DoNotOptimize(openWorkingPicture(photographPath(), picture, exif, 800, true));
    }
}

void BM_HistogramOfWorkingPicture(benchmark::State& state)
{
    const Image picture = workingPicture();
    HistogramPanel panel;
    for (auto _ : state) {
        panel.StartHistogram(&picture, nullptr);
        panel.WaitForHistogram();
    }
}

void BM_ApplyFilmStepAtWorkingSize(benchmark::State& state)
{
    const Image picture = workingPicture();
    for (auto _ : state) {
        Image result;
        benchmark::DoNotOptimize(runFilmStep(picture, result, FilmSettings{}, nullptr, 92));
    }
}

void BM_ApplyWholeJobAtWorkingSize(benchmark::State& state)
{
    const Image picture = workingPicture();
    for (auto _ : state) {
        Image result;
        Rect margins;
        benchmark::DoNotOptimize(
            runConversionJob(picture, nullptr, ConversionSettings{}, nullptr, result, margins));
    }
}

BENCHMARK(BM_DecodeOnly24MP)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_OpenToWorkingSize24MP)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_HistogramOfWorkingPicture)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ApplyFilmStepAtWorkingSize)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_ApplyWholeJobAtWorkingSize)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tavelune
