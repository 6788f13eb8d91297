// Rational encoding of decimal numbers.
#include "exif/rational.h"

#include <cmath>

#include "exif/byte_order.h"

namespace tavelune {
namespace {

// The magnitude rule shared by both encodings, in 64 bits so that overflow can be seen.
struct Magnitude {
    std::uint64_t numerator;
    std::uint64_t denominator;
};

Magnitude encodeMagnitude(double x, std::uint64_t limit)
{
    if (!(x > 0))
        return {0, 1};
    if (x >= static_cast<double>(limit))
        return {limit, 1};
    const double whole = std::trunc(x);
    const double fraction = x - whole;
    const auto a = static_cast<std::uint64_t>(whole);
    if (fraction == 0)
        return {a, 1};
    const double d = std::trunc(1000.0 / fraction + 0.5);
    if (d <= static_cast<double>(limit)) {
        const auto denominator = static_cast<std::uint64_t>(d);
        const std::uint64_t numerator = a * denominator + 1000;
        if (numerator <= limit)
            return {numerator, denominator};
    }
    const double rounded = std::trunc(x + 0.5);
    return {rounded >= static_cast<double>(limit) ? limit : static_cast<std::uint64_t>(rounded), 1};
}

}  // namespace

URational encodeRational(double value)
{
    const Magnitude m = encodeMagnitude(value, UINT32_MAX);
    return {static_cast<std::uint32_t>(m.numerator), static_cast<std::uint32_t>(m.denominator)};
}

SRational encodeSRational(double value)
{
    const bool negative = value < 0;
    const Magnitude m = encodeMagnitude(std::fabs(value), INT32_MAX);
    const auto numerator = static_cast<std::int32_t>(m.numerator);
    return {negative ? -numerator : numerator, static_cast<std::int32_t>(m.denominator)};
}

bool writeRational(std::span<std::uint8_t> bytes, std::size_t offset, int byteOrder,
                   URational value)
{
    return exif::writeU32(bytes, offset, byteOrder, value.numerator) &&
           exif::writeU32(bytes, offset + 4, byteOrder, value.denominator);
}

bool writeSRational(std::span<std::uint8_t> bytes, std::size_t offset, int byteOrder,
                    SRational value)
{
    return exif::writeU32(bytes, offset, byteOrder, static_cast<std::uint32_t>(value.numerator)) &&
           exif::writeU32(bytes, offset + 4, byteOrder,
                          static_cast<std::uint32_t>(value.denominator));
}

}  // namespace tavelune
