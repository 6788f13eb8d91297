// The thumbnail directory (IFD1) that follows IFD0, carried through a rewrite of the EXIF data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "exif/exif_entry.h"

namespace tavelune {

inline constexpr std::uint16_t kJpegThumbnailOffset = kTagJPEGInterchangeFormat;
inline constexpr std::uint16_t kJpegThumbnailLength = kTagJPEGInterchangeFormatLength;

/// IFD1's entries (host order, in their file order) and the image data they point at: a JPEG
/// stream, or the strips of an uncompressed thumbnail one after another.
struct ThumbnailDirectory {
    std::vector<ExifEntry> entries;
    std::vector<std::uint8_t> data;
    bool last = true;  // no further directory follows IFD1
};

/// IFD1 of a TIFF block (from its "II"/"MM" header on). Nothing when there is none, or when
/// its directory or image data does not lie wholly inside the block: a broken thumbnail is
/// dropped rather than written with offsets into nothing.
std::optional<ThumbnailDirectory> readThumbnailDirectory(std::span<const std::uint8_t> tiff);

/// IFD1 for a JPEG thumbnail: compression 6, 72 dpi, and the stream's offset and length.
ThumbnailDirectory jpegThumbnailDirectory(std::vector<std::uint8_t> jpeg);

}  // namespace tavelune
