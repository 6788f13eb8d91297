// Lays out the directories of the Exif block, their value areas, the maker note and IFD1.
#include "exif/exif_block.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "exif/maker_note_layout.h"

namespace tavelune {
namespace {

constexpr std::size_t kTiffStart = 10;  // the TIFF header follows marker, length and "Exif\0\0"
constexpr std::uint64_t kJpegLimit = 65535;
constexpr std::uint64_t kTiffLimit = UINT32_MAX;
// A TIFF block grows by the gap in front of a maker note kept in place; past this the note
// is rather moved.
constexpr std::uint64_t kTiffPaddingLimit = 65536;

enum Dir { kDirIfd0, kDirExif, kDirInterop, kDirGps, kDirIfd1, kDirCount };

// One directory slot: an entry, or a pointer to another directory.
struct Slot {
    std::uint16_t tag = 0;
    const ExifEntry* entry = nullptr;
    int target = -1;  // pointer: the directory it leads to
    const EmptyEntry* empty = nullptr;
    std::uint64_t value = 0;  // where a value longer than 4 bytes goes
};

struct Directory {
    std::vector<Slot> slots;
    std::uint64_t offset = 0;
    bool written = false;
    std::uint64_t tableSize() const { return 2 + 12 * slots.size() + 4; }
};

struct Layout {
    std::array<Directory, kDirCount> dirs;
    const ExifEntry* makerNote = nullptr;
    std::vector<std::uint8_t> rebasedNote;  // the note's bytes when its offsets moved
    MakerNotePlacement placement = MakerNotePlacement::None;
    std::uint64_t thumbnailAt = 0;
    std::uint64_t total = 0;  // from the APP1 prefix on
};

int dirOf(std::uint16_t ifd)
{
    switch (ifd) {
        case kIfd0:
            return kDirIfd0;
        case kExifIfd:
            return kDirExif;
        case kGpsIfd:
            return kDirGps;
        default:
            return kDirInterop;
    }
}

// Hands out even offsets from the TIFF header, stepping over one reserved range.
class Allocator {
public:
    Allocator(std::uint64_t start, std::uint64_t reservedAt, std::uint64_t reservedSize)
        : m_cursor(start), m_reservedAt(reservedAt), m_reservedEnd(reservedAt + reservedSize)
    {
    }

    std::uint64_t Place(std::uint64_t size)
    {
        m_cursor += m_cursor & 1;
        if (m_reservedEnd > m_reservedAt && m_cursor < m_reservedEnd &&
            m_cursor + size > m_reservedAt)
            m_cursor = m_reservedEnd + (m_reservedEnd & 1);
        const std::uint64_t at = m_cursor;
        m_cursor += size;
        return at;
    }

