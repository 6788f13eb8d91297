// Per-pixel layer alphas that the recipes derive from a layer's own colour.
#pragma once

#include <cstdint>

namespace tavelune {

/// m = floor((B + G + R) / 3) of a pixel.
inline int meanOf(uint32_t pixel)
{
    return int(((pixel & 0xFF) + ((pixel >> 8) & 0xFF) + ((pixel >> 16) & 0xFF)) / 3);
}

// The weights' shapes, shared with the vector kernels.
inline constexpr int kCubeShift = 16;          // a cube of 0..255 brought back to about 0..255
inline constexpr int kCubicWeightFloor = 2;    // the cubic weights never reach 0
inline constexpr int kHighlightLift = 16;      // the colour highlight starts on a lifted mean
inline constexpr int kSquareShift = 8;         // a square of 0..255 back to 0..254
inline constexpr int kSquareWeightFloor = 1;

/// Heavy on dark pixels: 255 for black, 2 for white.
inline int shadowWeight(int mean)
{
    int v = 255 - mean;
    return ((v * v * v) >> kCubeShift) + kCubicWeightFloor;
}

inline int colourHighlightWeight(int mean)
{
    int e = mean + kHighlightLift < 255 ? mean + kHighlightLift : 255;
    return ((e * e) >> kSquareShift) + kSquareWeightFloor;
}

inline int monoHighlightWeight(int mean)
{
    return ((mean * mean * mean) >> kCubeShift) + kCubicWeightFloor;
}

/// Sets each pixel's alpha byte to weight(meanOf(pixel)).
void setShadowAlpha(uint32_t* run, uint32_t n);
void setColourHighlightAlpha(uint32_t* run, uint32_t n);
void setMonoHighlightAlpha(uint32_t* run, uint32_t n);

}  // namespace tavelune
