// Typed value setters for entries the editor and the writer change.
#include "exif/entry_values.h"

#include <array>
#include <string>
#include <vector>

#include "exif/byte_order.h"
#include "exif/rational.h"

namespace tavelune {

bool setTypedBytes(ExifEntry* entry, std::uint16_t type, const std::uint8_t* bytes,
                   std::uint32_t length)
{
    const std::uint32_t unit = exifTypeSize(type);
    if (entry == nullptr || unit == 0 || length == 0 || length % unit != 0)
        return false;
    return entry->SetFromRaw(entry->ifd(), entry->tag(), type, length / unit, bytes, exif::kIntel);
}

bool setRationalValue(ExifEntry* entry, double value)
{
    std::array<std::uint8_t, 8> bytes{};
    writeRational(bytes, 0, exif::kIntel, encodeRational(value));
    return setTypedBytes(entry, kRational, bytes.data(), 8);
}

bool setSRationalValue(ExifEntry* entry, double value)
{
    std::array<std::uint8_t, 8> bytes{};
    writeSRational(bytes, 0, exif::kIntel, encodeSRational(value));
    return setTypedBytes(entry, kSRational, bytes.data(), 8);
}

bool setShortValue(ExifEntry* entry, std::uint16_t value)
{
    std::array<std::uint8_t, 2> bytes{};
    exif::writeU16(bytes, 0, exif::kIntel, value);
    return setTypedBytes(entry, kShort, bytes.data(), 2);
}

bool setLongValue(ExifEntry* entry, std::uint32_t value)
{
    std::array<std::uint8_t, 4> bytes{};
    exif::writeU32(bytes, 0, exif::kIntel, value);
    return setTypedBytes(entry, kLong, bytes.data(), 4);
}

bool setTextValue(ExifEntry* entry, std::string_view text)
{
    std::vector<std::uint8_t> bytes(text.begin(), text.end());
    bytes.push_back(0);
    return setTypedBytes(entry, kAscii, bytes.data(), static_cast<std::uint32_t>(bytes.size()));
}

}  // namespace tavelune
