// A colour chain's passes: the core, then either the desaturating step or a second core
// blended over the first.
#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "film/fused_vector.h"
#include "film/saturation_passes.h"
#include "pixel/blend_kernels.h"
#include "pixel/hsv.h"
#include "pixel/pixel.h"

namespace tavelune {

/// The passes of a fused colour chain over n pixels on the vector kernels: second (blended
/// at secondAlpha) and desaturate may be null.
void runColourPassesVector(const ColourCoreKernel& first, const ColourCoreKernel* second,
                           int secondAlpha, const HsvAdjustment* desaturate, const uint32_t* src,
                           uint32_t* dst, size_t n);

/// Core: a fused chain core with operator()(pixel) and kernel().
template <typename Core>
class FusedTwoPass {
public:
    /// second is made for saturation above 0 only.
    FusedTwoPass(std::unique_ptr<Core> first, std::unique_ptr<Core> second, int saturation)
        : m_first(std::move(first)),
          m_second(std::move(second)),
          m_desaturate(0, std::clamp(5 * saturation, -100, 100), 0, 0, 359),
          m_reduce(saturation < 0)
    {
        if (m_second)
            m_secondAlpha = saturationPassAlpha(saturation) & 0xFF;
    }

    uint32_t operator()(uint32_t pixel) const
    {
        uint32_t p = (*m_first)(pixel);
        if (m_reduce)
            return m_desaturate.apply(p);
        if (!m_second)
            return p;
        uint32_t q = (*m_second)(p);
        return makePixel(255, blend::byAlphaMultiplied(redOf(q), redOf(p), m_secondAlpha),
                         blend::byAlphaMultiplied(greenOf(q), greenOf(p), m_secondAlpha),
                         blend::byAlphaMultiplied(blueOf(q), blueOf(p), m_secondAlpha));
    }

    /// dst[i] = (*this)(src[i]) for n pixels.
    void run(const uint32_t* src, uint32_t* dst, size_t n) const
    {
        if (fusedVectorEnabled()) {
            ColourCoreKernel first = m_first->kernel();
            ColourCoreKernel second = m_second ? m_second->kernel() : ColourCoreKernel{};
            runColourPassesVector(first, m_second ? &second : nullptr, m_secondAlpha,
                                  m_reduce ? &m_desaturate : nullptr, src, dst, n);
            return;
        }
        for (size_t i = 0; i < n; ++i) dst[i] = (*this)(src[i]);
    }

private:
    // Held by pointer: the kernels point back at the cores.
    std::unique_ptr<Core> m_first;
    std::unique_ptr<Core> m_second;
    int m_secondAlpha = 0;
    HsvAdjustment m_desaturate;
    bool m_reduce;
};

}  // namespace tavelune
