// The slide recipes folded into tables and evaluated one pixel at a time.
#pragma once

#include <array>
#include <cstdint>

#include "film/fused_stages.h"
#include "film/fused_two_pass.h"
#include "film/slide_recipe.h"
#include "pixel/hsv.h"

namespace tavelune {

/// slideFilmCore for one pixel: as with Velvia, every layer is a function of the source
/// pixel alone and the chain ends opaque.
class FusedSlideCore {
public:
    FusedSlideCore(const SlideRecipe& recipe, float gamma, bool portrait);

    uint32_t operator()(uint32_t pixel) const;
    /// The tables for the vector kernel.
    ColourCoreKernel kernel() const;

private:
    uint32_t bands(int r, int g, int b) const;
    uint32_t adjustBands(uint32_t layered, uint32_t possible) const;

    FusedColourStages m_stages;
    int m_bandCount = 0;
    std::array<HsvAdjustment, SlideRecipe::kMaxBands> m_adjustments;
    // 100 x hue x (max - min) must lie in [low x d, high x d] for band i to be possible.
    std::array<int, SlideRecipe::kMaxBands> m_low{};
    std::array<int, SlideRecipe::kMaxBands> m_high{};
    uint32_t m_always = 0;  // bands left to the exact test alone
};

/// slideFilm for one pixel, and run() over many.
class FusedSlideFilm : public FusedTwoPass<FusedSlideCore> {
public:
    FusedSlideFilm(const SlideRecipe& recipe, int exposure, int saturation, bool portrait);
};

}  // namespace tavelune
