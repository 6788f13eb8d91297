// Carrying a source picture's EXIF data into the JPEG file a conversion has just written.
#pragma once

#include <string>

#include "exif/exif_data.h"

namespace tavelune {

/// The product name and version written into the software tags.
inline constexpr const char* kProductText = "Tavelune " TAVELUNE_VERSION;

/// Marks the model as rewritten by this program (Orientation 1 when present and the pixels
/// were turned upright; Software and ExtendSoftware set to the product text, created when
/// missing) and writes it into the JPEG at path. Nothing happens for an empty model. False
/// when the file could not be written; it is then left as the codec wrote it. format names
/// the file's format when its name does not (a temporary file).
bool writeKeptExif(ExifData& exif, const std::string& jpegPath, bool pixelsUpright = true,
                   const char* format = nullptr);

}  // namespace tavelune
