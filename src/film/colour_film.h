// The colour slide film recipe as a chain of run kernels.
#pragma once

#include <cstdint>

#include "pixel/progress.h"

namespace tavelune {

/// The colour layer chain from src into dst (dst is not read first). Needs one temporary
/// run; false, dst untouched, when it cannot be allocated.
bool colourFilmCore(uint32_t* dst, const uint32_t* src, uint32_t n, float gamma, bool portrait,
                    Progress* progress, int budget);

/// Film type 1: the chain once, then saturation: reduced in HSV below 0, or blended with a
/// second chain over the first above 0. False when a temporary run cannot be allocated.
bool colourFilm(uint32_t* result, const uint32_t* source, uint32_t n, int exposure, int saturation,
                bool portrait, Progress* progress, int budget);

/// Mixer rows of the final step, in percent.
struct ChannelMix {
    int m[9];
};
ChannelMix colourFilmMix(bool portrait);

/// The hue bands whose saturation the chain raises (yellows, greens, cyans), and by how much.
struct HueBand {
    int from;
    int to;
};
inline constexpr HueBand kColourBands[3] = {{45, 75}, {105, 135}, {165, 195}};
inline constexpr int kBandSaturationBoost = 20;

/// Gamma of the second chain that raises saturation.
inline constexpr float kSaturationPassGamma = 1.375f;

}  // namespace tavelune
