// Pictures and models for the writer tests: files made by our codecs, a full shooting model.
#pragma once

#include <sys/stat.h>

#include <cstdio>
#include <string>
#include <vector>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "exif/byte_order.h"
#include "exif/entry_values.h"
#include "exif/exif_data.h"
#include "support/test_support.h"

namespace tavelune::test {

using Bytes = std::vector<std::uint8_t>;

/// Little-endian fields of a block the writer built (it always writes Intel order).
inline std::uint16_t le16(const Bytes& b, std::size_t at)
{
    return exif::readU16(b, at, exif::kIntel).value();
}
inline std::uint32_t le32(const Bytes& b, std::size_t at)
{
    return exif::readU32(b, at, exif::kIntel).value();
}

/// A small colour gradient, so that compressed data is not trivial.
inline Image gradientPicture(int width = 24, int height = 16)
{
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels[static_cast<std::size_t>(y) * width + x] =
                0xFF000000u | (std::uint32_t(x * 10) << 16) | (std::uint32_t(y * 15) << 8) | 0x40u;
    Image picture;
    picture.create(width, height, 72.0f, pixels.data());
    return picture;
}

/// Writes the gradient with our codec: JPEG (with its JFIF APP0) or TIFF (compression 1 or 5).
inline bool writePicture(const std::string& path, int options = 0)
{
    return saveImage(path, gradientPicture(), {}, options).ok();
}

/// The entries a camera would write, one of each kind of value the writer handles.
inline void fillShootingModel(ExifData& exif)
{
    exif.Clear();
    setTextValue(exif.FindEntry(kIfd0, 271, EntryLookup::Create), "Canon");
    setTextValue(exif.FindEntry(kIfd0, 272, EntryLookup::Create), "EOS-1V");  // 7 bytes: padded
    setShortValue(exif.FindEntry(kIfd0, 274, EntryLookup::Create), 6);
    setRationalValue(exif.FindEntry(kIfd0, 282, EntryLookup::Create), 300);
    setRationalValue(exif.FindEntry(kIfd0, 283, EntryLookup::Create), 300);
    setShortValue(exif.FindEntry(kIfd0, 296, EntryLookup::Create), 2);
    setTextValue(exif.FindEntry(kIfd0, 306, EntryLookup::Create), "2024:05:02 08:00:00");
    setRationalValue(exif.FindEntry(kExifIfd, 33434, EntryLookup::Create), 1.0 / 125);
    setRationalValue(exif.FindEntry(kExifIfd, 33437, EntryLookup::Create), 5.6);
    setShortValue(exif.FindEntry(kExifIfd, 34855, EntryLookup::Create), 400);
    exif.FindEntry(kExifIfd, 36864,
                   EntryLookup::Create);  // ExifVersion "0221", four bytes inside its entry
    setTextValue(exif.FindEntry(kExifIfd, 36867, EntryLookup::Create), "2024:05:01 10:30:00");
    setTextValue(exif.FindEntry(kExifIfd, 36868, EntryLookup::Create), "2024:05:01 10:31:00");
    setSRationalValue(exif.FindEntry(kExifIfd, 37380, EntryLookup::Create), -2.0 / 3);
    setRationalValue(exif.FindEntry(kExifIfd, 37386, EntryLookup::Create), 50);
    setShortValue(exif.FindEntry(kExifIfd, 41989, EntryLookup::Create), 50);
    setTextValue(exif.FindEntry(kExifIfd, 44992, EntryLookup::Create), "Tavelune 1.6.2");
    setTextValue(exif.FindEntry(kExifIfd, 44993, EntryLookup::Create), "Canon EF 50/1.8");
    setTextValue(exif.FindEntry(kExifIfd, 44994, EntryLookup::Create),
                 "Fujifilm Fujichrome Velvia Prof.");
    setTextValue(exif.FindEntry(kExifIfd, 44995, EntryLookup::Create), "B+W 021 light yellow");
    setTextValue(exif.FindEntry(kExifIfd, 44996, EntryLookup::Create), "Nikon Coolscan 4000 ED");
    setTextValue(exif.FindEntry(kExifIfd, 44997, EntryLookup::Create), "Canon 550EX");
    setTextValue(exif.FindEntry(kInteropIfd, 1, EntryLookup::Create), "R98");
}

inline mode_t fileMode(const std::string& path)
{
    struct stat info {};
    ::stat(path.c_str(), &info);
    return info.st_mode & 07777;
}

}  // namespace tavelune::test
