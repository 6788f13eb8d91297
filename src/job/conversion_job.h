// The conversion job: film step, border and mat, watermark, signature, with its progress.
// Layer job: everything that combines film, frame, overlays and EXIF into one run.
#pragma once

#include <functional>
#include <optional>
#include <thread>

#include "engine/image.h"
#include "engine/image_error.h"
#include "film/film_settings.h"
#include "overlay/border_settings.h"
#include "overlay/info_tags.h"
#include "overlay/overlay_settings.h"
#include "pixel/progress.h"

namespace tavelune {

class ExifData;

/// Everything the four setting pages hold, copied before a job starts.
struct ConversionSettings {
    FilmSettings film;
    OverlaySettings watermark = OverlaySettings::watermark();
    OverlaySettings signature = OverlaySettings::signature();
    BorderSettings border = BorderSettings::initial();
    TagContext tags;  // user name and language of the information tags
};

/// Rebuilds result from source: the film step (92 points of progress), then the frame (94),
/// the watermark (96) and the signature (98); 100 at the end. The texts' information tags
/// come from source and exif (may be null). A failed film step ends the job: FilmFailed,
/// result as the step left it, nothing framed. A frame or overlay whose canvas cannot be made
/// ends it too: CanvasFailed with the reason. margins receives the mat margins (left and top place the
/// photograph inside the frame). progress may be null.
ImageStatus runConversionJob(const Image& source, const ExifData* exif,
                             const ConversionSettings& settings, Progress* progress, Image& result,
                             Rect& margins);

/// The job after its film step, on the film's result: the frame, the watermark and the
/// signature, progress 94 to 100. Returns the mat margins; CanvasFailed when a canvas could
/// not be made (so that no output is written without what was asked for).
Result<Rect, ImageError> finishConversionJob(Image& result, const ExifData* exif,
                                             const ConversionSettings& settings,
                                             Progress* progress);

/// Starts a thread the way the job is started; a test can put one that fails in its place.
using ThreadStarter = std::function<std::thread(std::function<void()> work)>;

/// Runs the job on a worker thread with its own copy of the settings; done(ok) is called on
/// that thread when it ends. source, exif, progress, result and margins must stay untouched
/// until then. Throws CCorvaneError("Failed to create thread") when no thread can be started.
std::thread startConversion(const Image& source, const ExifData* exif, ConversionSettings settings,
                            Progress& progress, Image& result, Rect& margins,
                            std::function<void(bool ok)> done = {}, const ThreadStarter& start = {});

}  // namespace tavelune
