// BorderSettings: presets, equal sides and unit changes.
#include "overlay/border_settings.h"

#include "overlay/unit_fields.h"
#include "pixel/units.h"

namespace tavelune {

void SideGroup::setEqualSides(bool ticked)
{
    equalSides = ticked;
    if (ticked)
        sides.bottom = sides.left = sides.right = sides.top;
}

void SideGroup::setSide(Side side, double value)
{
    if (equalSides) {
        sides = {value, value, value, value};
        return;
    }
    switch (side) {
        case Side::Top:
            sides.top = value;
            break;
        case Side::Bottom:
            sides.bottom = value;
            break;
        case Side::Left:
            sides.left = value;
            break;
        case Side::Right:
            sides.right = value;
            break;
    }
}

void SideGroup::changeUnit(int newUnit, double dpi)
{
    for (double* value : {&sides.top, &sides.bottom, &sides.left, &sides.right})
        *value = convertFieldValue(*value, unit, newUnit, dpi);
    unit = newUnit;
}

BorderSettings BorderSettings::initial()
{
    BorderSettings settings;
    settings.applyPreset(kPresetWhiteMatBlackBorder);
    return settings;
}

void BorderSettings::applyPreset(int preset)
{
    if (preset != kPresetBlackMatWhiteBorder && preset != kPresetWhiteMatBlackBorder)
        return;
    const bool blackMat = preset == kPresetBlackMatWhiteBorder;
    matColour = blackMat ? 0x000000 : 0xFFFFFF;
    mat = SideGroup{{17, 32, 17, 17}, kUnitPixel, false};
    borderColour = blackMat ? 0xFFFFFF : 0x000000;
    const double width = blackMat ? 2 : 1;
    border = SideGroup{{width, width, width, width}, kUnitPixel, false};
    matPicture = false;
    matPicturePath.clear();
    opacity = 100;
    inside = false;
}

void BorderSettings::chooseMatPicture(const std::string& path)
{
    matPicturePath = path;
    matPicture = true;
}

}  // namespace tavelune
