// The insert button's menu of information tags.
#pragma once

#include <QString>
#include <functional>

class QAbstractButton;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace tavelune {
class ExifData;
class Image;
}  // namespace tavelune

namespace tavelune::gui {

/// The picture whose values the menu shows; either may be null.
struct TagPicture {
    const Image* picture = nullptr;
    const ExifData* exif = nullptr;
};
using TagPictureSource = std::function<TagPicture()>;

/// The menu in the active language; each command action carries its command number as data
/// and, after a tab, what the tag gives for the picture ("F5.6" for FNumber), or a made-up
/// example for the fixed tags the picture gives nothing for.
QMenu* buildTagMenu(QWidget* parent, const TagPicture& current = {});

/// The text a command inserts ("<Name/>"), empty for an unknown number.
QString tagTextForMenuCommand(int command);

/// Opens the menu under the button's lower-left corner; a chosen tag replaces the text box's
/// selection (undoably). The text box gets the focus back either way.
void showTagMenu(QAbstractButton* button, QPlainTextEdit* textBox, const TagPicture& current = {});

}  // namespace tavelune::gui
