// The whole conversion job (film, frame, watermark, signature) at the desktop working size.
#include <benchmark/benchmark.h>

#include "bench_picture.h"
#include "job/conversion_job.h"

namespace tavelune {
namespace {

ConversionSettings fullJob()
{
    ConversionSettings settings;
    settings.border.enabled = true;  // white mat, black line
    settings.watermark.enabled = true;
    Image logo = bench::photoLikePicture(120, 80);
    settings.watermark.setPicture(logo);
    settings.watermark.setTransparentColour(0x00FFFFFF);
    settings.watermark.opacity = 60;
    settings.signature.enabled = true;
    settings.signature.text = "Tavelune sample signature\n2024:05:01 10:30:00  1/125\"  F5.6";
    settings.signature.font.faceName = "DejaVu Sans";
    settings.signature.font.height = -16;
    return settings;
}

void BM_ConversionJob(benchmark::State& state)
{
    const Image source = bench::photoLikePicture(800, 533);
    ConversionSettings settings = fullJob();
    settings.film.sharpnessPosition = int(state.range(0));
    for (auto _ : state) {
        Image result;
        Rect margins;
        benchmark::DoNotOptimize(runConversionJob(source, nullptr, settings, nullptr, result, margins));
    }
}
BENCHMARK(BM_ConversionJob)->Arg(5)->Arg(2)->ArgName("sharpness")->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tavelune
