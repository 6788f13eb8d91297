// The saturation slider over a colour chain, shared by the Velvia and slide recipes:
// reduced in HSV below 0, a second chain blended over the first above 0.
#pragma once

#include <algorithm>
#include <cstdint>

#include "engine/image.h"
#include "film/progress_budget.h"
#include "pixel/blend_kernels.h"
#include "pixel/hsv.h"
#include "pixel/tone_kernels.h"

namespace tavelune {

/// A temporary run of n pixels, freed when it goes; pixels is null when allocation failed.
struct PixelRun {
    explicit PixelRun(uint32_t n) : pixels(allocatePixels(n)) {}
    ~PixelRun() { freePixels(pixels); }
    PixelRun(const PixelRun&) = delete;
    PixelRun& operator=(const PixelRun&) = delete;
    uint32_t* pixels;
};

/// How opaque the second chain lies over the first: 10 % a saturation step.
inline int saturationPassAlpha(int saturation)
{
    return int(std::min(10 * saturation, 100) * kPercentToByte);
}

/// core(dst, src, gamma, budget) runs the chain once and returns false when it ran out of
/// memory; the second chain runs on the first one's result with passGamma.
template <typename Core>
bool runSaturationPasses(uint32_t* result, const uint32_t* source, uint32_t n, float gamma,
                         float passGamma, int saturation, Progress* progress, int budget,
                         const Core& core)
{
    ProgressBudget bar(progress, budget);
    bool ok = true;
    if (saturation < 0) {
        int v = std::clamp(5 * saturation, -100, 100);
        ok = core(result, source, gamma, bar.points(95));
        if (ok)
            adjustHsv(result, result, n, 0, v, 0, 0, 359);
    } else if (saturation == 0) {
        ok = core(result, source, gamma, bar.points(100));
    } else {
        int share = bar.points(45);
        ok = core(result, source, gamma, share);
        PixelRun second(n);
        ok = ok && second.pixels;
        bar.advance(5);
        ok = ok && core(second.pixels, result, passGamma, share);
        if (ok) {
            fillChannel(second.pixels, n, 'A', saturationPassAlpha(saturation));
            blendByAlpha(result, second.pixels, result, n);
        }
    }
    bar.finish();
    return ok;
}

}  // namespace tavelune
