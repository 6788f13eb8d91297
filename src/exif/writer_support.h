// What the EXIF writers and the deleter share: the format a path is written as, tag lists.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "engine/image_format.h"

namespace tavelune {

/// Whether the path's extension names a format whose EXIF data is changed in the file itself
/// (the format table's exifInPlace: JPEG and TIFF).
bool changesExifInPlace(const std::string& path);

/// Why a file's EXIF data may not be changed in place, from its extension.
enum class InPlaceRefusal {
    None,           // JPEG or TIFF: it may
    NotJpegOrTiff,  // any other kind, or none known
    CameraRaw,      // raw files are never rewritten
    ShownOnly,      // HEIF, AVIF, WebP, PNG: their EXIF block is read, not written back
};
InPlaceRefusal inPlaceRefusal(const std::string& path);

/// The format given, else the one the path's extension names.
std::optional<ImageFormat> exifFileFormat(const std::string& path,
                                          std::optional<ImageFormat> format);

inline bool tagListed(std::span<const std::uint16_t> tags, std::uint16_t tag)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

}  // namespace tavelune