    std::uint64_t End() const
    {
        const std::uint64_t end = std::max(m_cursor, m_reservedEnd);
        return end + (end & 1);
    }

private:
    std::uint64_t m_cursor;
    std::uint64_t m_reservedAt;
    std::uint64_t m_reservedEnd;
};

// Directories with their slots in ascending tag order; pointers only to directories written.
Layout collect(std::span<const ExifEntry* const> entries, ExifBlockKind kind,
               const ExifBlockSource& source)
{
    const ThumbnailDirectory* thumbnail = source.thumbnail;
    Layout layout;
    for (const ExifEntry* entry : entries) {
        if (entry == nullptr || !isWrittenToBlock(*entry, kind))
            continue;
        layout.dirs[dirOf(entry->ifd())].slots.push_back({entry->tag(), entry});
        if (entry->ifd() == kExifIfd && entry->tag() == kTagMakerNote &&
            layout.makerNote == nullptr)
            layout.makerNote = entry;
    }
    auto& dirs = layout.dirs;
    dirs[kDirInterop].written = !dirs[kDirInterop].slots.empty();
    dirs[kDirExif].written = dirs[kDirInterop].written || !dirs[kDirExif].slots.empty();
    dirs[kDirGps].written = !dirs[kDirGps].slots.empty();
    dirs[kDirIfd0].written = true;
    if (dirs[kDirExif].written)
        dirs[kDirIfd0].slots.push_back({kExifIfd, nullptr, kDirExif});
    if (dirs[kDirGps].written)
        dirs[kDirIfd0].slots.push_back({kGpsIfd, nullptr, kDirGps});
    if (dirs[kDirInterop].written)
        dirs[kDirExif].slots.push_back({kInteropIfd, nullptr, kDirInterop});
    for (const EmptyEntry& empty : source.emptyEntries) {
        Directory& dir = dirs[dirOf(empty.ifd)];
        const bool taken = std::any_of(dir.slots.begin(), dir.slots.end(),
                                       [&](const Slot& slot) { return slot.tag == empty.tag; });
        if (dir.written && !taken && (empty.tag != 0 || empty.ifd == kGpsIfd))
            dir.slots.push_back({empty.tag, nullptr, -1, &empty});
    }
    if (thumbnail != nullptr) {
        for (const ExifEntry& entry : thumbnail->entries)
            if (entry.IsComplete())
                dirs[kDirIfd1].slots.push_back({entry.tag(), &entry});
        dirs[kDirIfd1].written = !dirs[kDirIfd1].slots.empty();
    }
    for (Directory& dir : dirs)
        std::stable_sort(dir.slots.begin(), dir.slots.end(),
                         [](const Slot& a, const Slot& b) { return a.tag < b.tag; });
    return layout;
}

// Places every directory and value; the maker note at `noteAt` when that is not 0.
void place(Layout& layout, const ThumbnailDirectory* thumbnail, std::uint64_t noteAt)
{
    const std::uint64_t noteSize = noteAt != 0 ? layout.makerNote->size() : 0;
    Allocator allocator(8, noteAt, noteSize);
    for (Directory& dir : layout.dirs) {
        if (!dir.written)
            continue;
        dir.offset = allocator.Place(dir.tableSize());
        for (Slot& slot : dir.slots) {
            if (slot.entry == nullptr || slot.entry->size() <= 4)
                continue;
            slot.value = slot.entry == layout.makerNote && noteAt != 0
                             ? noteAt
                             : allocator.Place(slot.entry->size());
        }
    }
    if (layout.dirs[kDirIfd1].written && thumbnail != nullptr && !thumbnail->data.empty())
        layout.thumbnailAt = allocator.Place(thumbnail->data.size());
    layout.total = kTiffStart + allocator.End();
}

std::uint64_t limitOf(ExifBlockKind kind)
{
    return kind == ExifBlockKind::JpegSegment ? kJpegLimit : kTiffLimit;
}

const Slot* makerNoteSlot(const Layout& layout)
{
    for (const Slot& slot : layout.dirs[kDirExif].slots)
        if (slot.entry != nullptr && slot.entry == layout.makerNote)
            return &slot;
    return nullptr;
}

// Keeps the maker note where its offsets expect it, or moves its offsets with it.
Layout layOut(std::span<const ExifEntry* const> entries, ExifBlockKind kind,
              const ExifBlockSource& source)
{
    Layout layout = collect(entries, kind, source);
    place(layout, source.thumbnail, 0);
    const int order = source.byteOrder == exif::kMotorola ? exif::kMotorola : exif::kIntel;
    const ExifEntry* note = layout.makerNote;
    if (note == nullptr)
        return layout;
    const int noteOrder = source.makerNoteOrder != 0 ? source.makerNoteOrder : order;
    const MakerNoteShape shape =
        makerNoteShape(note->value(), noteOrder, source.makerNoteOffset, source.make);
    if (shape.layout == MakerNoteLayout::SelfContained || note->size() <= 4) {
        layout.placement = MakerNotePlacement::Moved;
        return layout;
    }
    const bool sameOrder = noteOrder == order;
    const std::uint64_t was = source.makerNoteOffset;
    if (sameOrder && was >= 8) {
        Layout kept = layout;
        place(kept, source.thumbnail, was);
        const std::uint64_t growth = kept.total > layout.total ? kept.total - layout.total : 0;
        if (kept.total <= limitOf(kind) &&
            (kind == ExifBlockKind::JpegSegment || growth <= kTiffPaddingLimit)) {
            kept.placement = MakerNotePlacement::SameOffset;
            return kept;
        }
    }
    const Slot* slot = makerNoteSlot(layout);
    if (sameOrder && slot != nullptr && shape.layout == MakerNoteLayout::OuterDirectory &&
        slot->value <= UINT32_MAX) {
        layout.rebasedNote = note->value();
        if (rebaseMakerNote(layout.rebasedNote, shape, noteOrder, source.makerNoteOffset,
                            static_cast<std::uint32_t>(slot->value))) {
            layout.placement = MakerNotePlacement::Rebased;
            return layout;
        }
        layout.rebasedNote.clear();
    }
    layout.placement = MakerNotePlacement::OffsetsMayBeInvalid;
    return layout;
}

// Values are kept little-endian; a big-endian block turns each value, as the reader did.
void turnValues(std::uint8_t* at, std::uint16_t type, std::size_t size)
{
    std::size_t step = exifTypeSize(type);
    if (type == kRational || type == kSRational)
        step = 4;
    if (step <= 1)
        return;
    for (std::size_t i = 0; i + step <= size; i += step) std::reverse(at + i, at + i + step);
}

class Writer {
public:
    Writer(std::vector<std::uint8_t>& bytes, int order) : m_bytes(bytes), m_order(order) {}

