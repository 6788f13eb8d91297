// Lays out the three directories of the Exif block and their value areas.
#include "exif/exif_block.h"

#include <algorithm>
#include <cstring>

#include "exif/byte_order.h"

namespace tavelune {
namespace {

constexpr std::size_t kTiffStart = 10;  // the TIFF header follows marker, length and "Exif\0\0"
constexpr std::uint64_t kJpegLimit = 65535;
constexpr std::uint64_t kTiffLimit = UINT32_MAX;

struct Directory {
    std::vector<const ExifEntry*> entries;
    std::uint64_t values = 0;  // bytes of the value area, each value padded to even
    std::uint64_t offset = 0;  // from the TIFF header

    std::uint64_t size(bool withPointer) const
    {
        return 2 + 12 * (entries.size() + (withPointer ? 1 : 0)) + 4 + values;
    }
};

std::uint64_t paddedSize(const ExifEntry& entry)
{
    const std::uint64_t size = entry.size();
    return size <= 4 ? 0 : size + (size & 1);
}

struct Layout {
    Directory ifd0, exif, interop;
    bool hasExif = false;
    bool hasInterop = false;
    std::uint64_t total = 0;
};

Layout layOut(std::span<const ExifEntry* const> entries, ExifBlockKind kind)
{
    Layout layout;
    for (const ExifEntry* entry : entries) {
        if (entry == nullptr || !isWrittenToBlock(*entry, kind))
            continue;
        Directory& directory = entry->ifd() == kIfd0      ? layout.ifd0
                               : entry->ifd() == kExifIfd ? layout.exif
                                                          : layout.interop;
        directory.entries.push_back(entry);
        directory.values += paddedSize(*entry);
    }
    layout.hasInterop = !layout.interop.entries.empty();
    layout.hasExif = layout.hasInterop || !layout.exif.entries.empty();
    layout.ifd0.offset = 8;
    layout.exif.offset = layout.ifd0.offset + layout.ifd0.size(layout.hasExif);
    layout.interop.offset = layout.exif.offset + layout.exif.size(layout.hasInterop);
    layout.total =
        kTiffStart + (layout.hasInterop ? layout.interop.offset + layout.interop.size(false)
                      : layout.hasExif  ? layout.interop.offset
                                        : layout.exif.offset);
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

void writeDirectory(std::vector<std::uint8_t>& bytes, const Directory& directory,
                    std::uint16_t pointerTag, std::uint64_t pointerTarget)
{
    const std::size_t count = directory.entries.size() + (pointerTag != 0 ? 1 : 0);
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
    if (pointerTag != 0) {
        putU16(bytes, slot, pointerTag);
        putU16(bytes, slot + 2, kLong);
        putU32(bytes, slot + 4, 1);
        putU32(bytes, slot + 8, static_cast<std::uint32_t>(pointerTarget));
        slot += 12;
    }
    putU32(bytes, slot, 0);  // no next directory: IFD1 is never written
}

}  // namespace

bool isWrittenToBlock(const ExifEntry& entry, ExifBlockKind kind)
{
    if (!entry.IsComplete() || exifTypeSize(entry.type()) == 0)
        return false;
    if (entry.ifd() != kIfd0 && entry.ifd() != kExifIfd && entry.ifd() != kInteropIfd)
        return false;
    // Pointers are made by the layout; a stored one would point into the old file.
    const std::uint16_t tag = entry.tag();
    if (entry.ifd() != kInteropIfd && (tag == kExifIfd || tag == kInteropIfd || tag == 34853))
        return false;
    return kind == ExifBlockKind::TiffFile || entry.size() < kJpegLimit;
}

std::optional<std::uint64_t> exifBlockSize(std::span<const ExifEntry* const> entries,
                                           ExifBlockKind kind)
{
    const Layout layout = layOut(entries, kind);
    const std::uint64_t limit = kind == ExifBlockKind::JpegSegment ? kJpegLimit : kTiffLimit;
    // A directory counts its entries in 16 bits.
    if (!layout.hasExif && layout.ifd0.entries.empty())
        return std::nullopt;  // a directory without entries is not valid
    if (layout.total > limit || layout.ifd0.entries.size() >= 65535 ||
        layout.exif.entries.size() >= 65535 || layout.interop.entries.size() >= 65535)
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
    writeDirectory(bytes, layout.ifd0, layout.hasExif ? kExifIfd : 0, layout.exif.offset);
    if (layout.hasExif)
        writeDirectory(bytes, layout.exif, layout.hasInterop ? kInteropIfd : 0,
                       layout.interop.offset);
    if (layout.hasInterop)
        writeDirectory(bytes, layout.interop, 0, 0);
    return bytes;
}

}  // namespace tavelune
