// Per-pixel layer alphas that the recipes derive from a layer's own colour.
#pragma once

#include <cstdint>

namespace tavelune {

/// m = floor((B + G + R) / 3) of a pixel.
inline int meanOf(uint32_t pixel)
{
    return int(((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF)) / 3);
}

/// Heavy on dark pixels: 255 for black, 2 for white.
inline int shadowWeight(int mean)
{
    int v = 255 - mean;
    return ((v * v * v) >> 16) + 2;
}

inline int colourHighlightWeight(int mean)
{
    int e = mean + 16 < 255 ? mean + 16 : 255;
    return ((e * e) >> 8) + 1;
}

inline int monoHighlightWeight(int mean)
{
    return ((mean * mean * mean) >> 16) + 2;
}

/// Sets each pixel's alpha byte to weight(meanOf(pixel)).
void setShadowAlpha(uint32_t* run, uint32_t n);
void setColourHighlightAlpha(uint32_t* run, uint32_t n);
void setMonoHighlightAlpha(uint32_t* run, uint32_t n);

}  // namespace tavelune
