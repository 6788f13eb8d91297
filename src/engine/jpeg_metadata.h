// The colour profile, XMP and Photoshop resources of a JPEG file: found in its segments, and
// the segments that carry them into a new file.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/picture_metadata.h"

namespace tavelune {

/// One segment to write after the JPEG headers: the marker and its payload (no length field).
struct JpegMarkerSegment {
    int marker = 0;
    std::vector<std::uint8_t> payload;
};

/// Reads the segments from the start of a JPEG stream up to its first scan: APP2 ICC_PROFILE
/// chunks joined in sequence order, the APP1 XMP packet and its extended chunks joined by
/// GUID and offset, APP13 Photoshop resources joined in file order. A part that does not hold
/// together is left out and named in problems.
MetadataRead readJpegMetadata(std::FILE* file);

/// The segments that carry metadata into a JPEG: XMP, extended XMP, the profile in chunks of
/// at most 65519 bytes, the Photoshop resources. A part too large for a JPEG is left out and
/// named in problems (if given).
std::vector<JpegMarkerSegment> jpegMetadataSegments(const PictureMetadata& metadata,
                                                    std::vector<MetadataProblem>* problems = nullptr);

}  // namespace tavelune
