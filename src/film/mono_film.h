// The monochrome film recipe as a chain of run kernels.
#pragma once

#include <cstdint>

#include "pixel/progress.h"

namespace tavelune {

/// Film type 5 from source into result; result must start opaque (its alpha is composed
/// over). False, result untouched, when the temporary run cannot be allocated.
bool monoFilm(uint32_t* result, const uint32_t* source, uint32_t n, int exposure, int saturation,
              bool highKey, bool blackCorrection, Progress* progress, int budget);

/// Percent of R, G and B in the grey layer that the chain starts from.
inline constexpr int kMonoMix[3] = {44, 33, 24};
/// Alpha of the faint screen layer of the high-key chain.
inline constexpr int kHighKeyScreenAlpha = 16;

}  // namespace tavelune
