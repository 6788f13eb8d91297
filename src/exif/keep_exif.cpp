// The software tags, orientation and thumbnail of EXIF data kept through a conversion.
#include "exif/keep_exif.h"

#include <algorithm>
#include <new>

#include "engine/fit_within_rows.h"
#include "engine/image.h"
#include "engine/jpeg_codec.h"
#include "engine/jpeg_strips.h"
#include "exif/entry_values.h"

namespace tavelune {
namespace {

constexpr int kThumbnailWidth = 160;
constexpr int kThumbnailHeight = 120;
constexpr int kThumbnailQuality = 75;

// The longer side that brings a picture within 160 x 120 with its proportions kept.
int thumbnailSide(int width, int height)
{
    if (width * 3 >= height * 4)
        return kThumbnailWidth;
    if (height >= width)
        return kThumbnailHeight;
    return std::max(1, kThumbnailHeight * width / height);
}

// Read row by row and reduced on the way: only the rows the reduction blends are kept, never
// the whole picture.
bool makeThumbnail(JpegStripReader& reader, std::vector<std::uint8_t>& out)
{
    if (reader.width() < 1 || reader.height() < 1)
        return false;
    FitWithinRows reduction;
    std::vector<std::uint32_t> row;
    try {
        row.resize(size_t(reader.width()));
    } catch (const std::bad_alloc&) {
        return false;
    }
    if (!reduction.start(reader.width(), reader.height(),
                         thumbnailSide(reader.width(), reader.height())))
        return false;
    for (int y = 0; y < reader.height(); ++y)
        if (!reader.readRows(row.data(), 0, 1) || !reduction.takeRow(y, row.data()))
            return false;
    Image picture;
    if (!reader.finish() || !reduction.finish(picture, reader.dpi()))
        return false;
    return encodeJpegStream(picture, kThumbnailQuality, out);
}

// The software tags and orientation of a kept model; false when they cannot be set.
bool markRewritten(ExifData& exif, bool pixelsUpright)
{
    // Pixels left as they were keep the orientation that says how to show them.
    ExifEntry* orientation = exif.FindEntry(kIfd0, kTagOrientation);
    if (orientation != nullptr && pixelsUpright)
        setShortValue(orientation, 1);
    return setTextValue(exif.FindEntry(kIfd0, kTagSoftware, EntryLookup::Create), kProductText) &&
           setTextValue(exif.FindEntry(kExifIfd, kTagExtendSoftware, EntryLookup::Create),
                        kProductText);
}

}  // namespace

bool makeExifThumbnail(const std::string& jpegPath, std::vector<std::uint8_t>& out)
{
    JpegStripReader reader;
    return reader.open(jpegPath) && makeThumbnail(reader, out);
}

bool writeKeptExif(ExifData& exif, const std::string& jpegPath, bool pixelsUpright,
                   const char* format)
{
    if (exif.IsEmpty() || !markRewritten(exif, pixelsUpright))
        return false;
    // The source's thumbnail shows the picture before the conversion; one of the saved
    // picture replaces it. Without one the file gets no thumbnail rather than a wrong one.
    std::vector<std::uint8_t> thumbnail;
    if (!makeExifThumbnail(jpegPath, thumbnail))
        thumbnail.clear();
    exif.SetThumbnail(std::move(thumbnail));
    return exif.SaveExif(jpegPath, format).ok();
}

bool keepExifInJpeg(ExifData& exif, std::vector<std::uint8_t>& jpeg, bool pixelsUpright)
{
    if (exif.IsEmpty() || !markRewritten(exif, pixelsUpright))
        return false;
    std::vector<std::uint8_t> thumbnail;
    JpegStripReader reader;
    if (!reader.openMemory(jpeg.data(), jpeg.size()) || !makeThumbnail(reader, thumbnail))
        thumbnail.clear();
    exif.SetThumbnail(std::move(thumbnail));
    return exif.SaveExifIntoJpeg(jpeg);
}

}  // namespace tavelune
