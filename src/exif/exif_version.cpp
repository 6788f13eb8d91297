// The ExifVersion an EXIF write leaves in the file.
#include "exif/exif_version.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "exif/entry_values.h"

namespace tavelune {

namespace {

constexpr std::array<std::uint8_t, 4> kWrittenVersion = {'0', '2', '2', '1'};
constexpr std::array<std::uint8_t, 4> kLowestKept = {'0', '2', '3', '0'};

}  // namespace

bool storeExifVersion(ExifEntry* version)
{
    if (version == nullptr)
        return false;
    std::array<std::uint8_t, 4> stored = kWrittenVersion;
    const std::vector<std::uint8_t>& value = version->value();
    if (exifTypeSize(version->type()) == 1 && value.size() >= 4 &&
        std::all_of(value.begin(), value.begin() + 4,
                    [](std::uint8_t c) { return c >= '0' && c <= '9'; }) &&
        std::memcmp(value.data(), kLowestKept.data(), 4) >= 0)
        std::copy_n(value.begin(), 4, stored.begin());
    return setTypedBytes(version, kUndefined, stored.data(), 4);
}

}  // namespace tavelune
