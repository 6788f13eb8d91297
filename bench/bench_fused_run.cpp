// The fused films' run() over one megapixel on one thread, one pixel at a time, on the AVX2
// kernels and with the AVX-512 stages, side by side. Run with --benchmark_repetitions=5
// --benchmark_enable_random_interleaving=true --benchmark_report_aggregates_only=true and
// compare the medians of per_px.
#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "bench_picture.h"
#include "film/film_settings.h"
#include "film/fused_colour.h"
#include "film/fused_mono.h"
#include "film/fused_slide.h"
#include "film/fused_vector.h"
#include "film/slide_recipe.h"

namespace tavelune {
namespace {

constexpr int kSide = 1000;

template <typename Film>
void timeRun(benchmark::State& state, const Film& film, const char* name)
{
    static const Image source = bench::photoLikePicture(kSide, kSide);
    const size_t n = source.pixelCount();
    std::vector<uint32_t> dst(n);
    bool vector = state.range(2) != 0;
    bool vbmi = state.range(2) == 2;
    if ((vector && !fusedVectorAvailable()) || (vbmi && !fusedVbmiAvailable())) {
        state.SkipWithError("no such vector kernels on this CPU");
        return;
    }
    setFusedVectorEnabled(vector);
    setFusedVbmiEnabled(vbmi);
    for (auto _ : state) {
        film.run(source.pixels(), dst.data(), n);
        benchmark::DoNotOptimize(dst.data());
        benchmark::ClobberMemory();
    }
    setFusedVectorEnabled(true);
    setFusedVbmiEnabled(true);
    state.SetLabel(std::string(name) + " saturation " + std::to_string(state.range(1)) +
                   (vbmi ? " avx-512" : vector ? " avx2" : " one pixel"));
    // Time per pixel, printed with an SI prefix (n for nanoseconds).
    state.counters["per_px"] = benchmark::Counter(
        double(n), benchmark::Counter::kIsIterationInvariantRate | benchmark::Counter::kInvert);
}

void fusedRun(benchmark::State& state)
{
    int film = int(state.range(0));
    int saturation = int(state.range(1));
    if (film == kFilmVelvia) {
        timeRun(state, FusedColourFilm(0, saturation, false), "velvia");
    } else if (film == kFilmTmax) {
        timeRun(state, FusedMonoFilm(0, saturation, true, false), "t-max high key");
    } else {
        timeRun(state, FusedSlideFilm(*slideRecipeFor(film), 0, saturation, false),
                film == kFilmAstia ? "astia" : "e100vs");
    }
}

void films(benchmark::internal::Benchmark* b)
{
    for (int film : {kFilmVelvia, kFilmE100Vs, kFilmAstia, kFilmTmax})
        for (int saturation : {0, 3, -3})
            for (int vector : {0, 1, 2}) b->Args({film, saturation, vector});
}

BENCHMARK(fusedRun)->Apply(films)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace tavelune
