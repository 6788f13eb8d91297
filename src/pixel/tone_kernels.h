// Tone routines over pixel runs: the channel mixer, the levels curve and channel fills.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace tavelune {

/// Channel selectors: 0 for all colour channels, or 'R', 'G', 'B' ('A' for fillChannel).
inline constexpr int kAllChannels = 0;

/// 3 x 3 mixer in percent (each clamped to -200..200): red out from m0..m2 (times R, G, B),
/// green out from m3..m5, blue out from m6..m8. The destination's alpha is kept.
void mixChannels(uint32_t* dst, const uint32_t* src, uint32_t n, int m0, int m1, int m2, int m3,
                 int m4, int m5, int m6, int m7, int m8);

/// Gamma curve with hard clipping below inLow and above inHigh; see LevelsCurve.
void applyLevels(uint32_t* dst, const uint32_t* src, uint32_t n, int outLow, int outHigh, int inLow,
                 int inHigh, double gamma, int channel);

/// Sets one byte (or all four for selector 0) of every pixel to the low 8 bits of value.
void fillChannel(uint32_t* buf, uint32_t n, int channel, int value);

/// One mixer term: x * percent / 100, clamped to -255..255 and truncated.
inline int mixTerm(int x, int percent)
{
    double v = (x * percent) * 0.01;
    if (v < -255.0)
        v = -255.0;
    if (v > 255.0)
        v = 255.0;
    return int(v);
}

/// The curve of applyLevels for one set of arguments.
class LevelsCurve {
public:
    LevelsCurve(int outLow, int outHigh, int inLow, int inHigh, double gamma);

    /// The gamma after quantising to hundredths, as the curve uses it.
    float gamma() const { return m_gamma; }
    /// Value of one source channel value.
    uint8_t map(int v) const
    {
        if (v < m_inLow)
            return m_table[0];
        if (v > m_inHigh)
            return m_table[255];
        return m_table[size_t(v)];
    }
    /// map() for every byte value.
    std::array<uint8_t, 256> lookup() const;

private:
    std::array<uint8_t, 256> m_table{};
    int m_inLow = 0;
    int m_inHigh = 255;
    float m_gamma = 1.0f;
};

}  // namespace tavelune
