// The file dialogs' filter lists, made from the format table's rows.
#pragma once

#include <QString>

namespace tavelune::gui {

/// All pictures (every readable extension, lower then upper case), one filter per readable
/// format, then all files.
QString openPictureFilter();
/// One filter per writable format.
QString savePictureFilter();
/// The overlay and logo pictures' list: the open dialog's, so every dialog names kinds alike.
QString pictureFileFilter();

}  // namespace tavelune::gui
