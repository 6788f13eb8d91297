// Carrying a source picture's EXIF data into the JPEG or WebP file a conversion has just
// written.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "engine/fit_within_rows.h"
#include "engine/image_format.h"
#include "exif/exif_data.h"

namespace tavelune {

/// The product name and version written into the software tags.
inline constexpr const char* kProductText = "Tavelune " TAVELUNE_VERSION;

/// The output formats that carry kept EXIF data: JPEG (an Exif APP1 segment), TIFF (its own
/// directories) and WebP (its EXIF chunk).
bool keepsExif(ImageFormat format);

/// A JPEG thumbnail (at most 160 x 120, proportions kept) of the JPEG file at path.
bool makeExifThumbnail(const std::string& jpegPath, std::vector<std::uint8_t>& out);

/// Marks the model as rewritten by this program (Orientation 1 when present and the pixels
/// were turned upright; Software and ExtendSoftware set to the product text, created when
/// missing; PixelXDimension and PixelYDimension, where present, the written size), gives it a
/// thumbnail of the picture at path in place of the source's, and writes it into the JPEG at
/// path. A WebP file (by format, else its name) gets the model as its EXIF chunk, without a
/// thumbnail. Nothing happens for an empty model. False when the file could not be written;
/// it is then left as the codec wrote it. format names the file's format when its name does
/// not (a temporary file).
bool writeKeptExif(ExifData& exif, const std::string& jpegPath, bool pixelsUpright = true,
                   std::optional<ImageFormat> format = {});

/// writeKeptExif with the thumbnail made from the picture just saved (thumbnailOf), so the
/// file is not decoded again; the same thumbnail the strip road makes from its rows. A TIFF
/// gets none: its writer keeps no thumbnail directory of ours.
bool writeKeptExif(ExifData& exif, const std::string& jpegPath, const Image& saved,
                   bool pixelsUpright = true, std::optional<ImageFormat> format = {});
/// The same with the thumbnail made beforehand (ExifThumbnailRows::of) of a width x height
/// picture, for a caller that lets the picture go before the EXIF data is written.
bool writeKeptExif(ExifData& exif, const std::string& jpegPath, std::vector<std::uint8_t> thumbnail,
                   int width, int height, bool pixelsUpright, std::optional<ImageFormat> format);

/// writeKeptExif for a whole JPEG file held in memory: the thumbnail made from its pixels
/// and the model written into it, so the file is written once. False leaves jpeg as it was.
bool keepExifInJpeg(ExifData& exif, std::vector<std::uint8_t>& jpeg, bool pixelsUpright);

/// The thumbnail of a picture made from its rows as they are written, top to bottom, so that
/// the saved file need not be decoded again.
class ExifThumbnailRows {
public:
    /// All rows of a picture at once.
    static std::vector<std::uint8_t> of(const Image& picture);

    bool start(int width, int height);
    /// count rows at first, first + stride, ... (stride in pixels).
    void takeRows(const std::uint32_t* first, std::size_t stride, int count);
    /// The JPEG thumbnail once every row came; empty when one is missing or memory ran out.
    std::vector<std::uint8_t> finish(float dpi);
    int width() const { return m_width; }
    int height() const { return m_height; }

private:
    FitWithinRows m_rows;
    int m_width = 0;
    int m_height = 0;
    int m_next = 0;
    bool m_ok = false;
};

/// keepExifInJpeg with the thumbnail already made from the rows (empty: the file gets none).
bool keepExifInJpeg(ExifData& exif, std::vector<std::uint8_t>& jpeg, bool pixelsUpright,
                    std::vector<std::uint8_t> thumbnail, int width, int height);

}  // namespace tavelune
