// The blend layers and the final channel mix that the colour and slide chains share, folded
// into tables.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <mutex>

#include "film/colour_film.h"
#include "film/fused_vector.h"
#include "pixel/blend_kernels.h"
#include "pixel/pixel.h"

namespace tavelune {

/// How strongly each blend layer of a colour chain is laid on.
struct LayerStrengths {
    int overlayAlpha;    // the overlay layer over the soft-light base
    double shadowGamma;  // levels gamma of the screen layer that opens the shadows
    int multiplyAlpha;   // the multiply layer that deepens the colours again
    int strength;        // the layered picture over the source: 255 all of it
};

/// Every blend layer of the chain before the hue bands is a function of the source pixel
/// alone, and so is the levels-and-mixer step after them.
class FusedColourStages {
public:
    FusedColourStages(const LayerStrengths& layers, float gamma, const ChannelMix& mix);

    /// The layered colour of a source pixel.
    void layers(uint32_t pixel, int d[3]) const;
    /// The opaque result of a colour after the hue bands.
    uint32_t mixed(const int d[3]) const;
    /// The whole chain for one pixel: the layers, then adjust(layered pixel, bands) when
    /// possible(r, g, b) names bands that may hold the layered colour, then the mix.
    template <typename Possible, typename Adjust>
    uint32_t through(uint32_t pixel, const Possible& possible, const Adjust& adjust) const;

    /// The tables for the vector kernel; the band fields are the caller's to fill.
    ColourCoreKernel kernel() const;

private:
    const uint8_t* layeredTable() const;

    // Blend layers up to the multiply layer, by [mean of the screen layer][channel value];
    // made when first needed.
    mutable std::unique_ptr<uint8_t[]> m_layered;
    mutable std::once_flag m_layeredMade;
    // The screen layer's value in the low half, the square layer's in the high half: summing
    // three entries sums both layers at once.
    std::array<uint32_t, 256> m_screenAndSquare{};
    std::array<uint8_t, 256> m_square{};
    std::array<uint8_t, 766> m_shadowMean{};       // by sum of the screen layer's channels
    std::array<uint8_t, 766> m_highlightWeight{};  // by sum of the square layer's channels
    int m_strength;
    std::array<int16_t, 511> m_strengthStep{};  // by layers - source + 255: the move toward them
    // Levels then mixer terms: [output channel][input channel][value].
    std::array<std::array<std::array<int16_t, 256>, 3>, 3> m_mixTerms{};
    // The same terms as the vector kernel gathers them.
    std::array<int64_t, 3 * 256> m_mixTerms64{};
    alignas(64) std::array<std::array<uint8_t, 256>, kColourByteTables> m_byteTables{};
    int m_multiplyAlpha;
    bool m_mixByParts = true;
    MixPart m_mix[3][3];
};

inline void FusedColourStages::layers(uint32_t pixel, int d[3]) const
{
    int s[3] = {redOf(pixel), greenOf(pixel), blueOf(pixel)};
    uint32_t sums = m_screenAndSquare[size_t(s[0])] + m_screenAndSquare[size_t(s[1])] +
                    m_screenAndSquare[size_t(s[2])];
    const uint8_t* layered = layeredTable() + size_t(m_shadowMean[sums & 0xFFFF]) * 256;
    int highlight = m_highlightWeight[sums >> 16];
    for (int c = 0; c < 3; ++c)
        d[c] = blend::byAlphaMultiplied(m_square[size_t(s[c])], layered[s[c]], highlight);
    // At full strength the layers replace the source: byAlphaMultiplied gives them unchanged.
    if (m_strength != 255)
        for (int c = 0; c < 3; ++c) d[c] = s[c] + m_strengthStep[size_t(d[c] - s[c] + 255)];
}

inline uint32_t FusedColourStages::mixed(const int d[3]) const
{
    int out[3];
    for (int c = 0; c < 3; ++c) {
        const auto& terms = m_mixTerms[size_t(c)];
        int sum = terms[0][size_t(d[0])] + terms[1][size_t(d[1])] + terms[2][size_t(d[2])];
        out[c] = std::clamp(sum, 0, 255);
    }
    return makePixel(255, out[0], out[1], out[2]);
}

template <typename Possible, typename Adjust>
uint32_t FusedColourStages::through(uint32_t pixel, const Possible& possible,
                                    const Adjust& adjust) const
{
    int d[3];
    layers(pixel, d);
    if (const auto bands = possible(d[0], d[1], d[2])) {
        const uint32_t p = adjust(makePixel(255, d[0], d[1], d[2]), bands);
        d[0] = redOf(p);
        d[1] = greenOf(p);
        d[2] = blueOf(p);
    }
    return mixed(d);
}

}  // namespace tavelune
