// Saving the converted picture: the save dialog, the format's options dialog, the EXIF kept.
#pragma once

#include <QString>

namespace tavelune {
class ExifData;
class Image;
}

class QWidget;

namespace tavelune::gui {

/// The name the save dialog proposes: "QX_" and the opened file's name without its folder.
QString proposedSaveName(const QString& sourceFile);

/// Asks for a path (starting in the last save folder) and saves there. False when the user
/// cancelled or the save failed (the failure has been shown).
bool saveResultWithDialog(QWidget* parent, const Image& result, const ExifData* exif,
                          const QString& sourceFile);

/// Saves to path by its extension after the format's options dialog: JPEG (quality, EXIF kept
/// when ticked and the source had EXIF data, Orientation 1), TIFF (compression) or BMP; any
/// other extension shows "Can't support format!". Written through a temporary file.
bool saveResultTo(QWidget* parent, const Image& result, const ExifData* exif, const QString& path);

}  // namespace tavelune::gui
