// The PNG codec over libpng: read-only; every picture arrives opaque, alpha flattened.
#pragma once

#include <string>

#include "engine/image_codec.h"

namespace tavelune {

class PngCodec : public ImageCodec {
public:
    bool create(int width, int height, float dpi) override;
    bool read(const std::string& path, Image& out) override;
    bool write(const std::string&, const Image&, int) override { return false; }
    const char* formatName() const override { return "PNG"; }
};

}  // namespace tavelune
