// The format name the EXIF writers go by.
#include "exif/writer_support.h"

#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "exif/container_exif.h"

namespace tavelune {

bool changesExifInPlace(const std::string& path)
{
    const FormatRow* row = findFormat(splitFileName(path).extension);
    return row != nullptr && row->exifInPlace;
}

InPlaceRefusal inPlaceRefusal(const std::string& path)
{
    if (changesExifInPlace(path))
        return InPlaceRefusal::None;
    const std::optional<ImageFormat> format = formatOfPath(path);
    switch (format ? exifContainerOf(*format) : ExifContainer::None) {
        case ExifContainer::TiffRaw:
        case ExifContainer::Raw:
            return InPlaceRefusal::CameraRaw;
        case ExifContainer::Heif:
        case ExifContainer::Webp:
        case ExifContainer::Png:
            return InPlaceRefusal::ShownOnly;
        case ExifContainer::None:
            break;
    }
    return InPlaceRefusal::NotJpegOrTiff;
}

std::optional<ImageFormat> exifFileFormat(const std::string& path,
                                          std::optional<ImageFormat> format)
{
    return format ? format : formatOfPath(path);
}

}  // namespace tavelune
