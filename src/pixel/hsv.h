// Hue, saturation and value in whole degrees and percent, and the selective HSV adjustment.
#pragma once

#include <algorithm>
#include <cstdint>
#include <cstdlib>

#include "pixel/pixel.h"

namespace tavelune {

// The conversions' constants, shared with the vector kernels so the two cannot drift.
/// Percent to 0..255: 255 x 0.01 as a double, one step above the double nearest 2.55.
inline constexpr double kPercentToByte = 2.5500000000000003;
inline constexpr double kByteToPercent = 0.39215686274509803;  // 100 / 255
inline constexpr double kPerPercent = 0.01;
inline constexpr int kDegreesPerSixth = 60;
inline constexpr double kPerDegreeOfSixth = 0.016666666666666666;  // 1 / 60
inline constexpr int kFullCircle = 360;
/// Degrees over which an adjustment fades out beyond its band.
inline constexpr int kBandFeather = 30;
inline constexpr double kPerFeatherDegree = 0.03333333333333333;  // 1 / 30

struct HsvColour {
    int32_t hue = 0;         // degrees, 0..360
    int32_t saturation = 0;  // percent, 0..100
    int32_t value = 0;       // percent, 0..100
    friend bool operator==(const HsvColour&, const HsvColour&) = default;
};

inline HsvColour pixelToHsv(uint32_t pixel);
/// Opaque pixel of the colour. A hue above 360 keeps the colour channels of base.
inline uint32_t hsvToPixel(const HsvColour& colour, uint32_t base = 0);

/// Changes the pixels whose hue lies in fromHue..toHue: hue shift, saturation and value in
/// percent, at full strength inside the band and fading over 30 degrees where it is wider than
/// 60 degrees. Other pixels are copied unchanged.
void adjustHsv(uint32_t* dst, const uint32_t* src, uint32_t n, int hueShift, int saturationPct,
               int valuePct, int fromHue, int toHue);

/// The clamped arguments of adjustHsv, applied to one pixel.
class HsvAdjustment {
public:
    HsvAdjustment(int hueShift, int saturationPct, int valuePct, int fromHue, int toHue);

    bool contains(int hue) const { return hue >= m_fromHue && hue <= m_toHue; }
    /// The adjusted pixel; colour must be pixelToHsv(pixel) and lie inside the band.
    uint32_t adjust(const HsvColour& colour, uint32_t pixel) const;
    /// The whole step for one pixel.
    uint32_t apply(uint32_t pixel) const
    {
        HsvColour colour = pixelToHsv(pixel);
        return contains(colour.hue) ? adjust(colour, pixel) : pixel;
    }

    /// The clamped arguments, for kernels that evaluate adjust() on several pixels at once.
    struct Parts {
        int hueShift, saturationPct, valuePct, fromHue, toHue, centre, half;
    };
    Parts parts() const
    {
        return {m_hueShift, m_saturationPct, m_valuePct, m_fromHue, m_toHue, m_centre, m_half};
    }

private:
    int m_hueShift;
    int m_saturationPct;
    int m_valuePct;
    int m_fromHue;
    int m_toHue;
    int m_centre;
    int m_half;
};

// Inline, so that the fused recipes run the same code without a call per pixel.
inline HsvColour pixelToHsv(uint32_t pixel)
{
    int r = redOf(pixel);
    int g = greenOf(pixel);
    int b = blueOf(pixel);
    int max = std::max({r, g, b});
    int min = std::min({r, g, b});
    HsvColour out;
    out.value = int(max * kByteToPercent + 0.5);
    out.saturation = max == 0 ? 0 : int(double((max - min) * 100) / max + 0.5);
    // Nearly grey pixels become exactly grey.
    if (out.saturation == 0)
        return out;
    double d = max - min;
    double h;
    if (r == max)
        h = (g - b) / d;
    else if (g == max)
        h = 2 + (b - r) / d;
    else
        h = 4 + (r - g) / d;
    h *= 60;
    if (h < 0)
        h += 360;
    if (h >= 360)
        h = 0;
    out.hue = int(h + 0.5);
    return out;
}

inline uint32_t hsvToPixel(const HsvColour& colour, uint32_t base)
{
    if (colour.saturation == 0) {
        int grey = int(colour.value * kPercentToByte + 0.5);
        return makePixel(255, grey, grey, grey);
    }
    float v = float(colour.value * 0.01);
    double m = colour.value * (1 - colour.saturation * 0.01) * 0.01;
    int hue = colour.hue;
    double r;
    double g;
    double b;
    if (hue <= 60) {
        r = v;
        g = m + (v - m) * hue * kPerDegreeOfSixth;
        b = m;
    } else if (hue <= 120) {
        r = v + (m - v) * (hue - 60) * kPerDegreeOfSixth;
        g = v;
        b = m;
    } else if (hue <= 180) {
        r = m;
        g = v;
        b = m + (v - m) * (hue - 120) * kPerDegreeOfSixth;
    } else if (hue <= 240) {
        r = m;
        g = v + (m - v) * (hue - 180) * kPerDegreeOfSixth;
        b = v;
    } else if (hue <= 300) {
        r = m + (v - m) * (hue - 240) * kPerDegreeOfSixth;
        g = m;
        b = v;
    } else if (hue <= 360) {
        r = v;
        g = m;
        b = v + (m - v) * (hue - 300) * kPerDegreeOfSixth;
    } else {
        return base | 0xFF000000u;
    }
    return makePixel(255, int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5));
}

inline uint32_t HsvAdjustment::adjust(const HsvColour& colour, uint32_t pixel) const
{
    double w = (m_half - std::abs(m_centre - colour.hue) + kBandFeather) * kPerFeatherDegree;
    w = std::clamp(w, 0.0, 1.0);
    HsvColour out;
    out.hue = int(colour.hue + w * m_hueShift);
    if (out.hue < 0)
        out.hue += 360;
    // A shift past 360 wraps round like one below 0 does.
    else if (out.hue > 360)
        out.hue -= 360;
    out.saturation = std::clamp(int((w * m_saturationPct * 0.01 + 1) * colour.saturation), 0, 100);
    out.value = std::clamp(int((w * m_valuePct * 0.01 + 1) * colour.value), 0, 100);
    return hsvToPixel(out, pixel);
}

}  // namespace tavelune
