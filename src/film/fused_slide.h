// The slide recipes folded into tables and evaluated one pixel at a time.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>

#include "film/slide_recipe.h"
#include "pixel/hsv.h"

namespace tavelune {

/// slideFilmCore for one pixel: as with Velvia, every layer is a function of the source
/// pixel alone and the chain ends opaque.
class FusedSlideCore {
public:
    FusedSlideCore(const SlideRecipe& recipe, float gamma, bool portrait);

    uint32_t operator()(uint32_t pixel) const;

private:
    uint32_t bands(int r, int g, int b) const;

    std::unique_ptr<uint8_t[]> m_layered;           // by [mean of the screen layer][channel value]
    std::array<uint32_t, 256> m_screenAndSquare{};  // screen layer low, square layer high
    std::array<uint8_t, 256> m_square{};
    std::array<uint8_t, 766> m_shadowMean{};
    std::array<uint8_t, 766> m_highlightWeight{};
    std::array<std::array<std::array<int16_t, 256>, 3>, 3> m_mixTerms{};
    int m_strength;
    std::array<int16_t, 511> m_strengthStep{};  // by layers - source + 255: the move toward them
    int m_bandCount = 0;
    std::array<HsvAdjustment, SlideRecipe::kMaxBands> m_adjustments;
    // 100 x hue x (max - min) must lie in [low x d, high x d] for band i to be possible.
    std::array<int, SlideRecipe::kMaxBands> m_low{};
    std::array<int, SlideRecipe::kMaxBands> m_high{};
    uint32_t m_always = 0;  // bands left to the exact test alone
};

/// slideFilm for one pixel.
class FusedSlideFilm {
public:
    FusedSlideFilm(const SlideRecipe& recipe, int exposure, int saturation, bool portrait);

    uint32_t operator()(uint32_t pixel) const;
    /// dst[i] = (*this)(src[i]) for n pixels.
    void run(const uint32_t* src, uint32_t* dst, size_t n) const;

private:
    FusedSlideCore m_first;
    std::unique_ptr<FusedSlideCore> m_second;  // saturation above 0
    int m_secondAlpha = 0;
    HsvAdjustment m_desaturate;  // saturation below 0
    bool m_reduce = false;
};

}  // namespace tavelune
