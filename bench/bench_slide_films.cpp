// The E100 VS and Astia recipes side by side with Velvia, at the desktop's working size and
// at 24 megapixels, on the engine the program uses. Run with --benchmark_repetitions=7
// --benchmark_enable_random_interleaving=true and compare the medians.
#include <benchmark/benchmark.h>

#include <string>

#include "bench_picture.h"
#include "film/film_step.h"

namespace tavelune {
namespace {

void film(benchmark::State& state)
{
    int width = int(state.range(0));
    int height = int(state.range(1));
    Image source = bench::photoLikePicture(width, height);
    FilmSettings settings;
    settings.filmType = int(state.range(2));
    settings.saturation = int(state.range(3));
    Image result;
    for (auto _ : state) {
        runFilmStep(source, result, settings, nullptr, 92);
        benchmark::DoNotOptimize(result.pixels());
    }
    const char* names[] = {"", "velvia", "astia", "", "e100vs"};
    state.SetLabel(std::string(names[settings.filmType]) +
                   (settings.saturation ? " saturation+3" : ""));
    state.SetItemsProcessed(int64_t(state.iterations()) * width * height);
}

void sizes(benchmark::internal::Benchmark* b)
{
    for (auto [w, h] : {std::pair{800, 533}, {6000, 4000}})
        for (int saturation : {0, 3})
            for (int type : {kFilmVelvia, kFilmE100Vs, kFilmAstia})
                b->Args({w, h, type, saturation});
}

BENCHMARK(film)->Apply(sizes)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tavelune
