// Alpha from colour over runs.
#include "pixel/layer_alpha.h"

namespace tavelune {
namespace {

template <typename Weight>
void setAlphaFromMean(uint32_t* run, uint32_t n, Weight weight)
{
    if (!run)
        return;
    for (uint32_t i = 0; i < n; ++i)
        run[i] = (run[i] & 0x00FFFFFFu) | uint32_t(weight(meanOf(run[i]))) << 24;
}

}  // namespace

void setShadowAlpha(uint32_t* run, uint32_t n)
{
    setAlphaFromMean(run, n, shadowWeight);
}

void setColourHighlightAlpha(uint32_t* run, uint32_t n)
{
    setAlphaFromMean(run, n, colourHighlightWeight);
}

void setMonoHighlightAlpha(uint32_t* run, uint32_t n)
{
    setAlphaFromMean(run, n, monoHighlightWeight);
}

}  // namespace tavelune
