// Finding the TIFF header of an EXIF block whatever prefix its writer put in front.
#include "engine/embedded_metadata.h"

#include <cstring>

namespace tavelune {

std::vector<std::uint8_t> exifFromTiffHeader(const std::uint8_t* data, std::size_t size)
{
    if (data == nullptr)
        return {};
    std::size_t start = 0;
    if (size >= 6 && std::memcmp(data, "Exif\0\0", 6) == 0)
        start = 6;
    if (size < start + 8)
        return {};
    const std::uint8_t* header = data + start;
    const bool intel = header[0] == 'I' && header[1] == 'I' && header[2] == 42 && header[3] == 0;
    const bool motorola = header[0] == 'M' && header[1] == 'M' && header[2] == 0 && header[3] == 42;
    if (!intel && !motorola)
        return {};
    return {header, data + size};
}

}  // namespace tavelune
