// The JPEG codec: baseline JFIF files through the IJG 6b interface of libjpeg.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "engine/image_codec.h"

namespace tavelune {

/// Reads colour, greyscale and CMYK/YCCK files (the last converted to RGB); writes RGB with
/// the picture's dpi as density. Library errors while reading show "JPEG Fatal Error".
class JpegCodec : public ImageCodec {
public:
    bool read(const std::string& path, Image& out) override;
    /// options is the quality, 0..100.
    bool write(const std::string& path, const Image& image, int options) override;
    const char* formatName() const override { return "JPEG"; }
};

/// Encodes into memory, without a JFIF segment: the form of a thumbnail inside EXIF data.
bool encodeJpegStream(const Image& image, int quality, std::vector<std::uint8_t>& out);

/// The straightforward reader and writer through a top-down RGB intermediate. The codec's own
/// read and write go straight between the library and the picture's rows; these exist so that
/// tests can prove both give the same bytes.
bool readJpegThroughRgb(const std::string& path, Image& out);
bool writeJpegThroughRgb(const std::string& path, const Image& image, int quality);

/// Reads like JpegCodec::read, but reduced by the library's DCT scaling: reduction gets the
/// stored width and height from the header and returns 2, 4 or 8 to decode at 1/2, 1/4 or 1/8
/// (sides rounded up), anything else for the full size. Failures report as read does.
/// reduction must not throw.
bool readJpegReduced(const std::string& path, Image& out,
                     const std::function<int(int width, int height)>& reduction);

/// readJpegReduced over a JPEG stream in memory (an embedded preview).
bool decodeJpegBytes(const std::uint8_t* data, std::size_t size, Image& out,
                     const std::function<int(int width, int height)>& reduction);

}  // namespace tavelune
