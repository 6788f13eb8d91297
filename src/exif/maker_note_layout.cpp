// Telling self-contained maker notes from those that point into the surrounding TIFF block.
#include "exif/maker_note_layout.h"

#include <cctype>
#include <cstring>

#include "exif/byte_order.h"
#include "exif/exif_entry.h"

namespace tavelune {
namespace {

struct Header {
    const char* text;
    std::size_t length;
    MakerNoteLayout layout;
    std::size_t directory;  // for outer directories
};

// Notes with an embedded TIFF header or their own base, then the headers of notes whose
// directory follows a fixed prefix and whose offsets count from the outer TIFF header.
constexpr Header kHeaders[] = {
    {"Nikon\0\2", 7, MakerNoteLayout::SelfContained, 0},
    {"FUJIFILM", 8, MakerNoteLayout::SelfContained, 0},
    {"GENERALE", 8, MakerNoteLayout::SelfContained, 0},
    {"OLYMPUS\0", 8, MakerNoteLayout::SelfContained, 0},
    {"OM SYSTEM\0", 10, MakerNoteLayout::SelfContained, 0},
    {"PENTAX \0", 8, MakerNoteLayout::SelfContained, 0},
    {"Nikon\0\1", 7, MakerNoteLayout::OuterDirectory, 8},
    {"OLYMP\0", 6, MakerNoteLayout::OuterDirectory, 8},
    {"EPSON\0", 6, MakerNoteLayout::OuterDirectory, 8},
    {"SANYO\0", 6, MakerNoteLayout::OuterDirectory, 8},
    {"Panasonic\0\0\0", 12, MakerNoteLayout::OuterDirectory, 12},
    {"SONY DSC \0\0\0", 12, MakerNoteLayout::OuterDirectory, 12},
    {"SONY CAM \0\0\0", 12, MakerNoteLayout::OuterDirectory, 12},
    {"SIGMA\0\0\0", 8, MakerNoteLayout::OuterDirectory, 10},
    {"FOVEON\0\0", 8, MakerNoteLayout::OuterDirectory, 10},
    {"AOC\0", 4, MakerNoteLayout::OuterDirectory, 6},
};

bool startsWith(std::span<const std::uint8_t> note, const char* text, std::size_t length)
{
    return note.size() >= length && std::memcmp(note.data(), text, length) == 0;
}

// A directory at `start` whose every entry has a known type and whose long values all lie
// inside the note when their offsets count from the outer header.
bool isOuterDirectory(std::span<const std::uint8_t> note, std::size_t start, int order,
                      std::uint32_t offset)
{
    const auto count = exif::readU16(note, start, order);
    if (!count || *count == 0 || *count > 1000 ||
        !exif::fits(start + 2, std::uint64_t{*count} * 12, note.size()))
        return false;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t at = start + 2 + std::size_t{i} * 12;
        const std::uint16_t type = exif::readU16(note, at + 2, order).value_or(0);
        const std::uint32_t values = exif::readU32(note, at + 4, order).value_or(0);
        const std::uint32_t unit = exifTypeSize(type);
        if (unit == 0)
            return false;
        const std::uint64_t bytes = std::uint64_t{values} * unit;
        if (bytes <= 4)
            continue;
        const std::uint32_t where = exif::readU32(note, at + 8, order).value_or(0);
        if (where < offset || !exif::fits(where - offset, bytes, note.size()))
            return false;
    }
    return true;
}

bool isCanon(std::string_view make)
{
    if (make.size() < 5)
        return false;
    for (std::size_t i = 0; i < 5; ++i)
        if (std::tolower(static_cast<unsigned char>(make[i])) != "canon"[i])
            return false;
    return true;
}

}  // namespace

MakerNoteShape makerNoteShape(std::span<const std::uint8_t> note, int order, std::uint32_t offset,
                              std::string_view make)
{
    for (const Header& header : kHeaders) {
        if (!startsWith(note, header.text, header.length))
            continue;
        if (header.layout == MakerNoteLayout::SelfContained)
            return {MakerNoteLayout::SelfContained, 0};
        if (offset != 0 && isOuterDirectory(note, header.directory, order, offset))
            return {MakerNoteLayout::OuterDirectory, header.directory};
        return {};
    }
    // Canon and older cameras of other makes start the note with a bare directory.
    if (offset != 0 && (isCanon(make) || note.size() >= 14) &&
        isOuterDirectory(note, 0, order, offset))
        return {MakerNoteLayout::OuterDirectory, 0};
    return {};
}

bool rebaseMakerNote(std::vector<std::uint8_t>& note, const MakerNoteShape& shape, int order,
                     std::uint32_t from, std::uint32_t to)
{
    if (shape.layout != MakerNoteLayout::OuterDirectory ||
        !isOuterDirectory(note, shape.directory, order, from))
        return false;
    const std::uint16_t count = exif::readU16(note, shape.directory, order).value_or(0);
    for (std::uint32_t i = 0; i < count; ++i) {
        const std::size_t at = shape.directory + 2 + std::size_t{i} * 12;
        const std::uint16_t type = exif::readU16(note, at + 2, order).value_or(0);
        const std::uint32_t values = exif::readU32(note, at + 4, order).value_or(0);
        if (std::uint64_t{values} * exifTypeSize(type) <= 4)
            continue;
        const std::uint32_t where = exif::readU32(note, at + 8, order).value_or(0);
        exif::writeU32(note, at + 8, order, where - from + to);
    }
    // Canon notes end with a TIFF-like header that records where the note was written.
    const std::size_t tail = note.size() >= 8 ? note.size() - 8 : 0;
    if (tail > shape.directory && exif::readU32(note, tail + 4, order) == from &&
        ((note[tail] == 'I' && note[tail + 1] == 'I') ||
         (note[tail] == 'M' && note[tail + 1] == 'M')) &&
        exif::readU16(note, tail + 2, order) == 42)
        exif::writeU32(note, tail + 4, order, to);
    return true;
}

}  // namespace tavelune
