// Saving the converted picture: the save dialog, the format's options dialog, the EXIF kept.
#pragma once

#include <QString>

namespace tavelune {
class ExifData;
class Image;
struct FullSizeJob;
}  // namespace tavelune

class QWidget;

namespace tavelune::gui {

/// The name the save dialog proposes: "QX_" and the opened file's name without its folder.
QString proposedSaveName(const QString& sourceFile);

/// Asks for a path (starting in the last save folder) and saves there. False when the user
/// cancelled or the save failed (the failure has been shown). fullSize (may be null) describes
/// how to redo the result at full size; when it has a full-size original the user chooses
/// between the two sizes.
bool saveResultWithDialog(QWidget* parent, const Image& result, const ExifData* exif,
                          const QString& sourceFile, const FullSizeJob* fullSize = nullptr);

/// Saves to path by its extension after the format's options dialog: JPEG (quality, EXIF kept
/// when ticked and the source had EXIF data, Orientation 1), TIFF (compression) or BMP; any
/// other extension shows "Can't support format!". Written through a temporary file. With a
/// full-size original in fullSize, the size dialog comes first (full size chosen); full size
/// runs on a worker behind a cancellable progress dialog, and a cancel writes nothing.
bool saveResultTo(QWidget* parent, const Image& result, const ExifData* exif, const QString& path,
                  const FullSizeJob* fullSize = nullptr);

}  // namespace tavelune::gui
