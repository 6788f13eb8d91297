// The TIFF codec over libtiff: any file its RGBA reader takes; writes one strip of 8-bit RGBA.
#pragma once

#include <string>

#include "engine/image_codec.h"

namespace tavelune {

inline constexpr int kTiffCompressionNone = 1;
inline constexpr int kTiffCompressionLzw = 5;

class TiffCodec : public ImageCodec {
public:
    bool read(const std::string& path, Image& out) override;
    /// options is the compression: kTiffCompressionNone or kTiffCompressionLzw.
    bool write(const std::string& path, const Image& image, int options) override;
    const char* formatName() const override { return "TIFF"; }
};

}  // namespace tavelune
