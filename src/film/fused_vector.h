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
/// True when this CPU also has AVX-512 with VBMI, whose in-register byte lookups the colour
/// chains' layer and mixer stages use (sixteen to thirty-two pixels at a time).
bool fusedVbmiAvailable();
/// Whether the vector kernels use those stages; on when available. Off, they run the AVX2
/// ones, which tests compare them with.
bool fusedVbmiEnabled();
void setFusedVbmiEnabled(bool enabled);

/// Velvia's band test: the ratio of channel differences against 0.73 and 0.27 (in
/// hundredths), a hundredth inside the bands' edges (see bandsThatMayHold).
inline constexpr int kVelviaBandOuterMargin = 73;
inline constexpr int kVelviaBandInnerMargin = 27;
/// The slide band test: hue in sixths of the circle, and hundredths of a degree per sixth.
inline constexpr int kSixthsPerCircle = 6;
inline constexpr int kHundredthsPerSixth = 6000;

/// One mixer term, wholes x level + level x multiplier / 65536 capped at 255 and negated
/// when negative: the AVX-512 kernel's exact form of mixTerm(level, percent).
struct MixPart {
    int wholes = 0;
    int multiplier = 0;
    bool negative = false;
};
MixPart mixPartOf(int percent);
/// The term the part gives for a level.
inline int mixPartTerm(const MixPart& part, int level)
{
    int magnitude = part.wholes * level + ((level * part.multiplier) >> 16);
    magnitude = magnitude < 255 ? magnitude : 255;
    return part.negative ? -magnitude : magnitude;
}

/// The 256-entry byte tables of a colour chain's stages that the AVX-512 kernel looks up in
/// registers, in this order.
enum ColourByteTable {
    kScreenTable,        // screen(s, s)
    kBlendedTable,       // the overlay over the soft light
    kShadowLevelsTable,  // the shadow levels of screen(s, s)
    kShadowWeightTable,  // by the mean of the screen layer
    kHighlightTable,     // by the mean of the square layer
    kLevelsTable,        // the levels before the mixer
    kColourByteTables
};

/// The tables of one colour or slide chain, as the vector kernel reads them.
struct ColourCoreKernel {
    // [mean][value]; 3 bytes past the end are readable. Null when the AVX-512 stages run
    // instead (fusedVbmiEnabled() when the kernel was made).
    const uint8_t* layered;
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
    // For the AVX-512 kernel: [ColourByteTable][value], 64-byte aligned; the multiply
    // layer's alpha; and the mixer's terms by [output][input] when mixByParts (they give
    // every entry of mixTerms).
    const uint8_t* byteTables;
    int multiplyAlpha;
    bool mixByParts;
    MixPart mix[3][3];
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
/// The chain's hue bands, in order, on each of n layered colours that may lie in one.
void applyBandsVector(const ColourCoreKernel& core, uint32_t* pixels, size_t n);
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
