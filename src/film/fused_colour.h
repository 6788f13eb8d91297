// The colour recipe folded into tables and evaluated one pixel at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "pixel/hsv.h"

namespace tavelune {

/// colourFilmCore for one pixel. Every colour layer of the chain is a function of the source
/// pixel alone and the chain ends opaque, so the whole run can be computed pixel by pixel.
class FusedColourCore {
public:
    FusedColourCore(float gamma, bool portrait);

    uint32_t operator()(uint32_t pixel) const;

private:
    // Blend layers up to the multiply layer, by [mean of the screen layer][channel value].
    std::unique_ptr<uint8_t[]> m_layered;
    // The screen layer's value in the low half, the square layer's in the high half: summing
    // three entries sums both layers at once.
    std::array<uint32_t, 256> m_screenAndSquare{};
    std::array<uint8_t, 256> m_square{};
    std::array<uint8_t, 766> m_shadowMean{};       // by sum of the screen layer's channels
    std::array<uint8_t, 766> m_highlightWeight{};  // by sum of the square layer's channels
    // Levels then mixer terms: [output channel][input channel][value].
    std::array<std::array<std::array<int16_t, 256>, 3>, 3> m_mixTerms{};
    HsvAdjustment m_yellows;
    HsvAdjustment m_greens;
    HsvAdjustment m_cyans;
};

/// colourFilm for one pixel.
class FusedColourFilm {
public:
    FusedColourFilm(int exposure, int saturation, bool portrait);

    uint32_t operator()(uint32_t pixel) const;
    /// dst[i] = (*this)(src[i]) for n pixels.
    void run(const uint32_t* src, uint32_t* dst, size_t n) const;

private:
    FusedColourCore m_first;
    std::unique_ptr<FusedColourCore> m_second;  // saturation above 0
    int m_secondAlpha = 0;
    HsvAdjustment m_desaturate;  // saturation below 0
    bool m_reduce = false;
};

}  // namespace tavelune
