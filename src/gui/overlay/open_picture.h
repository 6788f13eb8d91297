// Asking for a picture file to open, with the image file types the program reads.
#pragma once

#include <QString>

class QWidget;

namespace tavelune::gui {

/// An existing picture file the user chose, or an empty text when cancelled.
QString askPictureFile(QWidget* parent, const QString& startPath = {});

}  // namespace tavelune::gui
