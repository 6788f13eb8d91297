// Carrying a source picture's EXIF data into the JPEG file a conversion has just written.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "exif/exif_data.h"

namespace tavelune {

/// The product name and version written into the software tags.
inline constexpr const char* kProductText = "Tavelune " TAVELUNE_VERSION;

/// A JPEG thumbnail (at most 160 x 120, proportions kept) of the JPEG file at path.
bool makeExifThumbnail(const std::string& jpegPath, std::vector<std::uint8_t>& out);

/// Marks the model as rewritten by this program (Orientation 1 when present and the pixels
/// were turned upright; Software and ExtendSoftware set to the product text, created when
/// missing), gives it a thumbnail of the picture at path in place of the source's, and writes
/// it into the JPEG at path. Nothing happens for an empty model. False when the file could not
/// be written; it is then left as the codec wrote it. format names the file's format when its
/// name does not (a temporary file).
bool writeKeptExif(ExifData& exif, const std::string& jpegPath, bool pixelsUpright = true,
                   const char* format = nullptr);

/// writeKeptExif for a whole JPEG file held in memory: the thumbnail made from its pixels
/// and the model written into it, so the file is written once. False leaves jpeg as it was.
bool keepExifInJpeg(ExifData& exif, std::vector<std::uint8_t>& jpeg, bool pixelsUpright);

}  // namespace tavelune