    void U16(std::uint64_t at, std::uint16_t value)
    {
        exif::writeU16(m_bytes, kTiffStart + at, m_order, value);
    }
    void U32(std::uint64_t at, std::uint32_t value)
    {
        exif::writeU32(m_bytes, kTiffStart + at, m_order, value);
    }
    void Value(std::uint64_t at, const std::uint8_t* data, std::size_t size, std::uint16_t type,
               bool raw)
    {
        std::uint8_t* target = m_bytes.data() + kTiffStart + at;
        std::memcpy(target, data, size);
        if (!raw && m_order == exif::kMotorola)
            turnValues(target, type, size);
    }

private:
    std::vector<std::uint8_t>& m_bytes;
    int m_order;
};

// The value of an IFD1 slot that points at the thumbnail's data, moved to its new place.
std::vector<std::uint8_t> thumbnailPointer(const ExifEntry& entry, std::uint64_t dataAt,
                                           const ThumbnailDirectory& thumbnail)
{
    std::vector<std::uint8_t> value = entry.value();
    if (entry.type() != kLong)
        return value;  // the reader made them LONG
    if (entry.tag() == kJpegThumbnailOffset) {
        exif::writeU32(value, 0, exif::kIntel, static_cast<std::uint32_t>(dataAt));
        return value;
    }
    const ExifEntry* lengths = nullptr;
    for (const ExifEntry& other : thumbnail.entries)
        if (other.tag() == kTagStripByteCounts)
            lengths = &other;
    if (lengths == nullptr || lengths->count() != entry.count())
        return value;
    std::uint64_t at = dataAt;
    for (std::uint32_t i = 0; i < entry.count(); ++i) {
        exif::writeU32(value, std::size_t{i} * 4, exif::kIntel, static_cast<std::uint32_t>(at));
        at += static_cast<std::uint64_t>(lengths->GetNumber(i));
    }
    return value;
}

void writeDirectory(Writer& out, const Layout& layout, int index,
                    const ThumbnailDirectory* thumbnail)
{
    const Directory& dir = layout.dirs[index];
    out.U16(dir.offset, static_cast<std::uint16_t>(dir.slots.size()));
    std::uint64_t at = dir.offset + 2;
    for (const Slot& slot : dir.slots) {
        out.U16(at, slot.tag);
        if (slot.empty != nullptr) {
            out.U16(at + 2, slot.empty->type);
            at += 12;  // count and value stay 0
            continue;
        }
        if (slot.target >= 0) {
            out.U16(at + 2, kLong);
            out.U32(at + 4, 1);
            out.U32(at + 8, static_cast<std::uint32_t>(layout.dirs[slot.target].offset));
            at += 12;
            continue;
        }
        const ExifEntry& entry = *slot.entry;
        std::vector<std::uint8_t> moved;
        const std::vector<std::uint8_t>* value = &entry.value();
        bool raw = false;
        if (index == kDirIfd1 && thumbnail != nullptr &&
            (entry.tag() == kJpegThumbnailOffset || entry.tag() == kTagStripOffsets)) {
            moved = thumbnailPointer(entry, layout.thumbnailAt, *thumbnail);
            value = &moved;
        } else if (&entry == layout.makerNote && !layout.rebasedNote.empty()) {
            value = &layout.rebasedNote;
            raw = true;
        }
        out.U16(at + 2, entry.type());
        out.U32(at + 4, entry.count());
        if (value->size() <= 4) {
            out.Value(at + 8, value->data(), value->size(), entry.type(), raw);
        } else {
            out.U32(at + 8, static_cast<std::uint32_t>(slot.value));
            out.Value(slot.value, value->data(), value->size(), entry.type(), raw);
        }
        at += 12;
    }
    const bool chained = index == kDirIfd0 && layout.dirs[kDirIfd1].written;
    out.U32(at, chained ? static_cast<std::uint32_t>(layout.dirs[kDirIfd1].offset) : 0);
}

bool fitsLimits(const Layout& layout, ExifBlockKind kind)
{
    if (layout.dirs[kDirIfd0].slots.empty())
        return false;  // a directory without entries is not valid
    for (const Directory& dir : layout.dirs)
        if (dir.slots.size() > 65535)
            return false;
    return layout.total <= limitOf(kind);
}

}  // namespace

bool isWrittenToBlock(const ExifEntry& entry, ExifBlockKind kind)
{
    if (!entry.IsComplete() || exifTypeSize(entry.type()) == 0 || entry.IsDerived())
        return false;
    const std::uint16_t ifd = entry.ifd();
    if (ifd != kIfd0 && ifd != kExifIfd && ifd != kInteropIfd && ifd != kGpsIfd)
        return false;
    // Pointers are made by the layout; a stored one would point into the old file.
    const std::uint16_t tag = entry.tag();
    if (ifd != kInteropIfd && (tag == kExifIfd || tag == kInteropIfd || tag == kGpsIfd))
        return false;
    return kind == ExifBlockKind::TiffFile || entry.size() < kJpegLimit;
}

std::optional<std::uint64_t> exifBlockSize(std::span<const ExifEntry* const> entries,
                                           ExifBlockKind kind, const ExifBlockSource& source)
{
    const Layout layout = layOut(entries, kind, source);
    if (!fitsLimits(layout, kind))
        return std::nullopt;
    return layout.total;
}

std::optional<std::vector<std::uint8_t>> buildExifBlock(std::span<const ExifEntry* const> entries,
                                                        ExifBlockKind kind,
                                                        const ExifBlockSource& source,
                                                        MakerNotePlacement* placement)
{
    const int order = source.byteOrder == exif::kMotorola ? exif::kMotorola : exif::kIntel;
    const Layout layout = layOut(entries, kind, source);
    if (!fitsLimits(layout, kind))
        return std::nullopt;
    std::vector<std::uint8_t> bytes(layout.total, 0);
    bytes[0] = 0xFF;
    bytes[1] = 0xE1;
    const std::uint64_t length = std::min<std::uint64_t>(layout.total - 2, 0xFFFF);
    bytes[2] = static_cast<std::uint8_t>(length >> 8);
    bytes[3] = static_cast<std::uint8_t>(length);
    std::memcpy(bytes.data() + 4, "Exif\0\0", 6);
    std::memcpy(bytes.data() + kTiffStart, order == exif::kMotorola ? "MM" : "II", 2);
    Writer out(bytes, order);
    out.U16(2, 42);
    out.U32(4, static_cast<std::uint32_t>(layout.dirs[kDirIfd0].offset));
    for (int index = 0; index < kDirCount; ++index)
        if (layout.dirs[index].written)
            writeDirectory(out, layout, index, source.thumbnail);
    if (layout.thumbnailAt != 0)
        std::memcpy(bytes.data() + kTiffStart + layout.thumbnailAt, source.thumbnail->data.data(),
                    source.thumbnail->data.size());
    if (placement != nullptr)
        *placement = layout.placement;
    return bytes;
}

}  // namespace tavelune
