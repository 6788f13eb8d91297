// Lays out the directories of the Exif block and their value areas.
#include "exif/exif_block.h"

#include <algorithm>
#include <cstring>

#include "exif/byte_order.h"

namespace tavelune {
namespace {

constexpr std::size_t kTiffStart = 10;  // the TIFF header follows marker, length and "Exif\0\0"
constexpr std::uint64_t kJpegLimit = 65535;
constexpr std::uint64_t kTiffLimit = UINT32_MAX;

struct Pointer {
    std::uint16_t tag;
    std::uint64_t target;
};

struct Directory {
    std::vector<const ExifEntry*> entries;
    std::vector<Pointer> pointers;  // written after the entries, in this order
    std::uint64_t values = 0;       // bytes of the value area, each value padded to even
    std::uint64_t offset = 0;       // from the TIFF header

    std::uint64_t count() const { return entries.size() + pointers.size(); }
    std::uint64_t size() const { return 2 + 12 * count() + 4 + values; }
};

std::uint64_t paddedSize(const ExifEntry& entry)
{
    const std::uint64_t size = entry.size();
    return size <= 4 ? 0 : size + (size & 1);
}

struct Layout {
    Directory ifd0, exif, interop, gps;
    bool hasExif = false;
    bool hasInterop = false;
    bool hasGps = false;
    std::uint64_t total = 0;
};

Directory& directoryOf(Layout& layout, std::uint16_t ifd)
{
    switch (ifd) {
        case kIfd0:
            return layout.ifd0;
        case kExifIfd:
            return layout.exif;
        case kGpsIfd:
            return layout.gps;
        default:
            return layout.interop;
    }
}

// Directories follow one another in the order IFD0, Exif, Interoperability, GPS; a pointer is
// only written to a directory that is.
Layout layOut(std::span<const ExifEntry* const> entries, ExifBlockKind kind)
{
    Layout layout;
    for (const ExifEntry* entry : entries) {
        if (entry == nullptr || !isWrittenToBlock(*entry, kind))
            continue;
        Directory& directory = directoryOf(layout, entry->ifd());
        directory.entries.push_back(entry);
        directory.values += paddedSize(*entry);
    }
    layout.hasInterop = !layout.interop.entries.empty();
    layout.hasExif = layout.hasInterop || !layout.exif.entries.empty();
    layout.hasGps = !layout.gps.entries.empty();
    if (layout.hasExif)
        layout.ifd0.pointers.push_back({kExifIfd, 0});
    if (layout.hasGps)
        layout.ifd0.pointers.push_back({kGpsIfd, 0});
    if (layout.hasInterop)
        layout.exif.pointers.push_back({kInteropIfd, 0});

    layout.ifd0.offset = 8;
    std::uint64_t end = layout.ifd0.offset + layout.ifd0.size();
    auto place = [&end](Directory& directory) {
        directory.offset = end;
        end += directory.size();
    };
    if (layout.hasExif)
        place(layout.exif);
    if (layout.hasInterop)
        place(layout.interop);
    if (layout.hasGps)
        place(layout.gps);
    for (Pointer& pointer : layout.ifd0.pointers)
        pointer.target = pointer.tag == kExifIfd ? layout.exif.offset : layout.gps.offset;
    for (Pointer& pointer : layout.exif.pointers) pointer.target = layout.interop.offset;
    layout.total = kTiffStart + end;
    return layout;
}

void putU16(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint16_t value)
{
    exif::writeU16(bytes, kTiffStart + at, exif::kIntel, value);
}

void putU32(std::vector<std::uint8_t>& bytes, std::uint64_t at, std::uint32_t value)
{
    exif::writeU32(bytes, kTiffStart + at, exif::kIntel, value);
}

void writeDirectory(std::vector<std::uint8_t>& bytes, const Directory& directory)
{
    const std::uint64_t count = directory.count();
    putU16(bytes, directory.offset, static_cast<std::uint16_t>(count));
    std::uint64_t slot = directory.offset + 2;
    std::uint64_t value = directory.offset + 2 + 12 * count + 4;
    for (const ExifEntry* entry : directory.entries) {
        putU16(bytes, slot, entry->tag());
        putU16(bytes, slot + 2, entry->type());
        putU32(bytes, slot + 4, entry->count());
        const std::vector<std::uint8_t>& data = entry->value();
        if (data.size() <= 4) {
            std::memcpy(bytes.data() + kTiffStart + slot + 8, data.data(), data.size());
        } else {
            putU32(bytes, slot + 8, static_cast<std::uint32_t>(value));
            std::memcpy(bytes.data() + kTiffStart + value, data.data(), data.size());
            value += paddedSize(*entry);
        }
        slot += 12;
    }
    for (const Pointer& pointer : directory.pointers) {
        putU16(bytes, slot, pointer.tag);
        putU16(bytes, slot + 2, kLong);
        putU32(bytes, slot + 4, 1);
        putU32(bytes, slot + 8, static_cast<std::uint32_t>(pointer.target));
        slot += 12;
    }
    putU32(bytes, slot, 0);  // no next directory: IFD1 is never written
}

}  // namespace

bool isWrittenToBlock(const ExifEntry& entry, ExifBlockKind kind)
{
    if (!entry.IsComplete() || exifTypeSize(entry.type()) == 0)
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
                                           ExifBlockKind kind)
{
    const Layout layout = layOut(entries, kind);
    const std::uint64_t limit = kind == ExifBlockKind::JpegSegment ? kJpegLimit : kTiffLimit;
    if (layout.ifd0.count() == 0)
        return std::nullopt;  // a directory without entries is not valid
    // A directory counts its entries, pointers included, in 16 bits.
    for (const Directory* directory : {&layout.ifd0, &layout.exif, &layout.interop, &layout.gps})
        if (directory->count() > 65535)
            return std::nullopt;
    if (layout.total > limit)
        return std::nullopt;
    return layout.total;
}

std::optional<std::vector<std::uint8_t>> buildExifBlock(std::span<const ExifEntry* const> entries,
                                                        ExifBlockKind kind)
{
    if (!exifBlockSize(entries, kind))
        return std::nullopt;
    const Layout layout = layOut(entries, kind);
    std::vector<std::uint8_t> bytes(layout.total, 0);
    bytes[0] = 0xFF;
    bytes[1] = 0xE1;
    const std::uint64_t length = std::min<std::uint64_t>(layout.total - 2, 0xFFFF);
    bytes[2] = static_cast<std::uint8_t>(length >> 8);
    bytes[3] = static_cast<std::uint8_t>(length);
    std::memcpy(bytes.data() + 4, "Exif\0\0", 6);
    std::memcpy(bytes.data() + kTiffStart, "II", 2);
    putU16(bytes, 2, 42);
    putU32(bytes, 4, 8);
    writeDirectory(bytes, layout.ifd0);
    if (layout.hasExif)
        writeDirectory(bytes, layout.exif);
    if (layout.hasInterop)
        writeDirectory(bytes, layout.interop);
    if (layout.hasGps)
        writeDirectory(bytes, layout.gps);
    return bytes;
}

}  // namespace tavelune
