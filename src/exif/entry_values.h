// Setting an entry's value from a number or a text, with the field type that value needs.
#pragma once

#include <cstdint>
#include <string_view>

#include "exif/exif_entry.h"

namespace tavelune {

// Each setter gives the entry the named type and one value (its IFD id and tag are kept):
// a stored value of another type, say a SHORT PixelXDimension, would otherwise take the new
// bytes as two values of the old type. All return false for a null entry.
bool setRationalValue(ExifEntry* entry, double value);
bool setSRationalValue(ExifEntry* entry, double value);
bool setShortValue(ExifEntry* entry, std::uint16_t value);
bool setLongValue(ExifEntry* entry, std::uint32_t value);
/// ASCII with its terminating zero byte.
bool setTextValue(ExifEntry* entry, std::string_view text);
/// Raw bytes of a given type (count = bytes / type size).
bool setTypedBytes(ExifEntry* entry, std::uint16_t type, const std::uint8_t* bytes,
                   std::uint32_t length);

}  // namespace tavelune
