// Entries without values (a count of 0), which the model cannot hold but a rewrite keeps.
#pragma once

#include <cstdint>
#include <span>
#include <vector>

namespace tavelune {

/// One such entry: its directory (IFD id), tag and type.
struct EmptyEntry {
    std::uint16_t ifd;
    std::uint16_t tag;
    std::uint16_t type;
};

/// The empty entries of IFD0, the Exif, Interoperability and GPS directories of a TIFF block
/// (from its "II"/"MM" header on), bounded by the block.
std::vector<EmptyEntry> readEmptyEntries(std::span<const std::uint8_t> tiff);

}  // namespace tavelune
