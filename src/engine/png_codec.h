// The PNG codec over libpng: every picture arrives opaque, alpha flattened; written as 8-bit
// RGB, or RGBA when some pixel is not opaque.
#pragma once

#include <string>

#include "engine/image_codec.h"

namespace tavelune {

class PngCodec : public ImageCodec {
public:
    bool create(int width, int height, float dpi) override;
    bool read(const std::string& path, Image& out) override;
    /// options are not used.
    bool write(const std::string& path, const Image& image, int options) override;
    const char* formatName() const override { return "PNG"; }
};

}  // namespace tavelune
