// Text rendering: a 200-character, two-line signature at 24 pixels, as the overlay draws it.
#include <benchmark/benchmark.h>

#include <string>

#include "overlay/text_canvas.h"

namespace {

std::string signature()
{
    std::string line = "Shot on slide film 2026-12-08 f/8 1/250s ISO 100 ";
    std::string text;
    while (text.size() < 100)
        text += line;
    text.resize(100);
    std::string second = text;
    second[0] = 'C';
    return text + "\r\n" + second;
}

// What one overlay costs: a fresh canvas and font, measuring, the picture, drawing.
void BM_SignatureFreshCanvas(benchmark::State& state)
{
    const std::string text = signature();
    for (auto _ : state) {
        tavelune::TextCanvas canvas;
        canvas.setFont("DejaVu Sans", -24, false, false, false, false);
        auto size = canvas.measureText(text);
        canvas.setFillColour(0);
        canvas.create(size.width, size.height, 72.0f);
        canvas.drawText(0, 0, size.width, size.height, text, 0xFF000000, 0, 0);
        benchmark::DoNotOptimize(canvas.pixels());
    }
}
BENCHMARK(BM_SignatureFreshCanvas)->Unit(benchmark::kMillisecond);

// Drawing again on a canvas whose glyphs are already rendered.
void BM_SignatureWarmCanvas(benchmark::State& state)
{
    const std::string text = signature();
    tavelune::TextCanvas canvas;
    canvas.setFont("DejaVu Sans", -24, false, false, false, false);
    auto size = canvas.measureText(text);
    canvas.setFillColour(0);
    canvas.create(size.width, size.height, 72.0f);
    for (auto _ : state) {
        canvas.fill(0);
        canvas.drawText(0, 0, size.width, size.height, text, 0xFF000000, 0, 0);
        benchmark::DoNotOptimize(canvas.pixels());
    }
}
BENCHMARK(BM_SignatureWarmCanvas)->Unit(benchmark::kMillisecond);

}  // namespace
