// The film page's settings, as the film step reads them.
#pragma once

namespace tavelune {

/// Film type codes (the item data of the film list).
enum FilmType : int {
    kFilmVelvia = 1,  // "富士 Velvia (RVP)"
    kFilmAstia = 2,   // "富士 Astia (RAP)"
    kFilmE100Vs = 4,  // "柯达 E100 VS"
    kFilmTmax = 5,    // "柯达黑白 T-Max 100"
};

struct FilmSettings {
    bool enabled = true;  // off: the result is a plain copy
    int filmType = kFilmVelvia;
    int exposure = 0;              // quarter stops, -8..8
    bool portrait = false;         // colour: gentler, warmer channel mix
    bool highKey = true;           // monochrome: richer mid-to-high tones
    bool blackCorrection = false;  // monochrome: lifts green against a reddish cast
    int sharpnessPosition = 5;     // slider 0..5; sharpening level 5 - position
    int saturation = 0;            // -10..10: colour saturation, monochrome lightness
    // The looks are made for sRGB numbers: a picture with another profile is turned into sRGB
    // first (and tagged so) when set.
    bool toSrgb = false;
};

/// How the recipes are computed; both give the same bytes.
enum class FilmEngine {
    Reference,  // the chain of run kernels over whole pictures, one thread
    Fast,       // the chain fused per pixel over tables, on several threads
};

/// The levels gamma of an exposure setting; 1.25 at exposure 0.
float exposureGamma(int exposure);

}  // namespace tavelune
