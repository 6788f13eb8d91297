// The watermark and signature pages' state, with the rules that couple its values.
#pragma once

#include <cstdint>
#include <string>

#include "engine/image.h"

namespace tavelune {

/// A colour button's value: a colour 0x00BBGGRR, or this for no colour.
inline constexpr int kNoColour = -1;

enum class OverlayMode : int { Text = 0, Picture = 1 };
enum HorizontalAlign : int { kAlignLeft = 0, kAlignCentre = 1, kAlignRight = 2 };
enum VerticalAlign : int { kAlignTop = 0, kAlignMiddle = 1, kAlignBottom = 2 };

/// The text font as a LOGFONT holds it: height negative for a character height in pixels.
struct OverlayFont {
    std::string faceName = "MS Sans Serif";
    int height = -11;  // 8 points on a 96-dpi screen
    int weight = 400;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
    friend bool operator==(const OverlayFont&, const OverlayFont&) = default;
};

/// Everything one overlay page holds. Copied to the conversion job before it starts.
struct OverlaySettings {
    bool enabled = false;
    OverlayMode mode = OverlayMode::Picture;
    int horizontal = kAlignLeft;
    int vertical = kAlignTop;
    double offsetX = 22;  // in `unit`
    double offsetY = 22;
    int unit = 0;
    int opacity = 100;
    int transparentColour = kNoColour;
    std::string text;
    OverlayFont font;
    uint32_t textColour = 0x000000;  // 0x00BBGGRR
    /// The loaded picture; its colour key always follows transparentColour.
    Image picture;
    /// The file the picture came from (empty for a pasted one); kept for settings files.
    std::string picturePath;

    static OverlaySettings watermark();
    static OverlaySettings signature();

    /// The transparent-colour button changed: the picture's key follows.
    void setTransparentColour(int colour);
    /// A picture was opened or pasted: its size, dpi and pixels, keyed by the current colour.
    bool setPicture(const Image& source);
    /// The picture is removed (its key with it).
    void removePicture();
    /// The unit list changed: both offsets are converted at dpi (the current picture's or 72).
    void changeUnit(int newUnit, double dpi);
};

/// The colour key a transparent-colour value gives: keying off for no colour, otherwise
/// exactly that red, green and blue, whatever the alpha.
ColourKey transparentColourKey(int colour);

/// The text box's background for a text colour (0x00BBGGRR): white, or black behind a text
/// too light to read on white (white, yellow, pale grey).
uint32_t textBoxBackground(uint32_t textColour);

}  // namespace tavelune
