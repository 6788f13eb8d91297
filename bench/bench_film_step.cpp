// The film step at the desktop's working size and at 24 megapixels, reference chain against
// the fused engine. Run with --benchmark_repetitions=5 and compare the medians.
#include <benchmark/benchmark.h>

#include "bench_picture.h"
#include "film/film_step.h"

namespace tavelune {
namespace {

FilmSettings settingsFor(int family)
{
    FilmSettings s;
    switch (family) {
        case 1:
            s.saturation = 3;
            break;
        case 2:
            s.saturation = -4;
            break;
        case 3:
            s.filmType = kFilmTmax;
            break;
        case 4:
            s.sharpnessPosition = 0;
            break;
        default:
            break;
    }
    return s;
}

const char* kFamilyNames[] = {"defaults", "saturation+3", "saturation-4", "mono", "sharpness0"};

void filmStep(benchmark::State& state, FilmEngine engine)
{
    int width = int(state.range(0));
    int height = int(state.range(1));
    int family = int(state.range(2));
    Image source = bench::photoLikePicture(width, height);
    FilmSettings settings = settingsFor(family);
    Image result;
    for (auto _ : state) {
        runFilmStep(source, result, settings, nullptr, 92, engine);
        benchmark::DoNotOptimize(result.pixels());
    }
    state.SetLabel(kFamilyNames[family]);
    state.SetItemsProcessed(int64_t(state.iterations()) * width * height);
}

void reference(benchmark::State& state)
{
    filmStep(state, FilmEngine::Reference);
}
void fast(benchmark::State& state)
{
    filmStep(state, FilmEngine::Fast);
}

void smallSizes(benchmark::internal::Benchmark* b)
{
    for (int family = 0; family < 5; ++family) b->Args({800, 533, family});
}

BENCHMARK(reference)->Apply(smallSizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(fast)->Apply(smallSizes)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(reference)
    ->Args({6000, 4000, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(1);
BENCHMARK(fast)
    ->Args({6000, 4000, 0})
    ->Args({6000, 4000, 3})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace tavelune
