// The overlay share of the conversion job on an 800 x 533 photo: frame, watermark, signature.
#include <benchmark/benchmark.h>

#include "overlay/apply_border.h"
#include "overlay/apply_overlay.h"
#include "overlay/info_tags.h"

namespace {

using namespace tavelune;

Image photo()
{
    Image image;
    image.create(800, 533, 300.0f);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.rowFromTop(y)[x] = 0xFF000000u | uint32_t(x * 0x010203 + y * 0x030201);
    return image;
}

OverlaySettings watermark()
{
    Image logo;
    logo.setFillColour(0xFFFFFFFF);
    logo.create(120, 120, 72.0f);
    for (int y = 30; y < 90; ++y)
        for (int x = 30; x < 90; ++x) logo.rowFromTop(y)[x] = 0xFFD02020;
    OverlaySettings settings = OverlaySettings::watermark();
    settings.enabled = true;
    settings.opacity = 60;
    settings.setTransparentColour(0xFFFFFF);
    settings.setPicture(logo);
    return settings;
}

OverlaySettings signature()
{
    OverlaySettings settings = OverlaySettings::signature();
    settings.enabled = true;
    settings.text = "<UserName/> <CurrentDate/>\r\n<ImageSize/> on slide film";
    settings.font.faceName = "DejaVu Sans";
    settings.font.height = -24;
    return settings;
}

void BM_BorderWatermarkSignature(benchmark::State& state)
{
    const Image source = photo();
    BorderSettings border = BorderSettings::initial();
    border.enabled = true;
    const OverlaySettings mark = watermark();
    const OverlaySettings sign = signature();
    TagContext context;
    context.userName = "Ada";
    const TextExpander expand = tagExpander(nullptr, context);
    for (auto _ : state) {
        Image image = source;
        if (!applyBorder(image, border) || !applyOverlay(image, mark, expand) ||
            !applyOverlay(image, sign, expand)) {
            state.SkipWithError("the frame or a text could not be made");
            break;
        }
        benchmark::DoNotOptimize(image.pixels());
    }
}
BENCHMARK(BM_BorderWatermarkSignature)->Unit(benchmark::kMillisecond);

void BM_BorderOnly(benchmark::State& state)
{
    const Image source = photo();
    BorderSettings border = BorderSettings::initial();
    border.enabled = true;
    for (auto _ : state) {
        Image image = source;
        if (!applyBorder(image, border)) {
            state.SkipWithError("the frame could not be made");
            break;
        }
        benchmark::DoNotOptimize(image.pixels());
    }
}
BENCHMARK(BM_BorderOnly)->Unit(benchmark::kMillisecond);

}  // namespace
