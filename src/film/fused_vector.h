// Vector kernels of the fused film chains, eight pixels at a time, chosen when the CPU has them.
#pragma once

#include <cstddef>
#include <cstdint>

#include "pixel/hsv.h"

namespace tavelune {

/// True when this CPU can run the vector kernels.
bool fusedVectorAvailable();
/// Whether the fused films' run() uses the vector kernels; on when available. Tests and
/// benchmarks turn it off to compare them with the one-pixel path.
bool fusedVectorEnabled();
void setFusedVectorEnabled(bool enabled);

/// Velvia's band test: the ratio of channel differences against 0.73 and 0.27 (in
/// hundredths), a hundredth inside the bands' edges (see bandsThatMayHold).
inline constexpr int kVelviaBandOuterMargin = 73;
inline constexpr int kVelviaBandInnerMargin = 27;
/// The slide band test: hue in sixths of the circle, and hundredths of a degree per sixth.
inline constexpr int kSixthsPerCircle = 6;
inline constexpr int kHundredthsPerSixth = 6000;

/// The tables of one colour or slide chain, as the vector kernel reads them.
struct ColourCoreKernel {
    const uint8_t* layered;      // [mean][value]; 3 bytes past the end are readable
    // [input][value]: the blue, green and red terms and 85 (a third of the alpha) as 16-bit
    // fields, lowest first: the three inputs' entries add up to the mixed pixel's bytes.
    const int64_t* mixTerms;
    int strength;                // of the layers over the source; 255 replaces it
    // The hue bands, applied in order to the colours that may lie in them: Velvia's fixed
    // test of which may, or one bit per band of 100 x hue x spread in [low x spread,
    // high x spread] (see FusedSlideCore).
    int bandCount;
    HsvAdjustment::Parts bands[4];
    bool velviaBands;
    int low[4];
    int high[4];
    uint32_t always;  // bands that every colour may need
};

/// The tables of the monochrome chain.
struct MonoKernel {
    const int32_t* greyTerms;     // [channel][value]
    const uint8_t* early;         // [grey][value]; 3 bytes past the end are readable
    bool highKey;                 // the tables below are only read with high key
    const int32_t* screenLevels;  // [value]
    const uint8_t* multiplied;    // [layered][value]; 3 bytes past the end are readable
    const uint32_t* byLuma;       // [luma]
};

/// dst = core(src) for n pixels. Vector kernels: only call while fusedVectorEnabled().
void runColourCoreVector(const ColourCoreKernel& core, const uint32_t* src, uint32_t* dst,
                         size_t n);
/// HsvAdjustment::apply on each of n pixels.
void adjustHsvVector(const HsvAdjustment::Parts& band, uint32_t* p, size_t n);
/// Each colour channel of p moved toward q's by alpha / 255, truncated; p becomes opaque.
void blendTowardVector(uint32_t* p, const uint32_t* q, size_t n, int alpha);
void runMonoVector(const MonoKernel& film, const uint32_t* src, uint32_t* dst, size_t n);

/// trunc(x / 255) of each value, as the kernels divide; for |x| up to 255 x 255.
void divideBy255Vector(const int32_t* x, int32_t* quotient, size_t n);
/// floor(x / 3) of each value, as the kernels divide; for x up to 3 x 255.
void divideBy3Vector(const int32_t* x, int32_t* quotient, size_t n);

}  // namespace tavelune
