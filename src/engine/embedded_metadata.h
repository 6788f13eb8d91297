// Metadata that a container format carries beside its picture (HEIF items, WebP chunks).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tavelune {

struct EmbeddedMetadata {
    /// EXIF data from its TIFF header ("II"/"MM") on; empty when there is none.
    std::vector<std::uint8_t> exif;
    std::vector<std::uint8_t> icc;
    std::vector<std::uint8_t> xmp;
};

/// The TIFF-header part of an EXIF block that may start with "Exif\0\0" (WebP writers differ);
/// empty when no TIFF header is found in the first bytes.
std::vector<std::uint8_t> exifFromTiffHeader(const std::uint8_t* data, std::size_t size);

}  // namespace tavelune
