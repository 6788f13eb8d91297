// Tables of the shared colour stages; each entry is computed with the kernels' own formulas.
#include "film/fused_stages.h"

#include <algorithm>

#include "pixel/layer_alpha.h"
#include "pixel/tone_kernels.h"

namespace tavelune {

FusedColourStages::FusedColourStages(const LayerStrengths& strengths, float gamma,
                                     const ChannelMix& mix)
    : m_strength(strengths.strength & 0xFF),
      m_multiplyAlpha(strengths.multiplyAlpha & 0xFF)
{
    std::array<uint8_t, 256> shadowLevels =
        LevelsCurve(0, 255, 0, 255, strengths.shadowGamma).lookup();
    const int overlayAlpha = strengths.overlayAlpha & 0xFF;
    std::array<uint8_t, 256> blended{};
    for (int s = 0; s < 256; ++s) {
        int d = blend::softLight(s, s);
        blended[size_t(s)] = uint8_t(blend::byAlpha(blend::overlay(s, d), d, overlayAlpha));
        m_square[size_t(s)] = uint8_t(blend::multiply(s, s));
        m_screenAndSquare[size_t(s)] = uint32_t(blend::screen(s, s)) | uint32_t(m_square[size_t(s)])
                                                                           << 16;
        m_byteTables[kScreenTable][size_t(s)] = uint8_t(blend::screen(s, s));
        m_byteTables[kBlendedTable][size_t(s)] = blended[size_t(s)];
        m_byteTables[kShadowLevelsTable][size_t(s)] = shadowLevels[size_t(blend::screen(s, s))];
        m_byteTables[kShadowWeightTable][size_t(s)] = uint8_t(shadowWeight(s));
        m_byteTables[kHighlightTable][size_t(s)] = uint8_t(colourHighlightWeight(s));
    }
    for (int sum = 0; sum < 766; ++sum) {
        m_shadowMean[size_t(sum)] = uint8_t(sum / 3);
        m_highlightWeight[size_t(sum)] = uint8_t(colourHighlightWeight(sum / 3));
    }
    for (int step = -255; step <= 255; ++step)
        m_strengthStep[size_t(step + 255)] = int16_t(blend::byAlphaMultiplied(step, 0, m_strength));
    std::array<uint8_t, 256> levels = LevelsCurve(0, 255, 0, 255, gamma).lookup();
    m_byteTables[kLevelsTable] = levels;
    for (int out = 0; out < 3; ++out) {
        for (int in = 0; in < 3; ++in) {
            const int percent = std::clamp(mix.m[out * 3 + in], -200, 200);
            m_mix[out][in] = mixPartOf(percent);
            for (int v = 0; v < 256; ++v) {
                const int term = mixTerm(levels[size_t(v)], percent);
                m_mixTerms[size_t(out)][size_t(in)][size_t(v)] = int16_t(term);
                // Should the parts ever differ, the kernel gathers the terms instead.
                m_mixByParts = m_mixByParts && mixPartTerm(m_mix[out][in], levels[size_t(v)]) == term;
            }
        }
    }
    // Three thirds of the alpha make 255, so the sum of the three entries is the whole pixel.
    constexpr uint64_t kAlphaThird = 85;
    for (size_t in = 0; in < 3; ++in) {
        for (size_t v = 0; v < 256; ++v) {
            m_mixTerms64[in * 256 + v] = int64_t(uint64_t(uint16_t(m_mixTerms[2][in][v])) |
                                                 uint64_t(uint16_t(m_mixTerms[1][in][v])) << 16 |
                                                 uint64_t(uint16_t(m_mixTerms[0][in][v])) << 32 |
                                                 kAlphaThird << 48);
        }
    }
}

const uint8_t* FusedColourStages::layeredTable() const
{
    // A file's film is made for each picture, and the AVX-512 kernel never reads this.
    std::call_once(m_layeredMade, [this] {
        // Three bytes more, for the vector kernel's four-byte reads of the last entries.
        m_layered.reset(new uint8_t[256 * 256 + 3]());
        const auto& shadowLevels = m_byteTables[kShadowLevelsTable];
        const auto& blended = m_byteTables[kBlendedTable];
        for (int mean = 0; mean < 256; ++mean) {
            const int alpha = shadowWeight(mean);
            for (int s = 0; s < 256; ++s) {
                int d = blend::byAlpha(shadowLevels[size_t(s)], blended[size_t(s)], alpha);
                d = blend::byAlpha(blend::multiply(s, d), d, m_multiplyAlpha);
                m_layered[size_t(mean * 256 + s)] = uint8_t(d);
            }
        }
    });
    return m_layered.get();
}

ColourCoreKernel FusedColourStages::kernel() const
{
    ColourCoreKernel k{};
    k.layered = fusedVbmiEnabled() ? nullptr : layeredTable();
    k.mixTerms = m_mixTerms64.data();
    k.strength = m_strength;
    k.byteTables = m_byteTables[0].data();
    k.multiplyAlpha = m_multiplyAlpha;
    k.mixByParts = m_mixByParts;
    std::copy(&m_mix[0][0], &m_mix[0][0] + 9, &k.mix[0][0]);
    return k;
}

MixPart mixPartOf(int percent)
{
    // level x r / 100 by a multiplier rounded up: its excess, below 255 / 65536, never
    // carries a fraction of at most 0.99 past the next whole number.
    const int magnitude = percent < 0 ? -percent : percent;
    const int rest = magnitude % 100;
    return {magnitude / 100, (rest * 65536 + 99) / 100, percent < 0};
}

}  // namespace tavelune
