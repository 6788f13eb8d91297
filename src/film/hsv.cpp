// Conversions between pixels and whole-number HSV, and the selective adjustment.
#include "film/hsv.h"

#include <algorithm>
#include <cstdlib>

#include "film/pixel.h"

namespace tavelune {

HsvColour pixelToHsv(uint32_t pixel)
{
    int r = redOf(pixel);
    int g = greenOf(pixel);
    int b = blueOf(pixel);
    int max = std::max({r, g, b});
    int min = std::min({r, g, b});
    HsvColour out;
    out.value = int(max * 0.39215686274509803 + 0.5);
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

uint32_t hsvToPixel(const HsvColour& colour, uint32_t base)
{
    if (colour.saturation == 0) {
        int grey = int(colour.value * 2.5500000000000003 + 0.5);
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
        g = m + (v - m) * hue * 0.016666666666666666;
        b = m;
    } else if (hue <= 120) {
        r = v + (m - v) * (hue - 60) * 0.016666666666666666;
        g = v;
        b = m;
    } else if (hue <= 180) {
        r = m;
        g = v;
        b = m + (v - m) * (hue - 120) * 0.016666666666666666;
    } else if (hue <= 240) {
        r = m;
        g = v + (m - v) * (hue - 180) * 0.016666666666666666;
        b = v;
    } else if (hue <= 300) {
        r = m + (v - m) * (hue - 240) * 0.016666666666666666;
        g = m;
        b = v;
    } else if (hue <= 360) {
        r = v;
        g = m;
        b = v + (m - v) * (hue - 300) * 0.016666666666666666;
    } else {
        return base | 0xFF000000u;
    }
    return makePixel(255, int(r * 255 + 0.5), int(g * 255 + 0.5), int(b * 255 + 0.5));
}

HsvAdjustment::HsvAdjustment(int hueShift, int saturationPct, int valuePct, int fromHue, int toHue)
{
    m_hueShift = std::clamp(hueShift, -180, 180);
    m_saturationPct = std::clamp(saturationPct, -100, 100);
    m_valuePct = std::clamp(valuePct, -100, 100);
    fromHue = std::clamp(fromHue, 0, 359);
    toHue = std::clamp(toHue, 0, 359);
    if (toHue == fromHue)
        toHue = fromHue + 1;
    if (toHue == 360)
        toHue = 0;
    if (fromHue > toHue)
        fromHue -= 360;
    m_fromHue = fromHue;
    m_toHue = toHue;
    m_centre = (fromHue + toHue) / 2;
    m_half = (toHue - fromHue) / 2;
}

uint32_t HsvAdjustment::adjust(const HsvColour& colour, uint32_t pixel) const
{
    double w = (m_half - std::abs(m_centre - colour.hue) + 30) * 0.03333333333333333;
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

void adjustHsv(uint32_t* dst, const uint32_t* src, uint32_t n, int hueShift, int saturationPct,
               int valuePct, int fromHue, int toHue)
{
    if (!dst || !src || n == 0)
        return;
    HsvAdjustment adjustment(hueShift, saturationPct, valuePct, fromHue, toHue);
    for (uint32_t i = 0; i < n; ++i)
        dst[i] = adjustment.apply(src[i]);
}

}  // namespace tavelune
