// Turning a photograph's colours from Adobe RGB into sRGB: the conversion --to-srgb and the
// screen copies use, against LittleCMS's own transform of the same pixels.
#include <benchmark/benchmark.h>
#include <lcms2.h>

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

void BM_LittleCms(benchmark::State& state)
{
    const std::vector<std::uint8_t> icc = reference::adobeRgbProfile();
    cmsHPROFILE from = cmsOpenProfileFromMem(icc.data(), cmsUInt32Number(icc.size()));
    cmsHPROFILE to = cmsCreate_sRGBProfile();
    cmsHTRANSFORM transform =
        cmsCreateTransform(from, TYPE_BGRA_8, to, TYPE_BGRA_8, INTENT_PERCEPTUAL,
                           cmsFLAGS_BLACKPOINTCOMPENSATION | cmsFLAGS_COPY_ALPHA);
    Image picture = bench::photoLikePicture(kWidth, kHeight);
    for (auto _ : state) {
        cmsDoTransform(transform, picture.pixels(), picture.pixels(),
                       cmsUInt32Number(picture.pixelCount()));
        benchmark::DoNotOptimize(picture.pixels());
    }
    state.SetItemsProcessed(state.iterations() * int64_t(picture.pixelCount()));
    cmsDeleteTransform(transform);
    cmsCloseProfile(to);
    cmsCloseProfile(from);
}
BENCHMARK(BM_LittleCms)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace tavelune
