// ColourPalette: cells, the custom slot and the values they report.
#include "overlay/colour_palette.h"

#include <cstdio>

namespace tavelune {

int ColourPalette::colour() const
{
    if (m_index < 0 || m_index > kCustomSlot)
        return kNoColour;
    if (m_index == kCustomSlot)
        return int(m_custom);
    return int(kFixedColours[size_t(m_index)]);
}

void ColourPalette::choose(int index)
{
    m_index = index < 0 || index > kCustomSlot ? -1 : index;
}

void ColourPalette::chooseCustom(uint32_t colour)
{
    m_custom = colour & 0xFFFFFF;
    m_index = kCustomSlot;
}

void ColourPalette::setColour(int colour)
{
    if (colour < 0) {
        m_index = -1;
        return;
    }
    const uint32_t value = uint32_t(colour) & 0xFFFFFF;
    for (size_t i = 0; i < kFixedColours.size(); ++i) {
        if (kFixedColours[i] == value) {
            m_index = int(i);
            return;
        }
    }
    chooseCustom(value);
}

std::string colourHexText(uint32_t colour)
{
    char text[8];
    std::snprintf(text, sizeof text, "#%.2X%.2X%.2X", colour & 0xFF, (colour >> 8) & 0xFF,
                  (colour >> 16) & 0xFF);
    return text;
}

}  // namespace tavelune
