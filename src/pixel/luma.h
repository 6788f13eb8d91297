// Luma of a pixel from three single-precision weight tables.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "pixel/pixel.h"

namespace tavelune {

/// i * 0.299, i * 0.587 and i * 0.114, each rounded to single precision.
extern const std::array<float, 256> lumaRed;
extern const std::array<float, 256> lumaGreen;
extern const std::array<float, 256> lumaBlue;

/// 0..255. The float entries add up exactly in double precision.
inline int lumaOf(int red, int green, int blue)
{
    double sum = double(lumaRed[size_t(red)]) + double(lumaGreen[size_t(green)]) +
                 double(lumaBlue[size_t(blue)]);
    // The sum is never negative, so truncation is the floor (and needs no library call).
    return int(sum + 0.5);
}

inline int lumaOf(uint32_t pixel)
{
    return lumaOf(redOf(pixel), greenOf(pixel), blueOf(pixel));
}

}  // namespace tavelune

namespace tavelune {

/// Sets the colour channels of every pixel to its luma; alpha is kept.
void greyByLuma(uint32_t* run, uint32_t n);

}  // namespace tavelune
