// JPEG reading and writing of a 24-megapixel photo-like picture: the codec's direct routes
// against the plain routes through an RGB intermediate.
#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <random>
#include <string>

#include "engine/jpeg_codec.h"

namespace {

using namespace tavelune;

// 6000 x 4000, smooth gradients with fine grain, written once at quality 90.
const std::string& picturePath()
{
    static const std::string path = [] {
        auto file = std::filesystem::temp_directory_path() / "tavelune-bench-24mp.jpg";
        Image picture;
        picture.create(6000, 4000, 300.0f);
        std::mt19937 random(7);
        for (int y = 0; y < 4000; ++y) {
            uint32_t* row = picture.rowFromTop(y);
            for (int x = 0; x < 6000; ++x) {
                int grain = int(random() % 24) - 12;
                auto clamp = [](int v) { return uint32_t(v < 0 ? 0 : v > 255 ? 255 : v); };
                row[x] = 0xFF000000u | (clamp(x / 24 + grain) << 16) |
                         (clamp(y / 16 + grain) << 8) | clamp((x + y) / 40 + grain);
            }
        }
        JpegCodec().write(file.string(), picture, 90);
        return file.string();
    }();
    return path;
}

void BM_ReadDirect(benchmark::State& state)
{
    JpegCodec codec;
    for (auto _ : state) {
        Image out;
        benchmark::DoNotOptimize(codec.read(picturePath(), out));
    }
}

void BM_ReadThroughRgb(benchmark::State& state)
{
    for (auto _ : state) {
        Image out;
        benchmark::DoNotOptimize(readJpegThroughRgb(picturePath(), out));
    }
}

void BM_WriteDirect(benchmark::State& state)
{
    Image picture;
    JpegCodec().read(picturePath(), picture);
    const std::string out = picturePath() + ".out.jpg";
    for (auto _ : state) benchmark::DoNotOptimize(JpegCodec().write(out, picture, 90));
    std::remove(out.c_str());
}

void BM_WriteThroughRgb(benchmark::State& state)
{
    Image picture;
    JpegCodec().read(picturePath(), picture);
    const std::string out = picturePath() + ".out.jpg";
    for (auto _ : state) benchmark::DoNotOptimize(writeJpegThroughRgb(out, picture, 90));
    std::remove(out.c_str());
}

BENCHMARK(BM_ReadDirect)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_ReadThroughRgb)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteDirect)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WriteThroughRgb)->Unit(benchmark::kMillisecond)->MinTime(2.0);

}  // namespace
