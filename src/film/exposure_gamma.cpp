// Exposure compensation as a levels gamma.
#include <algorithm>

#include "film/film_settings.h"

namespace tavelune {

float exposureGamma(int exposure)
{
    // The +1 offset is part of the look: the middle of the slider already lightens.
    int e = std::clamp(exposure, -8, 8) + 1;
    if (e >= 0)
        return float(1 + 0.25 * e);
    if (e >= -4)
        return float(1 + 0.125 * e);
    return float(0.5 + 0.0625 * (e + 4));
}

}  // namespace tavelune
