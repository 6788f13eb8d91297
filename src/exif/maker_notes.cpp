// Canon and Nikon maker notes: their private entries, and the standard entries derived from them.
#include <cstring>
#include <new>

#include "exif/byte_order.h"
#include "exif/exif_data.h"

namespace tavelune {
namespace {

struct Mapping {
    std::uint16_t from;
    std::uint16_t to;
};

// Fills a derived entry that the file lacks; what the camera wrote in the standard directory
// stands, so that a later write stores the file's own value back.
bool setShort(ExifData& data, std::uint16_t tag, std::uint16_t value)
{
    if (data.FindEntry(kExifIfd, tag) != nullptr)
        return true;
    ExifEntry* entry = data.FindEntry(kExifIfd, tag, EntryLookup::Create);
    if (entry == nullptr)
        return false;
    const std::uint8_t bytes[2] = {static_cast<std::uint8_t>(value),
                                   static_cast<std::uint8_t>(value >> 8)};
    if (!(entry->type() == kShort && entry->SetValueBytes(bytes, 2)) &&
        !entry->SetFromRaw(kExifIfd, tag, kShort, 1, bytes, exif::kIntel))
        return false;
    entry->MarkDerived();
    return true;
}

// Maps camera-settings element `index` into `tag`; elements the note does not hold and values
// the table lacks leave the entry alone.
void mapElement(ExifData& data, const ExifEntry& settings, std::uint32_t index, std::uint16_t tag,
                std::initializer_list<Mapping> table)
{
    if (index >= settings.count())
        return;
    const auto value = truncatedU16(settings.GetNumber(index));
    for (const Mapping& mapping : table) {
        if (mapping.from == value) {
            setShort(data, tag, mapping.to);
            return;
        }
    }
}

// Reads a maker-note directory at `directory` of `note`; values lie at `valueBase` + offset
// - `offsetBias` inside the note. Entries whose data leaves the note are skipped.
bool readNoteDirectory(std::vector<std::unique_ptr<ExifEntry>>& entries, exif::ByteSpan note,
                       std::size_t directory, std::int64_t valueBase, int order)
{
    const auto count = exif::readU16(note, directory, order);
    if (!count || !exif::fits(directory + 2, std::uint64_t{*count} * 12, note.size()))
        return false;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t at = directory + 2 + std::size_t{i} * 12;
        const std::uint16_t tag = exif::readU16(note, at, order).value_or(0);
        const std::uint16_t type = exif::readU16(note, at + 2, order).value_or(0);
        const std::uint32_t valueCount = exif::readU32(note, at + 4, order).value_or(0);
        const std::uint64_t bytes = std::uint64_t{valueCount} * exifTypeSize(type);
        std::int64_t valueAt = static_cast<std::int64_t>(at) + 8;
        if (bytes > 4) {
            valueAt = valueBase + exif::readU32(note, at + 8, order).value_or(0);
            if (valueAt < 0 || !exif::fits(static_cast<std::uint64_t>(valueAt), bytes, note.size()))
                continue;
        }
        try {
            auto entry = std::make_unique<ExifEntry>();
            if (!entry->SetFromRaw(kMakerNoteIfd, tag, type, valueCount, note.data() + valueAt,
                                   order))
                return false;
            entries.push_back(std::move(entry));
        } catch (const std::bad_alloc&) {
            return false;
        }
    }
    return true;
}

}  // namespace

bool ExifData::ReadCanonMakerNote(const ExifEntry& makerNote)
{
    const exif::ByteSpan note(makerNote.value());
    if (note.size() <= 2 || (m_byteOrder != exif::kIntel && m_byteOrder != exif::kMotorola))
        return false;
    // Canon's value offsets count from the TIFF header, like those of the outer directory.
    if (!readNoteDirectory(m_entries, note, 0, -std::int64_t{m_makerNoteOffset}, m_byteOrder))
        return false;

    const ExifEntry* settings = FindEntry(kMakerNoteIfd, kTagCanonCameraSettings);
    if (settings == nullptr)
        return true;
    mapElement(
        *this, *settings, 16, kTagISOSpeedRatings,
        {{15, 0}, {16, 50}, {17, 100}, {18, 200}, {19, 400}, {20, 800}, {21, 1600}, {22, 3200}});
    if (settings->count() > 20 && settings->GetNumber(20) != 0)
        mapElement(*this, *settings, 20, kTagExposureProgram,
                   {{1, 2}, {2, 4}, {3, 3}, {4, 1}, {5, 5}});
    else
        mapElement(*this, *settings, 11, kTagExposureProgram, {{1, 1}, {2, 8}, {8, 7}, {9, 6}});
    mapElement(*this, *settings, 17, kTagMeteringMode, {{3, 255}, {4, 6}, {5, 2}});
    mapElement(*this, *settings, 4, kTagFlash,
               {{0, 0}, {1, 25}, {2, 1}, {3, 65}, {5, 89}, {6, 73}});
    mapElement(*this, *settings, 13, kTagContrast, {{0, 0}, {1, 2}, {65535, 1}});
    mapElement(*this, *settings, 14, kTagSaturation, {{0, 0}, {1, 2}, {65535, 1}});
    mapElement(*this, *settings, 15, kTagSharpness, {{0, 0}, {1, 2}, {65535, 1}});
    return true;
}

bool ExifData::ReadNikonMakerNote(const ExifEntry& makerNote)
{
    const exif::ByteSpan note(makerNote.value());
    if (note.size() <= 10 || std::memcmp(note.data(), "Nikon\0\2", 7) != 0) {
        Warn(ExifError::NoNikonD100);
        return false;
    }
    constexpr std::size_t kHeader = 10;
    // "Longer than 10 bytes" does not yet hold the embedded 8-byte header.
    if (!exif::fits(kHeader, 8, note.size()))
        return false;
    int order = 0;
    if (note[kHeader] == 'I' && note[kHeader + 1] == 'I')
        order = exif::kIntel;
    else if (note[kHeader] == 'M' && note[kHeader + 1] == 'M')
        order = exif::kMotorola;
    if (order == 0 || exif::readU16(note, kHeader + 2, order).value_or(0) != 42)
        return false;
    const auto directory = exif::readU32(note, kHeader + 4, order);
    if (!directory || !exif::fits(kHeader + std::uint64_t{*directory}, 2, note.size()))
        return false;
    if (!readNoteDirectory(m_entries, note, kHeader + *directory, kHeader, order))
        return false;

    const ExifEntry* iso = FindEntry(kMakerNoteIfd, kTagNikonIsoSetting);
    if (iso != nullptr && iso->GetNumber(1) != 0)
        setShort(*this, kTagISOSpeedRatings, truncatedU16(iso->GetNumber(1)));
    return true;
}

}  // namespace tavelune
