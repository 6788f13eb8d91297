// ExifEntry: conversion of file bytes to host order and reading values back as numbers.
#include "exif/exif_entry.h"

#include <algorithm>
#include <bit>
#include <cstring>

#include "exif/byte_order.h"

namespace tavelune {

std::uint32_t exifTypeSize(std::uint16_t type)
{
    switch (type) {
        case kByte:
        case kAscii:
        case kSByte:
        case kUndefined:
            return 1;
        case kShort:
        case kSShort:
            return 2;
        case kLong:
        case kSLong:
        case kFloat:
            return 4;
        case kRational:
        case kSRational:
        case kDouble:
            return 8;
        default:
            return 0;
    }
}

std::uint32_t truncatedU32(double value)
{
    if (!(value > -9.2e18 && value < 9.2e18))
        return 0;
    return static_cast<std::uint32_t>(static_cast<std::int64_t>(value));
}

bool ExifEntry::SetFromRaw(std::uint16_t ifd, std::uint16_t tag, std::uint16_t type,
                           std::uint32_t count, const std::uint8_t* source, int byteOrder)
{
    const std::uint32_t unit = exifTypeSize(type);
    if (unit == 0 || count == 0 || source == nullptr)
        return false;
    const std::uint64_t bytes = std::uint64_t{count} * unit;
    if (bytes > UINT32_MAX)
        return false;
    m_value.assign(source, source + bytes);
    m_derived = false;
    m_ifd = ifd;
    m_tag = tag;
    m_type = type;
    m_count = count;
    if (byteOrder == exif::kMotorola) {
        // Each value, or each half of a rational, is reversed on its own. FLOAT and DOUBLE
        // are turned too, so that every value the model holds reads the same way.
        std::size_t step = unit;
        if (type == kRational || type == kSRational)
            step = 4;
        if (step > 1) {
            for (std::size_t at = 0; at + step <= m_value.size(); at += step)
                std::reverse(m_value.begin() + static_cast<std::ptrdiff_t>(at),
                             m_value.begin() + static_cast<std::ptrdiff_t>(at + step));
        }
    }
    return true;
}

bool ExifEntry::SetValueBytes(const std::uint8_t* source, std::uint32_t length)
{
    if (!IsComplete() || source == nullptr || length == 0)
        return false;
    const std::uint32_t unit = exifTypeSize(m_type);
    if (unit == 0 || length % unit != 0)
        return false;
    if (m_derived &&
        (length != m_value.size() || !std::equal(source, source + length, m_value.begin())))
        m_derived = false;
    m_value.assign(source, source + length);
    m_count = length / unit;
    return true;
}

ExifEntry::Fraction ExifEntry::GetFraction(std::uint32_t index) const
{
    if (!IsComplete() || index >= m_count || (m_type != kRational && m_type != kSRational))
        return {0, 0};
    const exif::ByteSpan bytes(m_value);
    const std::uint32_t numerator =
        exif::readU32(bytes, std::size_t{index} * 8, exif::kIntel).value_or(0);
    const std::uint32_t denominator =
        exif::readU32(bytes, std::size_t{index} * 8 + 4, exif::kIntel).value_or(0);
    if (m_type == kSRational)
        return {static_cast<std::int32_t>(numerator), static_cast<std::int32_t>(denominator)};
    return {numerator, denominator};
}

double ExifEntry::GetNumber(std::uint32_t index) const
{
    if (!IsComplete() || index >= m_count)
        return 0;
    const exif::ByteSpan bytes(m_value);
    const std::size_t at = std::size_t{index} * exifTypeSize(m_type);
    switch (m_type) {
        case kByte:
            return m_value[at];
        case kSByte:
            return static_cast<std::int8_t>(m_value[at]);
        case kShort:
            return exif::readU16(bytes, at, exif::kIntel).value_or(0);
        case kSShort:
            return static_cast<std::int16_t>(exif::readU16(bytes, at, exif::kIntel).value_or(0));
        case kLong:
            return exif::readU32(bytes, at, exif::kIntel).value_or(0);
        case kSLong:
            return static_cast<std::int32_t>(exif::readU32(bytes, at, exif::kIntel).value_or(0));
        case kRational:
        case kSRational: {
            const Fraction fraction = GetFraction(index);
            if (fraction.denominator == 0)
                return 0;
            return static_cast<double>(fraction.numerator) /
                   static_cast<double>(fraction.denominator);
        }
        case kFloat:
            return std::bit_cast<float>(exif::readU32(bytes, at, exif::kIntel).value_or(0));
        case kDouble: {
            const std::uint64_t low = exif::readU32(bytes, at, exif::kIntel).value_or(0);
            const std::uint64_t high = exif::readU32(bytes, at + 4, exif::kIntel).value_or(0);
            return std::bit_cast<double>(low | (high << 32));
        }
        default:
            return 0;
    }
}

std::string ExifEntry::ValueText() const
{
    const auto end = std::find(m_value.begin(), m_value.end(), std::uint8_t{0});
    return std::string(m_value.begin(), end);
}

}  // namespace tavelune
