// The software tags, orientation and thumbnail of EXIF data kept through a conversion.
#include "exif/keep_exif.h"

#include <algorithm>
#include <cstdio>
#include <new>
#include <optional>

#include "engine/codec_support.h"
#include "engine/fit_within_rows.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image.h"
#include "engine/jpeg_codec.h"
#include "engine/jpeg_strips.h"
#include "engine/safe_write.h"
#include "engine/webp_codec.h"
#include "exif/entry_values.h"
#include "exif/writer_support.h"

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

// The pixel dimensions a camera wrote describe its picture, not the one saved here.
void markWrittenSize(ExifData& exif, int width, int height)
{
    if (ExifEntry* x = exif.FindEntry(kExifIfd, kTagPixelXDimension))
        setLongValue(x, std::uint32_t(width));
    if (ExifEntry* y = exif.FindEntry(kExifIfd, kTagPixelYDimension))
        setLongValue(y, std::uint32_t(height));
}

bool isWebp(const std::string& path, std::optional<ImageFormat> format)
{
    return exifFileFormat(path, format) == ImageFormat::Webp;
}

// A WebP file's EXIF chunk holds the directories alone: its picture has no EXIF thumbnail.
bool writeKeptExifIntoWebp(ExifData& exif, const std::string& path)
{
    exif.SetThumbnail({});
    const std::optional<std::vector<std::uint8_t>> tiff = exif.BuildTiffStructure();
    std::vector<std::uint8_t> file;
    if (!tiff || !readWholeFile(path, file))
        return false;
    std::string webp(file.begin(), file.end());
    if (!setWebpExifChunk(webp, *tiff))
        return false;
    return writeViaTemporary(path, [&](const std::string& temporary) {
        std::FILE* out = std::fopen(temporary.c_str(), "wb");
        if (out == nullptr)
            return false;
        const bool written = std::fwrite(webp.data(), 1, webp.size(), out) == webp.size();
        return std::fclose(out) == 0 && written;
    });
}

// Tags that only describe compressed data; a TIFF's strips are not JPEG data and readers
// reject them there.
constexpr std::uint16_t kCompressedDataTags[] = {kTagComponentsConfiguration,
                                                 kTagCompressedBitsPerPixel, kTagPixelXDimension,
                                                 kTagPixelYDimension};

}  // namespace

bool keepsExif(ImageFormat format)
{
    return format == ImageFormat::Jpeg || format == ImageFormat::Tiff ||
           format == ImageFormat::Webp;
}

bool makeExifThumbnail(const std::string& jpegPath, std::vector<std::uint8_t>& out)
{
    JpegStripReader reader;
    return reader.open(jpegPath) && makeThumbnail(reader, out);
}

bool writeKeptExif(ExifData& exif, const std::string& jpegPath, bool pixelsUpright,
                   std::optional<ImageFormat> format)
{
    if (exif.IsEmpty() || !markRewritten(exif, pixelsUpright))
        return false;
    if (isWebp(jpegPath, format))
        return writeKeptExifIntoWebp(exif, jpegPath);
    // The source's thumbnail shows the picture before the conversion; one of the saved
    // picture replaces it. Without one the file gets no thumbnail rather than a wrong one.
    std::vector<std::uint8_t> thumbnail;
    JpegStripReader reader;
    const bool opened = reader.open(jpegPath);
    if (opened)
        markWrittenSize(exif, reader.width(), reader.height());
    if (!opened || !makeThumbnail(reader, thumbnail))
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
    const bool opened = reader.openMemory(jpeg.data(), jpeg.size());
    if (opened)
        markWrittenSize(exif, reader.width(), reader.height());
    if (!opened || !makeThumbnail(reader, thumbnail))
        thumbnail.clear();
    exif.SetThumbnail(std::move(thumbnail));
    return exif.SaveExifIntoJpeg(jpeg);
}

bool ExifThumbnailRows::start(int width, int height)
{
    m_width = width;
    m_height = height;
    m_next = 0;
    m_ok = width > 0 && height > 0 && m_rows.start(width, height, thumbnailSide(width, height));
    return m_ok;
}

void ExifThumbnailRows::takeRows(const std::uint32_t* first, std::size_t stride, int count)
{
    for (int r = 0; r < count && m_ok; ++r, ++m_next)
        m_ok = m_next < m_height && m_rows.takeRow(m_next, first + std::size_t(r) * stride);
}

std::vector<std::uint8_t> ExifThumbnailRows::finish(float dpi)
{
    std::vector<std::uint8_t> out;
    Image picture;
    if (!m_ok || m_next != m_height || !m_rows.finish(picture, dpi) ||
        !encodeJpegStream(picture, kThumbnailQuality, out))
        out.clear();
    return out;
}

bool keepExifInJpeg(ExifData& exif, std::vector<std::uint8_t>& jpeg, bool pixelsUpright,
                    std::vector<std::uint8_t> thumbnail, int width, int height)
{
    if (exif.IsEmpty() || !markRewritten(exif, pixelsUpright))
        return false;
    markWrittenSize(exif, width, height);
    exif.SetThumbnail(std::move(thumbnail));
    return exif.SaveExifIntoJpeg(jpeg);
}

std::vector<std::uint8_t> ExifThumbnailRows::of(const Image& picture)
{
    ExifThumbnailRows rows;
    if (!rows.start(picture.width(), picture.height()))
        return {};
    for (int y = 0; y < picture.height(); ++y) rows.takeRows(picture.rowFromTop(y), 0, 1);
    return rows.finish(picture.dpi());
}

bool writeKeptExif(ExifData& exif, const std::string& jpegPath, const Image& saved,
                   bool pixelsUpright, std::optional<ImageFormat> format)
{
    const bool tiff = exifFileFormat(jpegPath, format) == ImageFormat::Tiff;
    return writeKeptExif(exif, jpegPath,
                         tiff ? std::vector<std::uint8_t>{} : ExifThumbnailRows::of(saved),
                         saved.width(), saved.height(), pixelsUpright, format);
}

bool writeKeptExif(ExifData& exif, const std::string& jpegPath, std::vector<std::uint8_t> thumbnail,
                   int width, int height, bool pixelsUpright, std::optional<ImageFormat> format)
{
    if (exif.IsEmpty() || !markRewritten(exif, pixelsUpright))
        return false;
    markWrittenSize(exif, width, height);
    if (isWebp(jpegPath, format))
        return writeKeptExifIntoWebp(exif, jpegPath);
    if (exifFileFormat(jpegPath, format) == ImageFormat::Tiff)
        for (const std::uint16_t tag : kCompressedDataTags) exif.RemoveEntry(kExifIfd, tag);
    exif.SetThumbnail(std::move(thumbnail));
    return exif.SaveExif(jpegPath, format).ok();
}

}  // namespace tavelune
