// HEIC/HEIF and AVIF through libheif: the primary image, upright, at 8 bits; read-only.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/embedded_metadata.h"
#include "engine/image_codec.h"

namespace tavelune {

/// The primary image with its rotation and mirroring applied; samples above 8 bits are
/// rounded to the nearest 8-bit level; alpha kept as stored.
class HeifCodec : public ImageCodec {
public:
    bool read(const std::string& path, Image& out) override;
    bool write(const std::string&, const Image&, int) override { return false; }
    const char* formatName() const override { return "HEIF"; }
};

bool decodeHeifBytes(const std::uint8_t* data, std::size_t size, Image& out);

/// The primary image's EXIF block and colour profile. False when the file cannot be parsed.
bool readHeifMetadata(const std::string& path, EmbeddedMetadata& metadata);
bool readHeifMetadataFromBytes(const std::uint8_t* data, std::size_t size,
                               EmbeddedMetadata& metadata);

}  // namespace tavelune
