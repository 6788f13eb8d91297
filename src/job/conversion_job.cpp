// The conversion job and its worker thread.
#include "job/conversion_job.h"

#include <system_error>

#include "engine/corvane_error.h"
#include "engine/engine_messages.h"
#include "film/film_step.h"
#include "overlay/apply_border.h"
#include "overlay/apply_overlay.h"

namespace tavelune {
namespace {

void setProgress(Progress* progress, int position)
{
    if (progress)
        progress->set(position);
}

}  // namespace

ImageStatus runConversionJob(const Image& source, const ExifData* exif,
                             const ConversionSettings& settings, Progress* progress, Image& result,
                             Rect& margins)
{
    setProgress(progress, 0);
    if (!runFilmStep(source, result, settings.film, progress, 92))
        return ImageError::FilmFailed;
    const Result<Rect, ImageError> framed = finishConversionJob(result, exif, settings, progress);
    if (framed)
        margins = *framed;
    return statusOf(framed);
}

Result<Rect, ImageError> finishConversionJob(Image& result, const ExifData* exif,
                                             const ConversionSettings& settings,
                                             Progress* progress)
{
    Result<Rect, ImageError> margins = applyBorder(result, settings.border);
    if (!margins)
        return margins;
    Warnings<ImageError> boxes = margins.warnings();
    // The boxes met so far stay with a later failure: the user is shown them in order.
    auto failed = [&boxes](const ImageStatus& drawn) {
        Result<Rect, ImageError> ended(drawn.failure());
        ended.setWarnings(std::move(boxes));
        return ended;
    };
    setProgress(progress, 94);
    const TextExpander expand = tagExpander(exif, settings.tags);
    for (const OverlaySettings* overlay : {&settings.watermark, &settings.signature}) {
        const ImageStatus drawn = applyOverlay(result, *overlay, expand);
        boxes.insert(boxes.end(), drawn.warnings().begin(), drawn.warnings().end());
        if (!drawn)
            return failed(drawn);
        setProgress(progress, overlay == &settings.watermark ? 96 : 98);
    }
    setProgress(progress, 100);
    margins.setWarnings(std::move(boxes));
    return margins;
}

std::thread startConversion(const Image& source, const ExifData* exif, ConversionSettings settings,
                            Progress& progress, Image& result, Rect& margins,
                            std::function<void(bool ok)> done, const ThreadStarter& start)
{
    auto work = [&source, exif, copy = std::move(settings), &progress, &result, &margins,
                 done = std::move(done)]() {
        bool ok = false;
        try {
            ok = runConversionJob(source, exif, copy, &progress, result, margins).ok();
        } catch (const std::exception&) {
            ok = false;  // out of memory on the worker; nothing may escape the thread
        }
        if (done)
            done(ok);
    };
    try {
        if (start)
            return start(std::move(work));
        return std::thread(std::move(work));
    } catch (const std::system_error&) {
        throw CCorvaneError(messages::kThreadFailed);
    }
}

}  // namespace tavelune
