// Bounded readers and writers for file data in either TIFF byte order; every parser uses them.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>

namespace tavelune::exif {

/// Byte order codes as they are kept in ExifData: "II" and "MM".
inline constexpr int kIntel = 1;
inline constexpr int kMotorola = 2;

using ByteSpan = std::span<const std::uint8_t>;

/// True when `length` bytes starting at `offset` lie inside a buffer of `size` bytes.
inline bool fits(std::uint64_t offset, std::uint64_t length, std::uint64_t size)
{
    return offset <= size && length <= size - offset;
}

/// Reads 16 bits at offset; nullopt past the end, 0 for an unknown byte order.
inline std::optional<std::uint16_t> readU16(ByteSpan bytes, std::size_t offset, int order)
{
    if (!fits(offset, 2, bytes.size()))
        return std::nullopt;
    const std::uint8_t* p = bytes.data() + offset;
    if (order == kIntel)
        return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
    if (order == kMotorola)
        return static_cast<std::uint16_t>((p[0] << 8) | p[1]);
    return std::uint16_t{0};
}

/// Reads 32 bits at offset; nullopt past the end, 0 for an unknown byte order.
inline std::optional<std::uint32_t> readU32(ByteSpan bytes, std::size_t offset, int order)
{
    if (!fits(offset, 4, bytes.size()))
        return std::nullopt;
    const std::uint8_t* p = bytes.data() + offset;
    if (order == kIntel)
        return std::uint32_t{p[0]} | (std::uint32_t{p[1]} << 8) | (std::uint32_t{p[2]} << 16) |
               (std::uint32_t{p[3]} << 24);
    if (order == kMotorola)
        return (std::uint32_t{p[0]} << 24) | (std::uint32_t{p[1]} << 16) |
               (std::uint32_t{p[2]} << 8) | std::uint32_t{p[3]};
    return std::uint32_t{0};
}

/// Writes 16 bits at offset; false past the end, nothing written for an unknown byte order.
inline bool writeU16(std::span<std::uint8_t> bytes, std::size_t offset, int order,
                     std::uint16_t value)
{
    if (!fits(offset, 2, bytes.size()))
        return false;
    std::uint8_t* p = bytes.data() + offset;
    if (order == kIntel) {
        p[0] = static_cast<std::uint8_t>(value);
        p[1] = static_cast<std::uint8_t>(value >> 8);
    } else if (order == kMotorola) {
        p[0] = static_cast<std::uint8_t>(value >> 8);
        p[1] = static_cast<std::uint8_t>(value);
    }
    return true;
}

/// Writes 32 bits at offset; false past the end, nothing written for an unknown byte order.
inline bool writeU32(std::span<std::uint8_t> bytes, std::size_t offset, int order,
                     std::uint32_t value)
{
    if (!fits(offset, 4, bytes.size()))
        return false;
    std::uint8_t* p = bytes.data() + offset;
    if (order == kIntel) {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * i));
    } else if (order == kMotorola) {
        for (int i = 0; i < 4; ++i) p[i] = static_cast<std::uint8_t>(value >> (8 * (3 - i)));
    }
    return true;
}

}  // namespace tavelune::exif
