// Turning a photograph's colours from Adobe RGB into sRGB: the conversion --to-srgb and the
// screen copies use, against LittleCMS's own transform of the same pixels.
#include <benchmark/benchmark.h>
#include <lcms2.h>

#include <cstdint>
#include <vector>

#include "bench_picture.h"
#include "engine/colour_profile.h"
#include "support/test_colour.h"

namespace tavelune {
namespace {

constexpr int kWidth = 1000;
constexpr int kHeight = 1000;

void BM_Ours(benchmark::State& state)
{
    const Image photo = bench::photoLikePicture(kWidth, kHeight);
    SrgbConversion conversion;
    if (!conversion.open(reference::adobeRgbProfile()) || !conversion.evaluatesTablesHere()) {
        state.SkipWithError("the tables are not evaluated here");
        return;
    }
    Image picture = photo;
    for (auto _ : state) {
        conversion.convert(picture.pixels(), picture.pixelCount());
        benchmark::DoNotOptimize(picture.pixels());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(picture.pixelCount()));
}
BENCHMARK(BM_Ours)->Unit(benchmark::kMillisecond);

// What a file's conversion costs before its first pixel: the transform, the tables, the check.
void BM_Open(benchmark::State& state)
{
    const std::vector<std::uint8_t> icc = reference::adobeRgbProfile();
    for (auto _ : state) {
        SrgbConversion conversion;
        benchmark::DoNotOptimize(conversion.open(icc));
    }
}
BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond);

void BM_OpenLittleCms(benchmark::State& state)
{
    const std::vector<std::uint8_t> icc = reference::adobeRgbProfile();
    for (auto _ : state) {
        cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
        cmsHPROFILE to = cmsCreate_sRGBProfile();
        cmsHTRANSFORM transform =
            cmsCreateTransform(from, TYPE_BGRA_8, to, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                               cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA);
        benchmark::DoNotOptimize(transform);
        cmsDeleteTransform(transform);
        cmsCloseProfile(to);
        cmsCloseProfile(from);
    }
}
BENCHMARK(BM_OpenLittleCms)->Unit(benchmark::kMillisecond);

// LittleCMS's transform with the picture's own four bytes a pixel (alpha copied or left), and
// with three: its formatters differ, its matrix-shaper evaluator is the same.
void BM_LittleCms(benchmark::State& state)
{
    const bool three = state.range(0) == 3;
    const bool copyAlpha = state.range(1) != 0;
    const std::vector<std::uint8_t> icc = reference::adobeRgbProfile();
    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE to = cmsCreate_sRGBProfile();
    const cmsUInt32Number format = three ? TYPE_BGR_8 : TYPE_BGRA_8;
    cmsHTRANSFORM transform = cmsCreateTransform(
        from, format, to, format, INTENT_PERCEPTUAL,
        cmsFLAGS_BLACKPOINTCOMPENSATION | (copyAlpha ? cmsFLAGS_COPY_ALPHA : 0));
    const Image photo = bench::photoLikePicture(kWidth, kHeight);
    std::vector<std::uint8_t> bytes(photo.pixelCount() * (three ? 3 : 4));
    for (std::size_t i = 0; i < photo.pixelCount(); ++i)
        for (std::size_t c = 0; c < (three ? 3u : 4u); ++c)
            bytes[i * (three ? 3 : 4) + c] = std::uint8_t(photo.pixels()[i] >> (8 * c));
    for (auto _ : state) {
        cmsDoTransform(transform, bytes.data(), bytes.data(), cmsUInt32Number(photo.pixelCount()));
        benchmark::DoNotOptimize(bytes.data());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(photo.pixelCount()));
    cmsDeleteTransform(transform);
    cmsCloseProfile(to);
    cmsCloseProfile(from);
}
BENCHMARK(BM_LittleCms)
    ->ArgNames({"bytes", "copyAlpha"})
    ->Args({4, 1})
    ->Args({4, 0})
    ->Args({3, 0})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavelune
