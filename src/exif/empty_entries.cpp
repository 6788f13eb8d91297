// Finding the value-less entries of a TIFF block's directories.
#include "exif/empty_entries.h"

#include "exif/byte_order.h"
#include "exif/exif_entry.h"

namespace tavelune {
namespace {

void scan(std::span<const std::uint8_t> tiff, int order, std::uint64_t offset, std::uint16_t ifd,
          int depth, std::vector<EmptyEntry>& out)
{
    const auto count = exif::readU16(tiff, offset, order);
    if (depth > 2 || !count || !exif::fits(offset + 2, 12ull * *count, tiff.size()))
        return;
    for (std::uint32_t i = 0; i < *count; ++i) {
        const std::size_t at = offset + 2 + std::size_t{i} * 12;
        const std::uint16_t tag = exif::readU16(tiff, at, order).value_or(0);
        const std::uint16_t type = exif::readU16(tiff, at + 2, order).value_or(0);
        const std::uint32_t values = exif::readU32(tiff, at + 4, order).value_or(0);
        const bool pointer = (ifd == kIfd0 && (tag == kExifIfd || tag == kGpsIfd)) ||
                             (ifd == kExifIfd && tag == kInteropIfd);
        if (pointer && values == 1)
            scan(tiff, order, exif::readU32(tiff, at + 8, order).value_or(0), tag, depth + 1, out);
        else if (values == 0 && exifTypeSize(type) != 0)
            out.push_back({ifd, tag, type});
    }
}

}  // namespace

std::vector<EmptyEntry> readEmptyEntries(std::span<const std::uint8_t> tiff)
{
    std::vector<EmptyEntry> out;
    if (tiff.size() < 8)
        return out;
    const int order = tiff[0] == 'I' && tiff[1] == 'I'   ? exif::kIntel
                      : tiff[0] == 'M' && tiff[1] == 'M' ? exif::kMotorola
                                                         : 0;
    if (order != 0)
        scan(tiff, order, exif::readU32(tiff, 4, order).value_or(0), kIfd0, 0, out);
    return out;
}

}  // namespace tavelune
