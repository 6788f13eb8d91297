// The constants that make a colour slide film out of the colour layer chain.
#pragma once

#include "film/colour_film.h"

namespace tavelune {

/// A selective HSV change over a hue band, as adjustHsv takes it.
struct SlideBand {
    int from;
    int to;
    int hueShift;
    int saturation;  // percent
};

/// The colour chain's structure with its own strengths: the blend layers, how much of them
/// is laid over the source, the hue bands, and the final channel mix. Velvia's constants
/// written this way give Velvia's bytes (a test holds them to it).
struct SlideRecipe {
    int overlayAlpha;    // the overlay layer over the soft-light base
    double shadowGamma;  // levels gamma of the screen layer that opens the shadows
    int multiplyAlpha;   // the multiply layer that deepens the colours again
    int strength;        // the layered picture over the source: 255 all of it
    static constexpr int kMaxBands = 4;
    SlideBand bands[kMaxBands];
    int bandCount;
    ChannelMix mix;
    ChannelMix portraitMix;
    float saturationPassGamma;  // the second chain that raises saturation
};

/// The slide constants of a film made with the slide chain, or null for other films.
const SlideRecipe* slideRecipeFor(int filmType);

}  // namespace tavelune
