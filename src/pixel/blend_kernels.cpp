// The blend-mode run kernels.
#include "pixel/blend_kernels.h"

#include "pixel/pixel.h"

namespace tavelune {
namespace {

// Applies op to the three colour channels of each pixel, keeping the destination's alpha.
template <typename Op>
void blendColourChannels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n, Op op)
{
    if (!dst || !a || !b || n == 0)
        return;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t pa = a[i];
        uint32_t pb = b[i];
        uint32_t rgb = uint32_t(op(redOf(pa), redOf(pb))) << 16 |
                       uint32_t(op(greenOf(pa), greenOf(pb))) << 8 |
                       uint32_t(op(blueOf(pa), blueOf(pb)));
        dst[i] = (dst[i] & 0xFF000000u) | rgb;
    }
}

}  // namespace

void multiplyPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n)
{
    blendColourChannels(dst, a, b, n, blend::multiply);
}

void screenPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n)
{
    blendColourChannels(dst, a, b, n, blend::screen);
}

void overlayPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n)
{
    blendColourChannels(dst, a, b, n, blend::overlay);
}

void softLightPixels(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n)
{
    blendColourChannels(dst, a, b, n, blend::softLight);
}

void blendByAlpha(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n)
{
    if (!dst || !a || !b || n == 0)
        return;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t pa = a[i];
        uint32_t pb = b[i];
        int alpha = alphaOf(pa);
        dst[i] = makePixel(255, blend::byAlpha(redOf(pa), redOf(pb), alpha),
                           blend::byAlpha(greenOf(pa), greenOf(pb), alpha),
                           blend::byAlpha(blueOf(pa), blueOf(pb), alpha));
    }
}

uint32_t compositePixel(uint32_t under, uint32_t over)
{
    int alphaA = alphaOf(over);
    float composed = blend::composedAlpha(alphaA, alphaOf(under));
    // Nothing over nothing: keep the under pixel's colour, still fully transparent.
    if (composed <= 0.0f)
        return under & 0x00FFFFFFu;
    double share = blend::overShare(alphaA, composed);
    return makePixel(uint32_t(int(composed)), blend::over(redOf(over), redOf(under), share),
                     blend::over(greenOf(over), greenOf(under), share),
                     blend::over(blueOf(over), blueOf(under), share));
}

void compositeOver(uint32_t* dst, const uint32_t* a, const uint32_t* b, uint32_t n)
{
    if (!dst || !a || !b || n == 0)
        return;
    for (uint32_t i = 0; i < n; ++i) dst[i] = compositePixel(b[i], a[i]);
}

}  // namespace tavelune
