// The film page's rules without its widgets: the film list, which options each film offers,
// and the ranges of the page's sliders.
#pragma once

#include <array>

#include "film/film_settings.h"

namespace tavelune {

/// The film list's item data, in list order.
inline constexpr std::array<int, 4> kFilmListOrder = {kFilmVelvia, kFilmTmax, kFilmE100Vs,
                                                      kFilmAstia};

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

/// Which film options the page shows: colour films offer the portrait mix, the monochrome
/// film its high-key and black-correction options in the same place.
struct FilmOptionsShown {
    bool portrait;
    bool highKey;
    bool blackCorrection;
};

bool isMonochromeFilm(int filmType);
FilmOptionsShown filmOptionsShown(int filmType);

/// Where a film code sits in the list; codes the list does not hold give -1.
int filmListIndex(int filmType);

}  // namespace tavelune
