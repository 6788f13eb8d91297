// OverlaySettings: the two pages' initial values and the couplings of their controls.
#include "overlay/overlay_settings.h"

#include <cmath>

#include "overlay/unit_fields.h"
#include "pixel/pixel.h"

namespace tavelune {

OverlaySettings OverlaySettings::watermark()
{
    return OverlaySettings{};
}

OverlaySettings OverlaySettings::signature()
{
    OverlaySettings settings;
    settings.mode = OverlayMode::Text;
    settings.horizontal = kAlignRight;
    settings.vertical = kAlignBottom;
    settings.offsetX = 17;
    settings.offsetY = 10;
    return settings;
}

ColourKey transparentColourKey(int colour)
{
    if (colour < 0)
        return {0xFF000000, 0xFFFFFFFF, 100};
    const uint32_t rgb = colorRefToPixel(uint32_t(colour)) & 0x00FFFFFF;
    return {rgb, rgb | 0xFF000000, 0};
}

void OverlaySettings::setTransparentColour(int colour)
{
    transparentColour = colour < 0 ? kNoColour : colour;
    if (picture.isEmpty())
        return;
    ColourKey key = transparentColourKey(transparentColour);
    picture.setColourKey(key.low, key.high, key.opacity);
}

bool OverlaySettings::setPicture(const Image& source)
{
    if (source.isEmpty())
        return false;
    Image copy;
    if (!copy.create(source.width(), source.height(), source.dpi(), source.pixels()))
        return false;
    picture = std::move(copy);
    setTransparentColour(transparentColour);
    return true;
}

void OverlaySettings::removePicture()
{
    picture.destroyPixels();
}

void OverlaySettings::changeUnit(int newUnit, double dpi)
{
    offsetX = convertFieldValue(offsetX, unit, newUnit, dpi);
    offsetY = convertFieldValue(offsetY, unit, newUnit, dpi);
    unit = newUnit;
}

uint32_t textBoxBackground(uint32_t textColour)
{
    // Relative luminance of the sRGB colour. White stays unless the text stands out from it
    // less than 3:1 (yellow, pale grey, white itself).
    auto linear = [](uint32_t channel) {
        const double c = double(channel & 0xFF) / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double luminance = 0.2126 * linear(textColour) + 0.7152 * linear(textColour >> 8) +
                             0.0722 * linear(textColour >> 16);
    return 1.05 / (luminance + 0.05) < 3.0 ? 0x000000 : 0xFFFFFF;
}

}  // namespace tavelune
