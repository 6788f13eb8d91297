// LittleCMS's 8-bit matrix-shaper transform evaluated here, without its three calls a pixel:
// the tables it builds for the transform and the same fixed-point sums, so the same bytes.
#pragma once

#include <lcms2.h>

#include <cstddef>
#include <cstdint>

namespace tavelune {

/// The tables of one RGB to RGB transform between matrix-shaper profiles, both sides 8 bits.
/// Filled while LittleCMS makes the transform in a context made by catchingContext.
class MatrixShaper8 {
public:
    /// A context in which making a transform also fills into with the tables LittleCMS builds
    /// for it, when it builds its matrix-shaper ones (into stays untouched otherwise). into
    /// must outlive the making; the transform and the context are the caller's.
    static cmsContext catchingContext(MatrixShaper8& into);

    bool caught() const { return m_caught; }
    void forget() { m_caught = false; }
    /// 0xAARRGGBB pixels in place, alpha kept: what the transform made from TYPE_BGRA_8 to
    /// TYPE_BGRA_8 gives.
    void convert(std::uint32_t* pixels, std::size_t count) const;

    /// Takes the tables from the pipeline LittleCMS is about to optimise (see the .cpp).
    void catchFrom(const cmsPipeline* lut, cmsUInt32Number input, cmsUInt32Number output);

private:
    bool m_caught = false;
    // [input channel][level][output channel]: the matrix entry times the first curve's value,
    // with the offset and the rounding in the red input's terms; a fourth lane pads each to
    // one vector load.
    alignas(16) std::int32_t m_terms[3][256][4] = {};
    // [output channel][1.14 value 0..1]: the second curve, as the byte written.
    std::uint8_t m_out[3][16385] = {};
};

}  // namespace tavelune
