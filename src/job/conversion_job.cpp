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
    if (!framed)
        return framed.failure();
    margins = *framed;
    return {};
}

Result<Rect, ImageError> finishConversionJob(Image& result, const ExifData* exif,
                                             const ConversionSettings& settings,
                                             Progress* progress)
{
    Result<Rect, ImageError> margins = applyBorder(result, settings.border);
    if (!margins)
        return margins;
    setProgress(progress, 94);
    const TextExpander expand = tagExpander(exif, settings.tags);
    if (ImageStatus drawn = applyOverlay(result, settings.watermark, expand); !drawn)
        return drawn.failure();
    setProgress(progress, 96);
    if (ImageStatus drawn = applyOverlay(result, settings.signature, expand); !drawn)
        return drawn.failure();
    setProgress(progress, 98);
    setProgress(progress, 100);
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
