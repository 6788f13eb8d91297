// The program's button and list icons, drawn as line art in code so they stay sharp at any size.
#pragma once

#include <QIcon>
#include <array>

namespace tavelune::gui {

enum class ButtonIcon {
    Open,
    Save,
    Apply,
    Rotate,
    MirrorLeftRight,
    FlipTopBottom,
    Close,
    PictureSize,
    ActualPixels,
    FitWindow,
    Same,
    FullScreen,
    Loupe,
    ExifEditor,
    Batch,
    IndexPrint,
    Help,
    Support,
    // Header rows of the EXIF information list.
    ExifImageInfo,
    ExifShootingInfo,
    ExifInteropInfo,
    ExifFileInfo,
};

inline constexpr std::array kAllButtonIcons = {
    ButtonIcon::Open,
    ButtonIcon::Save,
    ButtonIcon::Apply,
    ButtonIcon::Rotate,
    ButtonIcon::MirrorLeftRight,
    ButtonIcon::FlipTopBottom,
    ButtonIcon::Close,
    ButtonIcon::PictureSize,
    ButtonIcon::ActualPixels,
    ButtonIcon::FitWindow,
    ButtonIcon::Same,
    ButtonIcon::FullScreen,
    ButtonIcon::Loupe,
    ButtonIcon::ExifEditor,
    ButtonIcon::Batch,
    ButtonIcon::IndexPrint,
    ButtonIcon::Help,
    ButtonIcon::Support,
    ButtonIcon::ExifImageInfo,
    ButtonIcon::ExifShootingInfo,
    ButtonIcon::ExifInteropInfo,
    ButtonIcon::ExifFileInfo,
};

/// What the icon is drawn on: the ordinary window (lines in the palette's button text colour)
/// or the black surround of the photo page (light lines).
enum class IconBackground { Window, Dark };

/// The icon, rendered afresh for every requested size (16, 24, 32 and 48 are the tuned ones);
/// the disabled mode is drawn faded.
QIcon buttonIcon(ButtonIcon id, IconBackground background = IconBackground::Window);

/// Short English name for test messages and the icon sheet.
const char* buttonIconName(ButtonIcon id);

}  // namespace tavelune::gui
