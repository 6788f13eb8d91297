// Packing and unpacking of 0xAARRGGBB pixel values.
// Layer pixel: kernels over pixel runs, units and progress; includes nothing else of ours.
#pragma once

#include <cstdint>

namespace tavelune {

/// Byte 3 = alpha, 2 = red, 1 = green, 0 = blue; the low 8 bits of each argument.
constexpr uint32_t makePixel(uint32_t alpha, uint32_t red, uint32_t green, uint32_t blue)
{
    return (alpha & 0xFF) << 24 | (red & 0xFF) << 16 | (green & 0xFF) << 8 | (blue & 0xFF);
}

/// A colour value 0x00BBGGRR of the user interface as an opaque pixel.
constexpr uint32_t colorRefToPixel(uint32_t colorRef)
{
    return makePixel(255, colorRef & 0xFF, (colorRef >> 8) & 0xFF, (colorRef >> 16) & 0xFF);
}

constexpr int redOf(uint32_t pixel)
{
    return int((pixel >> 16) & 0xFF);
}
constexpr int greenOf(uint32_t pixel)
{
    return int((pixel >> 8) & 0xFF);
}
constexpr int blueOf(uint32_t pixel)
{
    return int(pixel & 0xFF);
}
constexpr int alphaOf(uint32_t pixel)
{
    return int(pixel >> 24);
}

/// Byte c (0 blue, 1 green, 2 red, 3 alpha).
constexpr int channelOf(uint32_t pixel, int c)
{
    return int((pixel >> (8 * c)) & 0xFF);
}

}  // namespace tavelune
