// The PSD codec: read-only, the flattened 8-bit RGB composite of a layered document.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/image_codec.h"

namespace tavelune {

class PsdCodec : public ImageCodec {
public:
    bool create(int width, int height, float dpi) override;
    bool read(const std::string& path, Image& out) override;
    bool write(const std::string&, const Image&, int) override { return false; }
    const char* formatName() const override { return "PSD"; }
};

/// Decodes a whole PSD file held in memory. A file that ends inside the image data fails.
bool decodePsd(const uint8_t* data, size_t size, Image& out);

/// Fills a width x height x 4 buffer (top row first, bytes blue, green, red, alpha) from the
/// planes that start at data. False when the data ends before the planes are complete.
bool decodePlanes(const uint8_t* data, size_t size, int width, int height, uint8_t* buffer,
                  int channels, int compression);

}  // namespace tavelune
