// The channel mixer, the levels curve and channel fills.
#include "pixel/tone_kernels.h"

#include <algorithm>
#include <cmath>

#include "pixel/pixel.h"

namespace tavelune {
namespace {

constexpr int kAlphaShift = 24;

// Where a channel letter sits in a pixel; -1 for anything else.
int channelShift(int channel)
{
    switch (channel) {
        case 'R':
            return 16;
        case 'G':
            return 8;
        case 'B':
            return 0;
        case 'A':
            return kAlphaShift;
        default:
            return -1;
    }
}

}  // namespace

void mixChannels(uint32_t* dst, const uint32_t* src, uint32_t n, int m0, int m1, int m2, int m3,
                 int m4, int m5, int m6, int m7, int m8)
{
    if (!dst || !src || n == 0)
        return;
    int m[9] = {m0, m1, m2, m3, m4, m5, m6, m7, m8};
    for (int& v : m) v = std::clamp(v, -200, 200);
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t p = src[i];
        int r = redOf(p);
        int g = greenOf(p);
        int b = blueOf(p);
        int out[3];
        for (int row = 0; row < 3; ++row) {
            int sum =
                mixTerm(r, m[row * 3]) + mixTerm(g, m[row * 3 + 1]) + mixTerm(b, m[row * 3 + 2]);
            out[row] = std::clamp(sum, 0, 255);
        }
        dst[i] = (dst[i] & 0xFF000000u) | makePixel(0, out[0], out[1], out[2]);
    }
}

LevelsCurve::LevelsCurve(int outLow, int outHigh, int inLow, int inHigh, double gamma)
{
    outLow = std::clamp(outLow, 0, 255);
    outHigh = std::clamp(outHigh, 0, 255);
    inLow = std::clamp(inLow, 0, 253);
    inHigh = std::clamp(inHigh, 2, 255);
    // Written as comparisons so that a NaN gamma ends up at the lower bound.
    if (!(gamma >= 0.1))
        gamma = 0.1;
    if (gamma > 9.99)
        gamma = 9.99;
    if (inHigh - inLow < 2)
        inHigh = inLow + 2;

    float g = float(std::trunc(gamma * 100) * 0.01);
    if (g < 0.1)
        g = 0.1f;
    if (g > 9.99)
        g = 9.99f;
    m_gamma = g;

    double exponent = 1.0 / double(g);
    for (int i = 0; i < 256; ++i) {
        int v = int(255 * std::pow(i * 0.00392156862745098, exponent) + 0.5);
        if (i < outLow)
            v = outLow;
        else if (i > outHigh)
            v = outHigh;
        m_table[size_t(i)] = uint8_t(v);
    }
    m_inLow = inLow;
    m_inHigh = inHigh;
}

std::array<uint8_t, 256> LevelsCurve::lookup() const
{
    std::array<uint8_t, 256> out{};
    for (int v = 0; v < 256; ++v) out[size_t(v)] = map(v);
    return out;
}

void applyLevels(uint32_t* dst, const uint32_t* src, uint32_t n, int outLow, int outHigh, int inLow,
                 int inHigh, double gamma, int channel)
{
    if (!dst || !src || n == 0)
        return;
    // Levels leave alpha alone.
    const int shift = channel == kAllChannels ? -1 : channelShift(channel);
    if (channel != kAllChannels && (shift < 0 || shift == kAlphaShift))
        return;
    LevelsCurve curve(outLow, outHigh, inLow, inHigh, gamma);
    for (uint32_t i = 0; i < n; ++i) {
        uint32_t p = src[i];
        uint32_t out = dst[i];
        if (shift < 0) {
            out = (out & 0xFF000000u) |
                  makePixel(0, curve.map(redOf(p)), curve.map(greenOf(p)), curve.map(blueOf(p)));
        } else {
            uint32_t v = curve.map(int((p >> shift) & 0xFF));
            out = (out & ~(0xFFu << shift)) | v << shift;
        }
        dst[i] = out;
    }
}

void fillChannel(uint32_t* buf, uint32_t n, int channel, int value)
{
    if (!buf || n == 0)
        return;
    uint32_t byte = uint32_t(value) & 0xFF;
    if (channel == kAllChannels) {
        std::fill_n(buf, n, byte * 0x01010101u);
        return;
    }
    const int shift = channelShift(channel);
    if (shift < 0)
        return;
    uint32_t mask = ~(0xFFu << shift);
    for (uint32_t i = 0; i < n; ++i) buf[i] = (buf[i] & mask) | byte << shift;
}

}  // namespace tavelune
