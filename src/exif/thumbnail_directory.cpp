// Reading IFD1 and its thumbnail out of a TIFF block, and making one for a new thumbnail.
#include "exif/thumbnail_directory.h"

#include "exif/byte_order.h"

namespace tavelune {
namespace {

const ExifEntry* find(const std::vector<ExifEntry>& entries, std::uint16_t tag)
{
    for (const ExifEntry& entry : entries)
        if (entry.tag() == tag)
            return &entry;
    return nullptr;
}

bool appendRun(std::span<const std::uint8_t> tiff, double offset, double length,
               std::vector<std::uint8_t>& into)
{
    if (!(offset >= 0 && length >= 0 && offset + length <= double(tiff.size())))
        return false;
    const auto from = static_cast<std::size_t>(offset);
    into.insert(
        into.end(), tiff.begin() + static_cast<std::ptrdiff_t>(from),
        tiff.begin() + static_cast<std::ptrdiff_t>(from + static_cast<std::size_t>(length)));
    return true;
}

}  // namespace

std::optional<ThumbnailDirectory> readThumbnailDirectory(std::span<const std::uint8_t> tiff)
{
    if (tiff.size() < 8)
        return std::nullopt;
    const int order = tiff[0] == 'I' && tiff[1] == 'I'   ? exif::kIntel
                      : tiff[0] == 'M' && tiff[1] == 'M' ? exif::kMotorola
                                                         : 0;
    if (order == 0)
        return std::nullopt;
    const std::uint32_t ifd0 = exif::readU32(tiff, 4, order).value_or(0);
    const auto count0 = exif::readU16(tiff, ifd0, order);
    if (!count0)
        return std::nullopt;
    const auto ifd1 =
        exif::readU32(tiff, std::uint64_t{ifd0} + 2 + 12 * std::uint64_t{*count0}, order);
    if (!ifd1 || *ifd1 < 8 || *ifd1 == ifd0)
        return std::nullopt;
    const auto count = exif::readU16(tiff, *ifd1, order);
    if (!count || *count == 0 || !exif::fits(*ifd1 + 2ull, 12ull * *count, tiff.size()))
        return std::nullopt;

    ThumbnailDirectory thumbnail;
    thumbnail.last = exif::readU32(tiff, *ifd1 + 2ull + 12ull * *count, order).value_or(1) == 0;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t at = *ifd1 + 2 + std::size_t{i} * 12;
        const std::uint16_t tag = exif::readU16(tiff, at, order).value_or(0);
        const std::uint16_t type = exif::readU16(tiff, at + 2, order).value_or(0);
        const std::uint32_t values = exif::readU32(tiff, at + 4, order).value_or(0);
        const std::uint64_t bytes = std::uint64_t{values} * exifTypeSize(type);
        std::uint64_t valueAt = at + 8;
        if (bytes > 4) {
            valueAt = exif::readU32(tiff, at + 8, order).value_or(0);
            if (!exif::fits(valueAt, bytes, tiff.size()))
                continue;
        }
        ExifEntry entry;
        if (!entry.SetFromRaw(kIfd0, tag, type, values, tiff.data() + valueAt, order))
            continue;
        // Offsets become LONG, so that the new place of the data always fits.
        if ((tag == kJpegThumbnailOffset || tag == kTagStripOffsets) && type == kShort) {
            std::vector<std::uint8_t> wide(std::size_t{values} * 4, 0);
            for (std::uint32_t k = 0; k < values; ++k)
                exif::writeU32(wide, std::size_t{k} * 4, exif::kIntel,
                               static_cast<std::uint32_t>(entry.GetNumber(k)));
            entry.SetFromRaw(kIfd0, tag, kLong, values, wide.data(), exif::kIntel);
        }
        thumbnail.entries.push_back(std::move(entry));
    }

    const ExifEntry* jpegOffset = find(thumbnail.entries, kJpegThumbnailOffset);
    const ExifEntry* jpegLength = find(thumbnail.entries, kJpegThumbnailLength);
    const ExifEntry* strips = find(thumbnail.entries, kTagStripOffsets);
    const ExifEntry* stripLengths = find(thumbnail.entries, kTagStripByteCounts);
    if (jpegOffset != nullptr || jpegLength != nullptr) {
        if (jpegOffset == nullptr || jpegLength == nullptr || jpegOffset->count() != 1 ||
            !appendRun(tiff, jpegOffset->GetNumber(0), jpegLength->GetNumber(0), thumbnail.data))
            return std::nullopt;
    }
    if (strips != nullptr || stripLengths != nullptr) {
        if (strips == nullptr || stripLengths == nullptr ||
            strips->count() != stripLengths->count() || !thumbnail.data.empty())
            return std::nullopt;
        for (std::uint32_t i = 0; i < strips->count(); ++i)
            if (!appendRun(tiff, strips->GetNumber(i), stripLengths->GetNumber(i), thumbnail.data))
                return std::nullopt;
    }
    return thumbnail;
}

ThumbnailDirectory jpegThumbnailDirectory(std::vector<std::uint8_t> jpeg)
{
    ThumbnailDirectory thumbnail;
    auto add = [&thumbnail](std::uint16_t tag, std::uint16_t type, std::uint32_t a,
                            std::uint32_t b = 0) {
        std::uint8_t bytes[8] = {};
        if (type == kShort)
            exif::writeU16(bytes, 0, exif::kIntel, static_cast<std::uint16_t>(a));
        else
            exif::writeU32(bytes, 0, exif::kIntel, a);
        exif::writeU32(bytes, 4, exif::kIntel, b);
        ExifEntry entry;
        entry.SetFromRaw(kIfd0, tag, type, 1, bytes, exif::kIntel);
        thumbnail.entries.push_back(std::move(entry));
    };
    add(kTagCompression, kShort, 6);
    add(kTagXResolution, kRational, 72, 1);
    add(kTagYResolution, kRational, 72, 1);
    add(kTagResolutionUnit, kShort, 2);
    add(kJpegThumbnailOffset, kLong, 0);
    add(kJpegThumbnailLength, kLong, static_cast<std::uint32_t>(jpeg.size()));
    thumbnail.data = std::move(jpeg);
    return thumbnail;
}

}  // namespace tavelune
