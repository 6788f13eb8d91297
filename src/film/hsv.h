// Hue, saturation and value in whole degrees and percent, and the selective HSV adjustment.
#pragma once

#include <cstdint>

namespace tavelune {

struct HsvColour {
    int32_t hue = 0;         // degrees, 0..360
    int32_t saturation = 0;  // percent, 0..100
    int32_t value = 0;       // percent, 0..100
    friend bool operator==(const HsvColour&, const HsvColour&) = default;
};

HsvColour pixelToHsv(uint32_t pixel);
/// Opaque pixel of the colour. A hue above 360 keeps the colour channels of base.
uint32_t hsvToPixel(const HsvColour& colour, uint32_t base = 0);

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

private:
    int m_hueShift;
    int m_saturationPct;
    int m_valuePct;
    int m_fromHue;
    int m_toHue;
    int m_centre;
    int m_half;
};

}  // namespace tavelune
