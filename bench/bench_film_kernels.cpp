// The run kernels over one megapixel, one thread.
#include <benchmark/benchmark.h>

#include <atomic>
#include <vector>

#include "bench_picture.h"
#include "engine/parallel.h"
#include "film/convolution_filter.h"
#include "pixel/blend_kernels.h"
#include "pixel/hsv.h"
#include "pixel/luma_histogram.h"
#include "pixel/tone_kernels.h"

namespace tavelune {
namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 1000;
constexpr uint32_t kCount = kWidth * kHeight;

struct Runs {
    Image a = bench::photoLikePicture(kWidth, kHeight);
    Image b = bench::photoLikePicture(kHeight, kWidth);
    std::vector<uint32_t> dst = std::vector<uint32_t>(kCount, 0xFF000000u);
};

Runs& runs()
{
    static Runs r;
    return r;
}

template <void (*Kernel)(uint32_t*, const uint32_t*, const uint32_t*, uint32_t)>
void binary(benchmark::State& state)
{
    Runs& r = runs();
    for (auto _ : state) {
        Kernel(r.dst.data(), r.a.pixels(), r.b.pixels(), kCount);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}

BENCHMARK(binary<multiplyPixels>)->Name("multiplyPixels");
BENCHMARK(binary<screenPixels>)->Name("screenPixels");
BENCHMARK(binary<overlayPixels>)->Name("overlayPixels");
BENCHMARK(binary<softLightPixels>)->Name("softLightPixels");
BENCHMARK(binary<blendByAlpha>)->Name("blendByAlpha");
BENCHMARK(binary<compositeOver>)->Name("compositeOver");

void mix(benchmark::State& state)
{
    Runs& r = runs();
    for (auto _ : state) {
        mixChannels(r.dst.data(), r.a.pixels(), kCount, 104, -2, -2, -2, 104, -2, -2, -2, 104);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
BENCHMARK(mix)->Name("mixChannels");

void levels(benchmark::State& state)
{
    Runs& r = runs();
    for (auto _ : state) {
        applyLevels(r.dst.data(), r.a.pixels(), kCount, 0, 255, 0, 255, 1.25, 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
BENCHMARK(levels)->Name("applyLevels");

void hsvBand(benchmark::State& state)
{
    Runs& r = runs();
    int from = int(state.range(0));
    int to = int(state.range(1));
    for (auto _ : state) {
        adjustHsv(r.dst.data(), r.a.pixels(), kCount, 0, 20, 0, from, to);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
BENCHMARK(hsvBand)->Name("adjustHsv")->Args({45, 75})->Args({0, 359});

void fill(benchmark::State& state)
{
    Runs& r = runs();
    for (auto _ : state) {
        fillChannel(r.dst.data(), kCount, 'A', 128);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
BENCHMARK(fill)->Name("fillChannel");

void histogram(benchmark::State& state)
{
    Runs& r = runs();
    std::vector<uint32_t> hist(1024);
    std::atomic<int> stop{0};
    for (auto _ : state) {
        lumaHistogram(hist.data(), r.a.pixels(), kCount, &stop);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
BENCHMARK(histogram)->Name("lumaHistogram");

void sharpen(benchmark::State& state)
{
    const int32_t kernel[9] = {0, -1, 0, -1, 6, -1, 0, -1, 0};
    ConvolutionFilter filter;
    filter.setKernel(kernel, 3, 3);
    Image image = runs().a;
    int threads = state.range(0) == 0 ? defaultThreadCount() : int(state.range(0));
    for (auto _ : state) {
        filter.apply(image, threads);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * kCount);
}
// 1 thread, then all of the machine's.
BENCHMARK(sharpen)->Name("ConvolutionFilter/threads")->Arg(1)->Arg(0)->UseRealTime();

}  // namespace
}  // namespace tavelune
