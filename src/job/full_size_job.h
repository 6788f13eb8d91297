// The desktop's conversion redone on the original file at full size, and its save.
#pragma once

#include <atomic>
#include <optional>
#include <string>

#include "engine/image_format.h"
#include "engine/picture_metadata.h"
#include "job/conversion_job.h"
#include "job/geometry_record.h"
#include "job/notices.h"
#include "job/scale_settings.h"

namespace tavelune {

class ExifData;
struct PictureMetadata;

/// What the shown result was made from: the file, the steps taken since opening, the working
/// picture's size and dpi, and the settings of the run that made the result.
struct FullSizeJob {
    std::string path;
    GeometryRecord geometry;
    int workingWidth = 0;
    int workingHeight = 0;
    double dpi = 72.0;
    ConversionSettings settings;
    const ExifData* exif = nullptr;  // for the information tags and the kept EXIF; may be null
    const PictureMetadata* metadata = nullptr;  // profile, XMP and IPTC to keep; may be null
    PrintLengths printLengths = PrintLengths::Scaled;
};

/// How the saved file is written.
struct FullSizeOutput {
    ImageFormat format = ImageFormat::Jpeg;  // a writable one
    int options = 75;            // JPEG quality, TIFF compression or WebP options
    bool keepExif = true;        // JPEG, TIFF and WebP, as for the working picture
    bool stripMetadata = false;  // no EXIF, XMP or IPTC; the colour profile stays
};

/// The metadata job's source gives a file written as how at width x height (null: none).
std::optional<PictureMetadata> fullSizeMetadata(const FullSizeJob& job, const FullSizeOutput& how,
                                                int width, int height);

enum class FullSizeOutcome {
    Saved,
    Cancelled,
    ReadFailed,
    SourceChanged,
    ConversionFailed,
    WriteFailed
};

/// How a full-size render or save ended, and the boxes met on the way, in order.
struct FullSizeResult {
    FullSizeOutcome outcome = FullSizeOutcome::Saved;
    Notices notices;
    friend bool operator==(const FullSizeResult& result, FullSizeOutcome outcome)
    {
        return result.outcome == outcome;
    }
};

/// Full size over working size, by the longer sides (the working picture's longer side is the
/// exact one; the shorter was truncated). 0 without a full-size original.
double fullSizeFactor(const FullSizeJob& job);

/// The width and height of the picture saveFullSize writes: the full-size photograph and its
/// scaled frame (left and top 0). Empty without a full-size original.
Rect fullSizeOutputSize(const FullSizeJob& job);

/// Decodes the file, turns it upright by its EXIF Orientation, replays the steps, then runs the
/// film, frame, watermark and signature with the lengths scaled by fullSizeFactor (as the
/// job's printLengths says). progress
/// (may be null) goes 0..90; cancel (may be null) is looked at between the steps. The file
/// must still have the size it had when opened (SourceChanged otherwise).
FullSizeResult renderFullSize(const FullSizeJob& job, Progress* progress,
                              const std::atomic<int>* cancel, Image& result, Rect& margins);

/// renderFullSize, then the file written through a temporary file beside output (EXIF kept
/// for JPEG when asked and there is some), renamed into place only when everything succeeded
/// and no cancel came: a cancelled or failed save leaves output as it was. progress to 100.
FullSizeResult saveFullSize(const FullSizeJob& job, const std::string& output,
                            const FullSizeOutput& how, Progress* progress,
                            const std::atomic<int>* cancel);

/// saveFullSize for a JPEG saved as JPEG with no turn or flip since opening and nothing
/// framed or drawn over it: the file streamed through the film strip by strip in bounded
/// memory, the same bytes; cancel is looked at between strips. Empty when the save needs the
/// whole picture (saveFullSize then takes the whole-picture road).
std::optional<FullSizeResult> saveFullSizeStreamed(const FullSizeJob& job,
                                                   const std::string& output,
                                                   const FullSizeOutput& how, Progress* progress,
                                                   const std::atomic<int>* cancel);

}  // namespace tavelune
