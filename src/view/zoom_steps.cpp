// The zoom ladder and the clamp every zoom passes through.
#include "view/zoom_steps.h"

#include <algorithm>
#include <cmath>

namespace tavelune {

const std::array<float, 24>& zoomSteps()
{
    static const std::array<float, 24> steps = {
        0.01f,  0.015f,      0.02f, 0.03f,       0.04f, 0.05f,       0.0625f, 1.0f / 12.0f,
        0.125f, 1.0f / 6.0f, 0.25f, 1.0f / 3.0f, 0.5f,  2.0f / 3.0f, 1.0f,    2.0f,
        3.0f,   4.0f,        5.0f,  6.0f,        7.0f,  8.0f,        12.0f,   16.0f};
    return steps;
}

float nextZoomStep(float zoom)
{
    const auto& steps = zoomSteps();
    auto it = std::upper_bound(steps.begin(), steps.end(), zoom);
    return it == steps.end() ? 0.0f : *it;
}

float previousZoomStep(float zoom)
{
    const auto& steps = zoomSteps();
    auto it = std::lower_bound(steps.begin(), steps.end(), zoom);
    return it == steps.begin() ? 0.0f : *(it - 1);
}

float clampZoom(float zoom)
{
    if (std::isnan(zoom))
        return 1.0f;
    return std::clamp(zoom, kMinZoom, kMaxZoom);
}

}  // namespace tavelune
