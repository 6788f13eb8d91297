// The table of byte products that the blend modes read instead of multiplying.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavelune {

/// Entry [a * 256 + b] = a * b. Entry 65535 - (a * 256 + b) is (255 - a) * (255 - b).
extern const std::array<uint16_t, 65536> productTable;

inline int productOf(int a, int b)
{
    return productTable[size_t((a << 8) | b)];
}
inline int inverseProductOf(int a, int b)
{
    return productTable[size_t(65535 - ((a << 8) | b))];
}

}  // namespace tavelune
