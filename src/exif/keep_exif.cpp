// The software tags and orientation of EXIF data kept through a conversion.
#include "exif/keep_exif.h"

#include "exif/entry_values.h"

namespace tavelune {

bool writeKeptExif(ExifData& exif, const std::string& jpegPath, bool pixelsUpright,
                   const char* format)
{
    if (exif.IsEmpty())
        return false;
    // Pixels left as they were keep the orientation that says how to show them.
    ExifEntry* orientation = exif.FindEntry(kIfd0, 274);
    if (orientation != nullptr && pixelsUpright)
        setShortValue(orientation, 1);
    if (!setTextValue(exif.FindEntry(kIfd0, 305, 1), kProductText) ||
        !setTextValue(exif.FindEntry(kExifIfd, 44992, 1), kProductText))
        return false;
    return exif.SaveExif(jpegPath, format);
}

}  // namespace tavelune
