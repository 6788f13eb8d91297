// The format name the EXIF writers go by.
#include "exif/writer_support.h"

#include <cctype>

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
    switch (exifContainerOf(splitFileName(path).extension)) {
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

std::string exifFileFormat(const std::string& path, const char* format)
{
    std::string kind;
    if (format != nullptr && *format != 0) {
        kind = format;
    } else {
        const std::size_t slash = path.find_last_of('/');
        const std::size_t dot = path.find_last_of('.');
        if (dot != std::string::npos && (slash == std::string::npos || dot > slash))
            kind = path.substr(dot + 1);
    }
    for (char& c : kind) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    if (kind == "JPG")
        return "JPEG";
    if (kind == "TIF")
        return "TIFF";
    return kind;
}

}  // namespace tavelune
