// The colour chains' layer and mixer stages on AVX-512 with VBMI, for the AVX2 kernel to
// call when fusedVbmiEnabled().
#pragma once

#include <cstddef>
#include <cstdint>

#include "film/fused_vector.h"

namespace tavelune {

/// The layered colours of n source pixels, and into banded the indices (ascending) of those
/// that may lie in a hue band; returns how many. banded has room for n + 16 entries.
size_t colourLayersVbmi(const ColourCoreKernel& core, const uint32_t* src, uint32_t* layered,
                        size_t n, int32_t* banded);
/// The mixed result of n layered pixels; only for a kernel with mixByParts.
void colourMixVbmi(const ColourCoreKernel& core, const uint32_t* layered, uint32_t* dst,
                   size_t n);

}  // namespace tavelune
