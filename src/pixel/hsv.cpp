// Conversions between pixels and whole-number HSV, and the selective adjustment.
#include "pixel/hsv.h"

#include <algorithm>
#include <cstdlib>

#include "pixel/pixel.h"

namespace tavelune {

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

void adjustHsv(uint32_t* dst, const uint32_t* src, uint32_t n, int hueShift, int saturationPct,
               int valuePct, int fromHue, int toHue)
{
    if (!dst || !src || n == 0)
        return;
    HsvAdjustment adjustment(hueShift, saturationPct, valuePct, fromHue, toHue);
    for (uint32_t i = 0; i < n; ++i) dst[i] = adjustment.apply(src[i]);
}

}  // namespace tavelune
