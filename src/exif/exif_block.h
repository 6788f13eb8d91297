// The Exif APP1 segment as the writer lays it out, also used in front of a TIFF's image data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <vector>

#include "exif/exif_entry.h"

namespace tavelune {

enum class ExifBlockKind {
    JpegSegment,  // sizes kept in 16 bits; values of 65535 bytes or more are left out
    TiffFile,     // 32-bit sizes, no value limit
};

/// Whether the builder writes an entry at all: IFD0, Exif, Interoperability and GPS entries
/// that are complete, are no directory pointers, and (for a JPEG segment) below 65535 bytes.
bool isWrittenToBlock(const ExifEntry& entry, ExifBlockKind kind);

/// Total bytes of the block for these entries (in list order), counted from the 0xFF of the
/// APP1 prefix; nullopt when a JPEG segment would pass 65535 bytes or a TIFF block 4 GiB.
std::optional<std::uint64_t> exifBlockSize(std::span<const ExifEntry* const> entries,
                                           ExifBlockKind kind);

/// The block: 0xFF 0xE1, length, "Exif" and two zeros, then the little-endian TIFF part
/// (header, IFD0, Exif IFD, Interoperability IFD, GPS IFD, each followed by its long values,
/// every value padded to an even length; a directory's pointers follow its entries). Offsets
/// count from the TIFF header at byte 10.
std::optional<std::vector<std::uint8_t>> buildExifBlock(std::span<const ExifEntry* const> entries,
                                                        ExifBlockKind kind);

}  // namespace tavelune
