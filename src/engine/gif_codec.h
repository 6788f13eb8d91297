// The GIF codec over giflib: read-only, the first image with its transparency.
#pragma once

#include <string>

#include "engine/image_codec.h"

namespace tavelune {

class GifCodec : public ImageCodec {
public:
    bool save(const std::string&, int) override { return false; }
    bool read(const std::string& path, Image& out) override;
    bool write(const std::string&, const Image&, int) override { return false; }
    const char* formatName() const override { return "GIF"; }
};

}  // namespace tavelune
