// The metadata a written file gets: the source's, brought up to date with what was written.
#pragma once

#include "engine/image_format.h"
#include "engine/picture_metadata.h"

namespace tavelune {

/// source as a file of format at width x height, written now by this program, carries it:
/// XMP updated (orientation when upright, dimensions, dates, creator tool), extended XMP
/// folded into the main packet where the format has no place for it, the IPTC digest
/// recomputed where there is one. The profile and IPTC records stay byte for byte, except a
/// profile of inks or grey, which no written RGB picture can use: it is left out.
PictureMetadata metadataForOutput(const PictureMetadata& source, ImageFormat format, int width,
                                  int height, bool upright);

/// The MD5 of the IPTC records as Photoshop stores it in resource 1061.
std::vector<std::uint8_t> iptcDigest(const std::vector<std::uint8_t>& iptc);

}  // namespace tavelune
