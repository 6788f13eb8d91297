// One JPEG segment kept by the marker scan, byte for byte as it stands in the file.
#pragma once

#include <cstdint>
#include <vector>

namespace tavelune {

inline constexpr int kMarkerApp0 = 0xE0;
inline constexpr int kMarkerApp1 = 0xE1;

struct JpegSection {
    int marker = 0;                  // kMarkerApp0 (JFIF) or kMarkerApp1 (Exif)
    int offset = 0;                  // file position of the 0xFF prefix
    int size = 0;                    // length field + 2
    std::vector<std::uint8_t> data;  // 0xFF, marker, length (big-endian), payload
};

}  // namespace tavelune
