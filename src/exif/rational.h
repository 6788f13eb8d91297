// Decimal numbers as EXIF rationals: a fraction part f becomes a denominator of 1000 / f.
#pragma once

#include <cstdint>
#include <span>

namespace tavelune {

struct URational {
    std::uint32_t numerator;
    std::uint32_t denominator;
};

struct SRational {
    std::int32_t numerator;
    std::int32_t denominator;
};

/// 0 -> 0/1; a whole number a -> a/1; otherwise with a = trunc(x), f = x - a and
/// d = trunc(1000 / f + 0.5): (a * d + 1000) / d. Negative or not-a-number input gives 0/1; a
/// value whose fraction does not fit 32 bits falls back to the nearest whole number.
URational encodeRational(double value);

/// The same on |x| with the sign on the numerator.
SRational encodeSRational(double value);

/// Writes the pair (numerator first) at offset in the byte order (1 "II", 2 "MM"); false when
/// it does not fit the buffer.
bool writeRational(std::span<std::uint8_t> bytes, std::size_t offset, int byteOrder,
                   URational value);
bool writeSRational(std::span<std::uint8_t> bytes, std::size_t offset, int byteOrder,
                    SRational value);

}  // namespace tavelune
