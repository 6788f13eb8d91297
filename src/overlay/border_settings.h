// The border page's state: mat and border widths, colours, presets and their couplings.
#pragma once

#include <string>

#include "overlay/overlay_settings.h"

namespace tavelune {

/// Four widths in the order the page lists them.
struct Sides {
    double top = 0;
    double bottom = 0;
    double left = 0;
    double right = 0;
    friend bool operator==(const Sides&, const Sides&) = default;
};

enum class Side : int { Top, Bottom, Left, Right };

/// One group of the page (the mat or the border): four widths, their unit and "四边等宽".
struct SideGroup {
    Sides sides;
    int unit = 0;
    bool equalSides = false;

    /// Ticking "四边等宽" copies the top width to the other three.
    void setEqualSides(bool ticked);
    /// A width typed into one field; with equal sides ticked it goes to all four.
    void setSide(Side side, double value);
    /// The unit list changed: all four widths are converted at dpi.
    void changeUnit(int newUnit, double dpi);
    friend bool operator==(const SideGroup&, const SideGroup&) = default;
};

enum BorderPreset : int { kPresetBlackMatWhiteBorder = 0, kPresetWhiteMatBlackBorder = 1 };

struct BorderSettings {
    bool enabled = false;
    SideGroup mat;
    int matColour = 0xFFFFFF;  // 0x00BBGGRR or kNoColour (white)
    bool matPicture = false;
    std::string matPicturePath;
    SideGroup border;
    int borderColour = 0x000000;  // 0x00BBGGRR or kNoColour (white)
    bool inside = false;
    int opacity = 100;

    /// Everything off, with "白底黑边" applied.
    static BorderSettings initial();
    /// Applies preset 0 "黑底白边" or 1 "白底黑边"; other numbers change nothing.
    void applyPreset(int preset);
    /// The browse button chose a mat picture.
    void chooseMatPicture(const std::string& path);
};

/// The display names of the presets, by preset number.
inline constexpr const char* kPresetNames[2] = {"黑底白边", "白底黑边"};

}  // namespace tavelune
