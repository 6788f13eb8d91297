// The passes of a fused colour chain over short blocks, so each block stays in the cache
// between them.
#include "film/fused_two_pass.h"

namespace tavelune {

void runColourPassesVector(const ColourCoreKernel& first, const ColourCoreKernel* second,
                           int secondAlpha, const HsvAdjustment* desaturate, const uint32_t* src,
                           uint32_t* dst, size_t n)
{
    constexpr size_t kBlock = 512;
    uint32_t other[kBlock];
    for (size_t begin = 0; begin < n; begin += kBlock) {
        size_t count = std::min(kBlock, n - begin);
        uint32_t* out = dst + begin;
        runColourCoreVector(first, src + begin, out, count);
        if (desaturate) {
            adjustHsvVector(desaturate->parts(), out, count);
        } else if (second) {
            runColourCoreVector(*second, out, other, count);
            blendTowardVector(out, other, count, secondAlpha);
        }
    }
}

}  // namespace tavelune
