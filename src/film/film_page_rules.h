// The film page's rules without its widgets: the film list, which options each film offers,
// and the ranges of the page's sliders.
#pragma once

#include "film/film_registry.h"
#include "film/film_settings.h"

namespace tavelune {

struct SliderRange {
    int minimum;
    int maximum;
    int step;  // arrow and page keys alike
};

/// Quarter stops, shown as -2..2 EV.
inline constexpr SliderRange kExposureRange = {-8, 8, 1};
/// Position 0 at the top (strongest sharpening), 5 at the bottom (none).
inline constexpr SliderRange kSharpnessRange = {0, 5, 1};
/// Shown as -100..100.
inline constexpr SliderRange kSaturationRange = {-10, 10, 1};
inline constexpr int kSaturationTickInterval = 2;

/// Where a film code sits in the list (the registry's order); codes it does not hold give -1.
int filmListIndex(int filmType);

}  // namespace tavelune
