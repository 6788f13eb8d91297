// The monochrome recipe folded into tables and evaluated one pixel at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "film/fused_vector.h"

namespace tavelune {

/// monoFilm for one pixel of a result that starts opaque. The blend layers up to the grey
/// step depend on the source pixel alone, and everything after it on the luma alone.
class FusedMonoFilm {
public:
    FusedMonoFilm(int exposure, int saturation, bool highKey, bool blackCorrection);

    uint32_t operator()(uint32_t pixel) const;
    /// dst[i] = (*this)(src[i]) for n pixels.
    void run(const uint32_t* src, uint32_t* dst, size_t n) const;

    /// False when composing over an opaque result would not stay opaque, which the folding
    /// relies on; the chain must then run the long way.
    static bool foldable();

private:
    bool m_highKey;
    std::array<std::array<int16_t, 256>, 3> m_greyTerms{};  // the grey layer's mixer terms
    // Layers up to the screen/levels layer (high key) or all of them, by [grey][channel].
    std::unique_ptr<uint8_t[]> m_early;
    // High key: the multiply layer at alpha 128, by [layered value][channel].
    std::unique_ptr<uint8_t[]> m_multiplied;
    std::array<uint8_t, 256> m_screenLevels{};
    std::array<uint32_t, 256> m_screenAndSquare{};  // screen layer low, square layer high
    std::array<uint8_t, 256> m_square{};
    std::array<uint8_t, 766> m_shadowWeight{};
    std::array<uint8_t, 766> m_highlightWeight{};
    std::array<uint32_t, 256> m_byLuma{};
    // The vector kernel gathers whole words.
    std::array<int32_t, 3 * 256> m_greyTerms32{};
    std::array<int32_t, 256> m_screenLevels32{};
    MonoKernel m_kernel{};
};

}  // namespace tavelune
