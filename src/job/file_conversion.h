// One picture file converted into another: open, turn upright, geometry, the job, save.
#pragma once

#include <functional>
#include <string>

#include "engine/image_error.h"
#include "engine/image_format.h"
#include "engine/picture_metadata.h"
#include "job/conversion_job.h"
#include "job/notices.h"

namespace tavelune {
class ExifData;
class Image;
}

namespace tavelune {

/// Everything that decides how one file becomes another.
struct FileConversionSettings {
    ConversionSettings job;  // the four pages: film, watermark, signature, border
    int quality = 75;      // JPEG
    int compression = 5;   // TIFF: 1 none, 5 LZW
    int webpQuality = 0;   // WebP 1..100; 0 the WebP default
    bool lossless = false; // WebP: lossless, webpQuality unused
    int fit = 0;           // longer side at most this many pixels after opening; 0 keeps it
    bool orient = true;    // a JPEG's EXIF Orientation and resolution are applied on opening
    int resizeWidth = 0;   // bicubic resample; 0 keeps the size
    int resizeHeight = 0;
    int rotate = 0;        // 90, -90, 180 or 0
    bool mirror = false;
    bool flip = false;
    double dpi = 0.0;      // 0 keeps the resolution
    bool keepExif = true;  // a JPEG, TIFF or WebP output gets the source's EXIF (Orientation 1)
    bool stripMetadata = false;  // no EXIF, XMP or IPTC in the output; the colour profile stays
    int scaleFrom = 0;     // lengths were chosen on a picture this wide; 0 takes them as they are
    bool replaceWriteProtected = false;  // else a write-protected output is refused
};

/// The codec options of an output in that format: the JPEG quality, TIFF compression or WebP
/// quality or lossless flag; 0 for the rest.
int outputOptions(const FileConversionSettings& settings, ImageFormat format);

/// StepFailed: a frame, overlay, resize or turn asked for could not be made (over the pixel
/// limit, out of memory); the failure says why. Nothing is written.
enum class FileConversionOutcome { Converted, ReadFailed, ConversionFailed, WriteFailed, StepFailed };

struct FileConversionResult {
    FileConversionOutcome outcome = FileConversionOutcome::Converted;
    /// Why reading or writing failed, when it did.
    Failure<ImageError> failure;
    /// The boxes the user is shown, in the order met (a failure's own last), each said of the
    /// input or the output as the conversion was reading or writing it.
    Notices notices;
};

/// A conversion ended by a failed picture road: its boxes logged, its failure kept.
FileConversionResult failedConversion(NoticeLog& log, FileConversionOutcome outcome,
                                      const ImageStatus& status);
/// A conversion ended by the job: a failed film step without a box, a canvas that could not
/// be made with one.
FileConversionResult jobFailure(NoticeLog& log, const ImageStatus& status);

/// Converts input into output (format from output's extension). Nothing is shown: the boxes
/// are in the result. progress (may be empty) receives 0..100. The output is written through
/// a temporary file; an existing write-protected output is refused unless settings ask to
/// replace it.
FileConversionResult convertPictureFile(const std::string& input, const std::string& output,
                                        const FileConversionSettings& settings,
                                        const std::function<void(int)>& progress = {});

/// What a file written from a source carrying metadata gets: see metadataForOutput; with
/// stripMetadata only the profile.
PictureMetadata outputMetadata(const PictureMetadata& source, const FileConversionSettings& settings,
                               ImageFormat format, int width, int height);

/// With film.toSrgb, the numbers a film is made for: the picture turned from its profile's
/// colours into sRGB and the profile in metadata made sRGB (a picture without one is sRGB
/// already and is tagged so). A profile that cannot be used is logged for path and kept
/// with the numbers as they were. Without toSrgb nothing changes.
void prepareForFilm(Image& picture, PictureMetadata& metadata, const FilmSettings& film,
                    const std::string& path, NoticeLog& log);

/// Opens a picture as the desktop program does: bilinear reduction to fit (when above 0; a
/// camera raw is then developed at half size when that still covers fit), the file's EXIF
/// data into exif (JPEG, TIFF, camera raw, HEIF, AVIF, WebP), for JPEG files the EXIF
/// resolution, and for JPEG and WebP files, when orient is set, the EXIF Orientation.
/// fullSize (may be null) receives the full-size picture's size before the reduction, turned
/// as the picture was turned (left and top 0). metadata (may be null) receives the file's
/// colour profile, XMP and IPTC, any part left out being among the notices.
struct WorkingPictureOpen {
    ImageStatus status;
    /// Every box met, in order: the metadata and EXIF readers', or the picture's failure.
    Notices notices;
    bool ok() const { return status.ok(); }
    explicit operator bool() const { return ok(); }
};
WorkingPictureOpen openWorkingPicture(const std::string& path, Image& picture, ExifData& exif,
                                      int fit, bool orient, Rect* fullSize = nullptr,
                                      PictureMetadata* metadata = nullptr);

/// Whether the file's decoder turns its picture upright itself (camera raw, HEIF, AVIF), so
/// that kept EXIF data must say Orientation 1 whatever the orient setting.
bool decodedUpright(const std::string& path);

}  // namespace tavelune
