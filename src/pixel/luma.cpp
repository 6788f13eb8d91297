// The luma weight tables, fixed at compile time.
#include "pixel/luma.h"

namespace tavelune {
namespace {

constexpr std::array<float, 256> weightTable(double weight)
{
    std::array<float, 256> table{};
    for (int i = 0; i < 256; ++i) table[size_t(i)] = float(i * weight);
    return table;
}

}  // namespace

constinit const std::array<float, 256> lumaRed = weightTable(0.299);
constinit const std::array<float, 256> lumaGreen = weightTable(0.587);
constinit const std::array<float, 256> lumaBlue = weightTable(0.114);

}  // namespace tavelune

namespace tavelune {

void greyByLuma(uint32_t* run, uint32_t n)
{
    if (!run)
        return;
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t y = uint32_t(lumaOf(run[i]));
        run[i] = (run[i] & 0xFF000000u) | y * 0x010101u;
    }
}

}  // namespace tavelune
