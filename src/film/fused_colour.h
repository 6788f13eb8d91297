// The colour recipe folded into tables and evaluated one pixel at a time.
#pragma once

#include <cstdint>

#include "film/fused_stages.h"
#include "film/fused_two_pass.h"
#include "pixel/hsv.h"

namespace tavelune {

/// colourFilmCore for one pixel. Every colour layer of the chain is a function of the source
/// pixel alone and the chain ends opaque, so the whole run can be computed pixel by pixel.
class FusedColourCore {
public:
    FusedColourCore(float gamma, bool portrait);

    uint32_t operator()(uint32_t pixel) const;
    /// The tables for the vector kernel.
    ColourCoreKernel kernel() const;

private:
    // The three bands one after the other, each on the pixel the one before left.
    uint32_t adjustBands(uint32_t layered, unsigned bands) const;

    FusedColourStages m_stages;
    HsvAdjustment m_yellows;
    HsvAdjustment m_greens;
    HsvAdjustment m_cyans;
};

/// colourFilm for one pixel, and run() over many.
class FusedColourFilm : public FusedTwoPass<FusedColourCore> {
public:
    FusedColourFilm(int exposure, int saturation, bool portrait);
};

}  // namespace tavelune
