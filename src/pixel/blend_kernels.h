// Blend modes over pixel runs, and the per-channel formulas they share with the fused recipes.
#pragma once

#include <cstdint>

#include "pixel/product_table.h"

namespace tavelune {

/// Run kernels: dst = A op B on the colour channels of n pixels. Any null pointer or n = 0
/// does nothing; dst may be A or B. Unless noted, the destination's alpha is kept.
void multiplyPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n);
void screenPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n);
void overlayPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n);
void softLightPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n);
/// A over B at A's alpha; the destination becomes opaque.
void blendByAlpha(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n);
/// A over B with both alphas; the destination's alpha is the composed alpha.
void compositeOver(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n);
/// over composed onto under, as compositeOver does for one pixel.
uint32_t compositePixel(uint32_t under, uint32_t over);

namespace blend {

inline int multiply(int a, int b)
{
    return productOf(a, b) >> 8;
}

// 254, not 255: white over anything stays just below white.
inline int screen(int a, int b)
{
    return 254 - (inverseProductOf(a, b) >> 8);
}

inline int overlay(int a, int b)
{
    return b < 128 ? productOf(a, b) >> 7 : 255 - (inverseProductOf(a, b) >> 7);
}

inline int softLight(int a, int b)
{
    int x = productOf(a, b) >> 8;
    double s = 255.0 - double(inverseProductOf(a, b)) / 256.0;
    return int(x + b * (s - x) / 256.0);
}

/// b + trunc((a - b) * alpha / 255), the division truncating toward zero.
inline int byAlpha(int a, int b, int alpha)
{
    return b + (productOf(a, alpha) - productOf(b, alpha)) / 255;
}

/// byAlpha by multiplying instead of reading the product table; the same value for every
/// a, b and alpha, without the table's cache footprint.
inline int byAlphaMultiplied(int a, int b, int alpha)
{
    return b + (a - b) * alpha / 255;
}

/// 1/255 in single precision.
inline constexpr float kInverse255 = 1.0f / 255.0f;

/// The composed alpha of A over B, rounded to single precision.
inline float composedAlpha(int alphaA, int alphaB)
{
    return float(alphaA + (1.0 - alphaA * double(kInverse255)) * alphaB);
}

/// A's share of each colour channel; only defined for a composed alpha above 0.
inline double overShare(int alphaA, float composed)
{
    return alphaA / double(composed);
}

inline int over(int a, int b, double share)
{
    return int(b + share * (a - b));
}

}  // namespace blend
}  // namespace tavelune
