// The Exif APP1 segment as the writer lays it out, also used in front of a TIFF's image data.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string_view>
#include <vector>

#include "exif/byte_order.h"
#include "exif/empty_entries.h"
#include "exif/exif_entry.h"
#include "exif/thumbnail_directory.h"

namespace tavelune {

enum class ExifBlockKind {
    JpegSegment,  // sizes kept in 16 bits; values of 65535 bytes or more are left out
    TiffFile,     // 32-bit sizes, no value limit
};

/// What a rewrite carries over from the data it replaces.
struct ExifBlockSource {
    int byteOrder = exif::kIntel;       // of the TIFF part written
    int makerNoteOrder = 0;             // the order the MakerNote was read in; 0: as written
    std::uint32_t makerNoteOffset = 0;  // where it lay from the TIFF header; 0: unknown
    std::string_view make;              // IFD0 Make, which tells a bare Canon note
    const ThumbnailDirectory* thumbnail = nullptr;  // IFD1, written after the others
    std::span<const EmptyEntry> emptyEntries;       // kept where the model has no such tag
};

/// Where the MakerNote went and whether its readers can still follow its offsets.
enum class MakerNotePlacement { None, Moved, SameOffset, Rebased, OffsetsMayBeInvalid };

/// Whether the builder writes an entry at all: IFD0, Exif, Interoperability and GPS entries
/// that are complete, not derived from a maker note, are no directory pointers, and (for a
/// JPEG segment) below 65535 bytes.
bool isWrittenToBlock(const ExifEntry& entry, ExifBlockKind kind);

/// Total bytes of the block for these entries, counted from the 0xFF of the APP1 prefix;
/// nullopt when a JPEG segment would pass 65535 bytes or a TIFF block 4 GiB.
std::optional<std::uint64_t> exifBlockSize(std::span<const ExifEntry* const> entries,
                                           ExifBlockKind kind, const ExifBlockSource& source = {});

/// The block: 0xFF 0xE1, length, "Exif" and two zeros, then the TIFF part (header, IFD0, Exif
/// IFD, Interoperability IFD, GPS IFD, IFD1, each followed by its long values, every value at
/// an even offset; entries and pointers of a directory in ascending tag order). A MakerNote
/// keeps its old offset when it can, else its offsets are rebased when it is a directory we
/// can read. Offsets count from the TIFF header at byte 10.
std::optional<std::vector<std::uint8_t>> buildExifBlock(std::span<const ExifEntry* const> entries,
                                                        ExifBlockKind kind,
                                                        const ExifBlockSource& source = {},
                                                        MakerNotePlacement* placement = nullptr);

}  // namespace tavelune
