// The colour button's palette: no colour, twenty fixed colours and one slot for a custom colour.
#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "overlay/overlay_settings.h"

namespace tavelune {

/// The fixed cells as Windows colours 0x00BBGGRR, in the order the pop-up shows them.
inline constexpr std::array<uint32_t, 20> kFixedColours{
    0x000000, 0x808080, 0xC0C0C0, 0xFFFFFF, 0x0000FF, 0x00FFFF, 0x00FF00,
    0xFFFF00, 0xFF0000, 0xFF00FF, 0x000080, 0x008080, 0x008000, 0x808000,
    0x800000, 0x800080, 0x8080C0, 0x80C080, 0xC08080, 0xD8E9EC,
};

/// Index of the slot that holds the last custom or picked colour.
inline constexpr int kCustomSlot = 20;

/// What a colour button holds: a palette index (outside 0..20 for no colour) and slot 20.
class ColourPalette {
public:
    /// The button's value: a colour 0x00BBGGRR, or kNoColour.
    int colour() const;
    int index() const { return m_index; }
    uint32_t customColour() const { return m_custom; }

    /// Choosing a cell; an index outside 0..20 means no colour.
    void choose(int index);
    /// A custom or picked colour goes to slot 20 and is chosen.
    void chooseCustom(uint32_t colour);
    /// Shows a colour set from outside: a fixed cell when one matches, else slot 20.
    void setColour(int colour);

private:
    int m_index = -1;
    uint32_t m_custom = 0xFFFFFF;
};

/// "#RRGGBB" of a Windows colour, as the eyedropper shows it.
std::string colourHexText(uint32_t colour);

/// The colour with every channel inverted, for text drawn on that colour.
inline uint32_t invertedColour(uint32_t colour)
{
    return ~colour & 0xFFFFFF;
}

}  // namespace tavelune
