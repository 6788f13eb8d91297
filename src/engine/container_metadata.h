// The colour profile and XMP of PNG, PSD and GIF files, and the EXIF of a PNG.
#pragma once

#include <cstdint>
#include <cstdio>
#include <vector>

#include "engine/picture_metadata.h"

namespace tavelune {

/// PNG chunks iCCP (inflated, at most kMaxMetadataBytes), iTXt "XML:com.adobe.xmp"
/// (compressed or not) and eXIf (its TIFF structure into exif, if given), wherever they
/// stand before IEND. CRCs are not checked: the picture's reader does that.
MetadataRead readPngMetadata(std::FILE* file, std::vector<std::uint8_t>* exif = nullptr);

/// PSD (and PSB) image resources: 1039 the profile, 1060 XMP, 1028 IPTC with its digest 1061
/// kept as Photoshop resources. The other resources stay behind (thumbnails, slices, paths).
MetadataRead readPsdMetadata(std::FILE* file);

/// GIF's XMP application extension ("XMP DataXMP"), the packet without its magic trailer.
MetadataRead readGifMetadata(std::FILE* file);

}  // namespace tavelune
