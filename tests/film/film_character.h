// The colour checker chart drawn in code, and what a film does to it measured in CIELAB.
#pragma once

#include <string>

#include "engine/image.h"
#include "film/film_settings.h"

namespace tavelune::test {

struct ChartPatch {
    const char* name;
    int r, g, b;  // sRGB
};

/// The 24 patches of the classic colour checker, in rows of six, in sRGB.
extern const ChartPatch kColourChecker[24];
inline constexpr int kDarkSkin = 0;
inline constexpr int kLightSkin = 1;
inline constexpr int kFirstNeutral = 18;  // white; then five greys down to black

/// The chart as a picture: 6 x 4 patches of patch x patch pixels on a black ground.
Image colourChartPicture(int patch);

struct Lab {
    double L, a, b;
};
/// An sRGB colour in CIELAB (D65 white).
Lab labOf(int r, int g, int b);
double chromaOf(const Lab& lab);
/// Hue angle in degrees, 0..360.
double hueOf(const Lab& lab);

/// What a film does to the chart.
struct FilmCharacter {
    double chromaGain;       // mean chroma of the 18 colour patches, after over before
    double contrast;         // least-squares slope of L* out over L* in on the six neutrals
    double skinHueShift[2];  // dark and light skin: hue out minus hue in, degrees
    double neutralA[6];      // a* and b* of the neutrals after the film
    double neutralB[6];
};

/// Runs the film step (reference chain) over the chart's colours and measures them.
FilmCharacter measureFilm(const FilmSettings& settings);

/// The film's name for tables: "Velvia", "E100 VS", "Astia", "T-Max 100".
std::string filmLabel(int filmType);

}  // namespace tavelune::test
