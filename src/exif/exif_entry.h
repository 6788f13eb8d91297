// One EXIF directory entry: its place (IFD id, tag), its field type and its values in host order.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exif/exif_tags.h"

namespace tavelune {

/// Directory ids: the tag of the pointer that leads to the directory.
inline constexpr std::uint16_t kIfd0 = 1;
inline constexpr std::uint16_t kExifIfd = 34665;
inline constexpr std::uint16_t kInteropIfd = 40965;
inline constexpr std::uint16_t kGpsIfd = 34853;
inline constexpr std::uint16_t kMakerNoteIfd = 37500;

/// TIFF field types.
enum ExifType : std::uint16_t {
    kByte = 1,
    kAscii = 2,
    kShort = 3,
    kLong = 4,
    kRational = 5,
    kSByte = 6,
    kUndefined = 7,
    kSShort = 8,
    kSLong = 9,
    kSRational = 10,
    kFloat = 11,
    kDouble = 12,
};

/// Bytes per value of a field type; 0 for type 0 and types above 12.
std::uint32_t exifTypeSize(std::uint16_t type);

/// A value as the integer a C cast to a 32-bit unsigned would give, 0 where that cast is
/// undefined (NaN, out of range).
std::uint32_t truncatedU32(double value);
inline std::uint16_t truncatedU16(double value)
{
    return static_cast<std::uint16_t>(truncatedU32(value));
}

class ExifEntry {
public:
    ExifEntry() = default;
    virtual ~ExifEntry() = default;

    /// Sets every field from file bytes (count x type size of them) in the given byte order,
    /// turning each value to host order. Refused for a bad type, a zero count or null source.
    bool SetFromRaw(std::uint16_t ifd, std::uint16_t tag, std::uint16_t type, std::uint32_t count,
                    const std::uint8_t* source, int byteOrder);

    /// Replaces the values with host-order bytes; the count follows from the length. New
    /// values make a derived entry the user's own.
    bool SetValueBytes(const std::uint8_t* source, std::uint32_t length);

    /// Derived entries were filled in from a maker note for display; the file never held them
    /// and writes leave them out until a different value is stored.
    bool IsDerived() const { return m_derived; }
    void MarkDerived() { m_derived = true; }

    /// The value at index as a number; 0 for text types, a bad index or an incomplete entry.
    double GetNumber(std::uint32_t index) const;

    /// The display text of the value in a language ("zh_CN", "zh_TW", else English).
    std::string GetText(std::string_view language) const;

    /// The tag's name in a language, or its number as "0x%.4X" when the catalogue lacks it.
    std::string GetName(std::string_view language) const;

    /// tag, type, count and value are all set. Tag 0 is only a tag in the GPS directory
    /// (GPSVersionID).
    bool IsComplete() const
    {
        return (m_tag != 0 || m_ifd == kGpsIfd) && m_type != 0 && m_count != 0 && !m_value.empty();
    }

    std::uint16_t ifd() const { return m_ifd; }
    std::uint16_t tag() const { return m_tag; }
    std::uint16_t type() const { return m_type; }
    std::uint32_t count() const { return m_count; }
    std::uint32_t size() const { return static_cast<std::uint32_t>(m_value.size()); }
    /// The value bytes, little-endian whatever the file's order was.
    const std::vector<std::uint8_t>& value() const { return m_value; }

    /// The value bytes up to the first zero byte (or the end), as text.
    std::string ValueText() const;

    /// The raw numerator and denominator of a RATIONAL or SRATIONAL value; {0, 0} otherwise.
    struct Fraction {
        std::int64_t numerator;
        std::int64_t denominator;
    };
    Fraction GetFraction(std::uint32_t index) const;

private:
    std::uint16_t m_ifd = 0;
    std::uint16_t m_tag = 0;
    std::uint16_t m_type = 0;
    std::uint32_t m_count = 0;
    std::vector<std::uint8_t> m_value;
    bool m_derived = false;
};

}  // namespace tavelune
