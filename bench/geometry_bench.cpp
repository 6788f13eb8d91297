// Resize of a 24-megapixel picture to 800 px in each sampler mode, a 24-megapixel bicubic
// enlargement, and a quarter turn of 24 megapixels: per-pixel yardstick against the fast path.
#include <benchmark/benchmark.h>

#include <random>
#include <vector>

#include "engine/image.h"
#include "engine/quarter_turn.h"
#include "engine/resample.h"

namespace {

using tavelune::Image;

const Image& picture(int width, int height)
{
    static Image large;
    static Image small;
    Image& image = width == 6000 ? large : small;
    if (image.width() != width) {
        image.create(width, height, 300.0f);
        std::mt19937 random(1);
        for (size_t i = 0; i < image.pixelCount(); ++i)
            image.pixels()[i] = uint32_t(random());
    }
    return image;
}

// Arguments: source width, source height, new width, new height, sampler mode.
template <bool Fast>
void resize(benchmark::State& state)
{
    const Image& source = picture(int(state.range(0)), int(state.range(1)));
    const int newWidth = int(state.range(2));
    const int newHeight = int(state.range(3));
    const int mode = int(state.range(4));
    std::vector<uint32_t> out(size_t(newWidth) * size_t(newHeight));
    for (auto _ : state) {
        if (Fast)
            tavelune::resamplePixels(source, newWidth, newHeight, mode, out.data());
        else
            tavelune::resamplePixelsBySample(source, newWidth, newHeight, mode, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

template <bool Fast>
void rotate90(benchmark::State& state)
{
    const Image& source = picture(6000, 4000);
    std::vector<uint32_t> out(source.pixelCount());
    for (auto _ : state) {
        if (Fast)
            tavelune::turnPixels(source, true, out.data());
        else
            tavelune::turnPixelsByPixel(source, true, out.data());
        benchmark::DoNotOptimize(out.data());
        benchmark::ClobberMemory();
    }
}

void reductionArguments(benchmark::internal::Benchmark* b)
{
    for (int mode = 0; mode < 3; ++mode)
        b->Args({6000, 4000, 800, 533, mode});
    b->Unit(benchmark::kMillisecond)->UseRealTime();
}

void enlargementArguments(benchmark::internal::Benchmark* b)
{
    b->Args({1500, 1000, 6000, 4000, 2})->Unit(benchmark::kMillisecond)->UseRealTime();
}

}  // namespace

BENCHMARK(resize<false>)->Name("Resize24MpTo800/BySample")->Apply(reductionArguments);
BENCHMARK(resize<true>)->Name("Resize24MpTo800/Fast")->Apply(reductionArguments);
BENCHMARK(resize<false>)->Name("BicubicTo24Mp/BySample")->Apply(enlargementArguments);
BENCHMARK(resize<true>)->Name("BicubicTo24Mp/Fast")->Apply(enlargementArguments);
BENCHMARK(rotate90<false>)->Name("Rotate90_24Mp/ByPixel")->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(rotate90<true>)->Name("Rotate90_24Mp/Fast")->Unit(benchmark::kMillisecond)->UseRealTime();
