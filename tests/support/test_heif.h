// Writing HEIC and AVIF files with libheif's encoders, for the HEIF tests.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/image.h"

namespace tavelune::test {

struct TestHeifOptions {
    bool avif = false;      // AV1 (aom) instead of HEVC (x265)
    int orientation = 1;    // stored as irot/imir: the picture given is the stored one
    int bitDepth = 8;       // 8, or 10 with the samples taken as 10-bit values (see tenBit)
    int quality = 90;
    std::vector<uint8_t> exif;  // a TIFF header and its directories
    std::vector<uint8_t> icc;
    /// For bitDepth 10: the sample values of each pixel (R, G, B), row-major top-down.
    std::vector<uint16_t> tenBit;
};

bool writeTestHeif(const std::string& path, const Image& stored, const TestHeifOptions& options);

/// A small little-endian EXIF block: IFD0 with Make, Model and Orientation, an Exif IFD with
/// ExposureTime 1/250 and FNumber 4.
std::vector<uint8_t> testExifBlock(const std::string& make, const std::string& model,
                                   int orientation);

}  // namespace tavelune::test
