// WebP through libwebp: still pictures, the first frame of an animation, and writing.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/embedded_metadata.h"
#include "engine/image_codec.h"

namespace tavelune {

/// write's options: the quality 1..100 for a lossy file, or kWebpLossless (quality ignored).
/// 0 is the default quality: callers that know no WebP options pass it.
inline constexpr int kWebpLossless = 0x100;
inline constexpr int kWebpDefaultQuality = 90;
/// WebP cannot hold a side longer than this.
inline constexpr int kWebpMaxSide = 16383;

/// Reads lossy and lossless files with their alpha as stored; an animation gives its first
/// frame on its canvas. Writes with alpha only when some pixel is not opaque.
class WebpCodec : public ImageCodec {
public:
    bool read(const std::string& path, Image& out) override;
    bool write(const std::string& path, const Image& image, int options) override;
    const char* formatName() const override { return "WEBP"; }
};

bool decodeWebpBytes(const std::uint8_t* data, std::size_t size, Image& out);
bool encodeWebp(const Image& image, int options, std::string& bytes);

/// Puts tiff (a TIFF header and its directories) into the WebP file held in webp as its EXIF
/// chunk, replacing any; false leaves webp as it was.
bool setWebpExifChunk(std::string& webp, const std::vector<std::uint8_t>& tiff);

/// The file's EXIF, ICCP and XMP chunks. False when it is not a WebP file.
bool readWebpMetadata(const std::string& path, EmbeddedMetadata& metadata);
bool readWebpMetadataFromBytes(const std::uint8_t* data, std::size_t size,
                               EmbeddedMetadata& metadata);

}  // namespace tavelune
