// How a camera's maker note points at its own values, so that a write can keep them readable.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tavelune {

enum class MakerNoteLayout {
    SelfContained,   // offsets count from the note itself: it survives any move as it is
    OuterDirectory,  // a directory whose value offsets count from the TIFF header
    Unknown,         // no directory we can vouch for: only its old place keeps it readable
};

struct MakerNoteShape {
    MakerNoteLayout layout = MakerNoteLayout::Unknown;
    std::size_t directory = 0;  // where the directory starts inside the note
};

/// Works out the layout of a note that lay `offset` bytes from the TIFF header of a block in
/// byte order `order`. An outer directory is only reported when every value it points at lies
/// inside the note, so that moving the note and its offsets together cannot break it.
MakerNoteShape makerNoteShape(std::span<const std::uint8_t> note, int order, std::uint32_t offset,
                              std::string_view make);

/// Moves an outer-directory note from `from` to `to` (offsets from the TIFF header): every
/// value offset, and the old offset a Canon trailer records, follows. False leaves it alone.
bool rebaseMakerNote(std::vector<std::uint8_t>& note, const MakerNoteShape& shape, int order,
                     std::uint32_t from, std::uint32_t to);

}  // namespace tavelune
