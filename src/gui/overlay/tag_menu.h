// The insert button's menu of information tags.
#pragma once

#include <QString>

class QAbstractButton;
class QMenu;
class QPlainTextEdit;
class QWidget;

namespace tavelune::gui {

/// The menu in the active language; each command action carries its command number as data.
QMenu* buildTagMenu(QWidget* parent);

/// The text a command inserts ("<Name/>"), empty for an unknown number.
QString tagTextForMenuCommand(int command);

/// Opens the menu under the button's lower-left corner; a chosen tag replaces the text box's
/// selection (undoably). The text box gets the focus back either way.
void showTagMenu(QAbstractButton* button, QPlainTextEdit* textBox);

}  // namespace tavelune::gui
