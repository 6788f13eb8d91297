// The BMP codec: uncompressed Windows bitmaps, read in every usual depth, written as 32 bits.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "engine/image_codec.h"

namespace tavelune {

class BmpCodec : public ImageCodec {
public:
    bool create(int width, int height, float dpi) override;
    bool read(const std::string& path, Image& out) override;
    bool write(const std::string& path, const Image& image, int options) override;
    const char* formatName() const override { return "BMP"; }
};

/// Decodes a whole BMP file held in memory; every offset and size is checked against size.
bool decodeBmp(const uint8_t* data, size_t size, Image& out);

}  // namespace tavelune
