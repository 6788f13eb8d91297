// Tables for the monochrome chain; each entry is computed with the kernels' own formulas.
#include "film/fused_mono.h"

#include <algorithm>

#include "film/film_settings.h"
#include "film/mono_film.h"
#include "pixel/blend_kernels.h"
#include "pixel/hsv.h"
#include "pixel/layer_alpha.h"
#include "pixel/luma.h"
#include "pixel/pixel.h"
#include "pixel/tone_kernels.h"

namespace tavelune {
namespace {

// Share of a layer composed at alpha over an opaque picture.
double opaqueShare(int alpha)
{
    return blend::overShare(alpha, blend::composedAlpha(alpha, 255));
}

}  // namespace

bool FusedMonoFilm::foldable()
{
    return blend::composedAlpha(kHighKeyScreenAlpha, 255) == 255.0f &&
           blend::composedAlpha(128, 255) == 255.0f;
}

FusedMonoFilm::FusedMonoFilm(int exposure, int saturation, bool highKey, bool blackCorrection)
    // Three bytes more in the byte tables, for the vector kernel's four-byte reads.
    : m_highKey(highKey), m_early(new uint8_t[256 * 256 + 3]())
{
    for (int c = 0; c < 3; ++c)
        for (int v = 0; v < 256; ++v)
            m_greyTerms[size_t(c)][size_t(v)] = int16_t(mixTerm(v, kMonoMix[c]));
    const double share16 = opaqueShare(kHighKeyScreenAlpha);
    const double share128 = opaqueShare(128);
    for (int grey = 0; grey < 256; ++grey) {
        for (int s = 0; s < 256; ++s) {
            int d = blend::softLight(s, grey);
            if (highKey) {
                d = blend::over(blend::screen(s, d), d, share16);
                d = blend::over(blend::overlay(s, d), d, share128);
            } else {
                d = blend::over(blend::overlay(s, d), d, share128);
                d = blend::over(blend::screen(s, d), d, share128);
            }
            m_early[size_t(grey * 256 + s)] = uint8_t(d);
        }
    }
    if (highKey) {
        m_multiplied.reset(new uint8_t[256 * 256 + 3]());
        for (int d = 0; d < 256; ++d)
            for (int s = 0; s < 256; ++s)
                m_multiplied[size_t(d * 256 + s)] =
                    uint8_t(blend::over(blend::multiply(s, d), d, share128));
        std::array<uint8_t, 256> levels09 = LevelsCurve(0, 255, 0, 255, 0.9).lookup();
        for (int s = 0; s < 256; ++s) {
            int screened = blend::screen(s, s);
            m_screenLevels[size_t(s)] = levels09[size_t(screened)];
            m_square[size_t(s)] = uint8_t(blend::multiply(s, s));
            m_screenAndSquare[size_t(s)] = uint32_t(screened) | uint32_t(m_square[size_t(s)]) << 16;
        }
        for (int sum = 0; sum < 766; ++sum) {
            m_shadowWeight[size_t(sum)] = uint8_t(shadowWeight(sum / 3));
            m_highlightWeight[size_t(sum)] = uint8_t(monoHighlightWeight(sum / 3));
        }
    }
    std::array<uint8_t, 256> levels =
        LevelsCurve(0, 255, 0, 255, double(exposureGamma(exposure))).lookup();
    std::array<uint8_t, 256> lifted = LevelsCurve(0, 255, 0, 255, 1.2).lookup();
    int v = std::clamp(5 * saturation, -100, 100);
    HsvAdjustment lightness(0, 0, v, 0, 359);
    for (int y = 0; y < 256; ++y) {
        int grey = levels[size_t(y)];
        int green = blackCorrection ? lifted[size_t(grey)] : grey;
        uint32_t p = makePixel(255, grey, green, grey);
        m_byLuma[size_t(y)] = v != 0 ? lightness.apply(p) : p;
    }
    for (size_t c = 0; c < 3; ++c)
        for (size_t i = 0; i < 256; ++i) m_greyTerms32[c * 256 + i] = m_greyTerms[c][i];
    std::copy(m_screenLevels.begin(), m_screenLevels.end(), m_screenLevels32.begin());
    m_kernel = {m_greyTerms32.data(),    m_early.get(),      m_highKey,
                m_screenLevels32.data(), m_multiplied.get(), m_byLuma.data()};
}

void FusedMonoFilm::run(const uint32_t* src, uint32_t* dst, size_t n) const
{
    if (fusedVectorEnabled()) {
        runMonoVector(m_kernel, src, dst, n);
        return;
    }
    for (size_t i = 0; i < n; ++i) dst[i] = (*this)(src[i]);
}

uint32_t FusedMonoFilm::operator()(uint32_t pixel) const
{
    int s[3] = {redOf(pixel), greenOf(pixel), blueOf(pixel)};
    int grey = std::clamp(
        m_greyTerms[0][size_t(s[0])] + m_greyTerms[1][size_t(s[1])] + m_greyTerms[2][size_t(s[2])],
        0, 255);
    const uint8_t* early = m_early.get() + size_t(grey) * 256;
    int d[3];
    if (m_highKey) {
        uint32_t sums = m_screenAndSquare[size_t(s[0])] + m_screenAndSquare[size_t(s[1])] +
                        m_screenAndSquare[size_t(s[2])];
        int shadow = m_shadowWeight[sums & 0xFFFF];
        int highlight = m_highlightWeight[sums >> 16];
        for (int c = 0; c < 3; ++c) {
            int v = blend::byAlphaMultiplied(m_screenLevels[size_t(s[c])], early[s[c]], shadow);
            v = m_multiplied[size_t(v * 256 + s[c])];
            d[c] = blend::byAlphaMultiplied(m_square[size_t(s[c])], v, highlight);
        }
    } else {
        for (int c = 0; c < 3; ++c) d[c] = early[s[c]];
    }
    return m_byLuma[size_t(lumaOf(d[0], d[1], d[2]))];
}

}  // namespace tavelune
