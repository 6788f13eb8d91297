// The colour chains' layer and mixer stages on AVX-512 with VBMI, for the AVX2 kernel to
// call when fusedVbmiEnabled().
#pragma once

#include <cstddef>
#include <cstdint>

#include "film/fused_vector.h"

namespace tavelune {

/// The layered colours of n source pixels, and into banded the indices (ascending) of those
/// that may lie in a hue band and into bandedPixels their layered colours; returns how many.
/// Both have room for n + 16 entries. When
/// mixed is not null (only for a kernel with mixByParts), the mixed result of each layered
/// colour goes there too: the pixels of the bands are to be mixed again once changed.
size_t colourLayersVbmi(const ColourCoreKernel& core, const uint32_t* src, uint32_t* layered,
                        size_t n, int32_t* banded, uint32_t* bandedPixels,
                        uint32_t* mixed);

}  // namespace tavelune
