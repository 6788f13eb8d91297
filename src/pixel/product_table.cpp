// Built at compile time, so no kernel can ever see it half filled.
#include "pixel/product_table.h"

namespace tavelune {
namespace {

constexpr std::array<uint16_t, 65536> buildProducts()
{
    std::array<uint16_t, 65536> table{};
    for (int a = 0; a < 256; ++a)
        for (int b = 0; b < 256; ++b) table[size_t(a * 256 + b)] = uint16_t(a * b);
    return table;
}

}  // namespace

constinit const std::array<uint16_t, 65536> productTable = buildProducts();

}  // namespace tavelune
