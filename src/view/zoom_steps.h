// The fixed ladder of display scales the image view steps through.
// Layer view: the image view's zoom, scroll and composition; sits on engine.
#pragma once

#include <array>

namespace tavelune {

inline constexpr float kMinZoom = 0.01f;
inline constexpr float kMaxZoom = 16.0f;

/// The 24 steps, ascending, from 0.01 to 16.
const std::array<float, 24>& zoomSteps();

/// The smallest step above zoom, or 0 when zoom is already at or past the top.
float nextZoomStep(float zoom);
/// The largest step below zoom, or 0 when zoom is already at or below the bottom.
float previousZoomStep(float zoom);

/// zoom kept within 0.01..16; anything that is not a number becomes 1.
float clampZoom(float zoom);

}  // namespace tavelune
