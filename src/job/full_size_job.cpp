// Re-running the whole job on the original file, with bounded memory and a cancel between steps.
#include "job/full_size_job.h"

#include <algorithm>
#include <new>
#include <optional>

#include "engine/colour_profile.h"
#include "engine/codec_support.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/jpeg_strips.h"
#include "engine/output_metadata.h"
#include "engine/safe_write.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "exif/keep_exif.h"
#include "film/film_step.h"
#include "film/pointwise_film.h"
#include "job/file_conversion.h"
#include "job/inks_through_profile.h"
#include "job/scale_settings.h"
#include "job/streamed_conversion.h"
#include "overlay/apply_border.h"
#include "overlay/apply_overlay.h"

namespace tavelune {
namespace {

bool cancelled(const std::atomic<int>* cancel)
{
    return cancel && cancel->load(std::memory_order_relaxed) != 0;
}

void setProgress(Progress* progress, int position)
{
    if (progress)
        progress->set(position);
}

FullSizeOutcome render(const FullSizeJob& job, Progress* progress, const std::atomic<int>* cancel,
                       Image& result, Rect& margins, Notices& notices)
{
    setProgress(progress, 0);
    const double factor = fullSizeFactor(job);
    if (factor <= 0.0)
        return FullSizeOutcome::SourceChanged;
    Image source;
    bool inksThroughProfile = false;
    {
        ExifData fileExif;  // the page's copy (perhaps edited) is the one that counts
        Rect size;
        static const std::vector<std::uint8_t> none;
        const std::vector<std::uint8_t>& icc =
            job.settings.film.toSrgb && job.metadata ? job.metadata->icc : none;
        WorkingPictureOpen opened =
            openThroughCmykProfile(icc, inksThroughProfile, job.path, source, fileExif, 0, true, &size);
        notices.insert(notices.end(), opened.notices.begin(), opened.notices.end());
        if (!opened)
            return FullSizeOutcome::ReadFailed;
        // The record was made from the file as it was opened; a file changed since then would
        // be turned and scaled wrongly.
        if (size.right != job.geometry.fullWidthBeforeSteps() ||
            size.bottom != job.geometry.fullHeightBeforeSteps())
            return FullSizeOutcome::SourceChanged;
    }
    // The page's profile, as fullSizeMetadata tags the file.
    if (job.settings.film.toSrgb && job.metadata && !inksThroughProfile &&
        !isOurSrgbProfile(job.metadata->icc))
        (void)convertToSrgb(source, job.metadata->icc);
    setProgress(progress, 20);
    if (cancelled(cancel))
        return FullSizeOutcome::Cancelled;
    source.setDpi(float(job.dpi));
    if (!job.geometry.replay(source))
        return FullSizeOutcome::ConversionFailed;
    setProgress(progress, 25);
    if (cancelled(cancel))
        return FullSizeOutcome::Cancelled;

    const ConversionSettings settings =
        scaleConversionSettings(job.settings, factor, job.dpi, job.printLengths);
    if (!runFilmStep(source, result, settings.film, progress, 60))
        return FullSizeOutcome::ConversionFailed;
    source.destroyPixels();
    if (cancelled(cancel))
        return FullSizeOutcome::Cancelled;
    const Result<Rect, ImageError> framed = applyBorder(result, settings.border);
    addImageBoxes(notices, statusOf(framed));
    if (!framed)
        return FullSizeOutcome::ConversionFailed;
    margins = *framed;
    setProgress(progress, 86);
    if (cancelled(cancel))
        return FullSizeOutcome::Cancelled;
    const TextExpander expand = tagExpander(job.exif, settings.tags);
    for (const OverlaySettings* overlay : {&settings.watermark, &settings.signature}) {
        const ImageStatus drawn = applyOverlay(result, *overlay, expand);
        addImageBoxes(notices, drawn);
        if (!drawn)
            return FullSizeOutcome::ConversionFailed;
        setProgress(progress, overlay == &settings.watermark ? 88 : 90);
    }
    return cancelled(cancel) ? FullSizeOutcome::Cancelled : FullSizeOutcome::Saved;
}

bool isJpeg(ImageFormat format)
{
    return format == ImageFormat::Jpeg;
}

// Writes the kept EXIF data into the saved JPEG or WebP at temporary. A copy of the entries:
// marking them rewritten must not change the page's model.
bool keepsExif(const FullSizeJob& job, const FullSizeOutput& how)
{
    return tavelune::keepsExif(how.format) && how.keepExif && !how.stripMetadata && job.exif &&
           !job.exif->IsEmpty();
}

bool keepExif(const FullSizeJob& job, const FullSizeOutput& how, const std::string& temporary,
              std::vector<std::uint8_t> thumbnail, int width, int height, Notices& notices)
{
    if (!keepsExif(job, how))
        return true;
    ExifData kept;
    for (const auto& entry : job.exif->entries())
        kept.entries().push_back(std::make_unique<ExifEntry>(*entry));
    const bool written = writeKeptExif(kept, temporary, std::move(thumbnail), width, height, true,
                                       how.format);
    addExifBoxes(notices, kept.warnings());
    return written;
}

}  // namespace

std::optional<PictureMetadata> fullSizeMetadata(const FullSizeJob& job, const FullSizeOutput& how,
                                                int width, int height)
{
    if (job.metadata == nullptr)
        return std::nullopt;
    PictureMetadata out = metadataForOutput(*job.metadata, how.format, width, height, true);
    if (how.stripMetadata)
        out.stripDescriptive();
    if (job.settings.film.toSrgb && (turnsIntoSrgb(job.metadata->icc) ||
                                     readsInksThroughProfile(job.path, job.metadata->icc)))
        out.icc = srgbProfile();
    return out;
}

double fullSizeFactor(const FullSizeJob& job)
{
    const int working = std::max(job.workingWidth, job.workingHeight);
    const int full = std::max(job.geometry.fullWidth(), job.geometry.fullHeight());
    if (!job.geometry.hasFullSize() || working <= 0)
        return 0.0;
    return double(full) / double(working);
}

Rect fullSizeOutputSize(const FullSizeJob& job)
{
    const double factor = fullSizeFactor(job);
    if (factor <= 0.0)
        return {};
    const int W = job.geometry.fullWidth();
    const int H = job.geometry.fullHeight();
    const BorderSettings border =
        scaleBorderSettings(job.settings.border, factor, job.dpi, job.printLengths);
    if (!border.enabled)
        return {0, 0, W, H};
    const BorderGeometry g = borderGeometry(border, W, H, job.dpi);
    return {0, 0, W + g.mat.left + g.mat.right, H + g.mat.top + g.mat.bottom};
}

FullSizeResult renderFullSize(const FullSizeJob& job, Progress* progress,
                              const std::atomic<int>* cancel, Image& result, Rect& margins)
{
    FullSizeResult rendered;
    try {
        rendered.outcome = render(job, progress, cancel, result, margins, rendered.notices);
    } catch (const std::bad_alloc&) {
        result = Image();
        rendered.outcome = FullSizeOutcome::ConversionFailed;
    }
    return rendered;
}

namespace {

std::optional<FullSizeOutcome> saveStreamed(const FullSizeJob& job, const std::string& output,
                                            const FullSizeOutput& how, Progress* progress,
                                            const std::atomic<int>* cancel, Notices& notices)
{
    const double factor = fullSizeFactor(job);
    if (!isJpeg(how.format) || !isJpegFileName(job.path) || factor <= 0.0 || job.settings.film.toSrgb ||
        job.geometry.mirrored() || job.geometry.quarterTurns() != 0)
        return std::nullopt;
    const ConversionSettings settings =
        scaleConversionSettings(job.settings, factor, job.dpi, job.printLengths);
    if (settings.border.enabled || settings.watermark.enabled || settings.signature.enabled)
        return std::nullopt;
    const std::unique_ptr<PointwiseFilm> film = PointwiseFilm::make(settings.film);
    if (!film || turnedByExif(job.path))
        return std::nullopt;

    setProgress(progress, 0);
    clearCodecFailure();
    JpegStripReader reader;
    if (!reader.open(job.path)) {
        addImageBoxes(notices, readFailure(job.path));
        return FullSizeOutcome::ReadFailed;
    }
    if (reader.width() != job.geometry.fullWidthBeforeSteps() ||
        reader.height() != job.geometry.fullHeightBeforeSteps())
        return FullSizeOutcome::SourceChanged;
    const float dpi = job.dpi < 1.0 ? 72.0f : float(job.dpi);
    const int height = reader.height();
    StripPipelineHooks hooks;
    hooks.cancelled = [cancel] { return cancelled(cancel); };
    hooks.rowsWritten = [&](int rows) { setProgress(progress, int(int64_t(90) * rows / height)); };
    // The EXIF data goes into the file in memory, so the file is written once.
    bool exifFailed = false;
    ExifData kept;
    JpegBytesStep keep;
    if (keepsExif(job, how)) {
        for (const auto& entry : job.exif->entries())
            kept.entries().push_back(std::make_unique<ExifEntry>(*entry));
        keep = [&](std::vector<std::uint8_t>& jpeg, ExifThumbnailRows& thumbnail) {
            exifFailed = !keepExifInJpeg(kept, jpeg, true, thumbnail.finish(dpi),
                                         thumbnail.width(), thumbnail.height());
            addExifBoxes(notices, kept.warnings());
            return !exifFailed;
        };
    }
    const std::optional<PictureMetadata> metadata =
        fullSizeMetadata(job, how, reader.width(), reader.height());
    StripPipelineResult result = StripPipelineResult::Done;
    std::string writeError;
    const bool written = writeViaTemporary(
        output,
        [&](const std::string& temporary) {
            result = streamFilmIntoJpeg(reader, temporary, settings.film, *film, dpi, how.options,
                                        hooks, keep, metadata ? &*metadata : nullptr);
            if (result != StripPipelineResult::Done)
                return false;
            setProgress(progress, 98);
            return !cancelled(cancel);
        },
        &writeError);
    if (written) {
        setProgress(progress, 100);
        return FullSizeOutcome::Saved;
    }
    if (exifFailed)
        return FullSizeOutcome::WriteFailed;
    switch (result) {
        case StripPipelineResult::Done:
        case StripPipelineResult::Cancelled:
            return cancelled(cancel) ? FullSizeOutcome::Cancelled : FullSizeOutcome::WriteFailed;
        case StripPipelineResult::ReadFailed:
            addImageBoxes(notices, readFailure());
            return FullSizeOutcome::ReadFailed;
        case StripPipelineResult::NoMemory:
            return FullSizeOutcome::ConversionFailed;
        case StripPipelineResult::WriteFailed:
            break;
    }
    addImageBoxes(notices, writeFailure(writeError));
    return FullSizeOutcome::WriteFailed;
}

}  // namespace

std::optional<FullSizeResult> saveFullSizeStreamed(const FullSizeJob& job,
                                                   const std::string& output,
                                                   const FullSizeOutput& how, Progress* progress,
                                                   const std::atomic<int>* cancel)
{
    FullSizeResult saved;
    const std::optional<FullSizeOutcome> outcome =
        saveStreamed(job, output, how, progress, cancel, saved.notices);
    if (!outcome)
        return std::nullopt;
    saved.outcome = *outcome;
    return saved;
}

FullSizeResult saveFullSize(const FullSizeJob& job, const std::string& output,
                            const FullSizeOutput& how, Progress* progress,
                            const std::atomic<int>* cancel)
{
    if (std::optional<FullSizeResult> streamed =
            saveFullSizeStreamed(job, output, how, progress, cancel))
        return *streamed;
    Image result;
    Rect margins;
    FullSizeResult saved = renderFullSize(job, progress, cancel, result, margins);
    if (saved.outcome != FullSizeOutcome::Saved)
        return saved;
    const std::optional<PictureMetadata> metadata =
        fullSizeMetadata(job, how, result.width(), result.height());
    bool writeFailed = false;
    Notices& notices = saved.notices;
    const bool written = writeViaTemporary(output, [&](const std::string& temporary) {
        if (const ImageStatus stored = saveImage(temporary, result, how.format, how.options,
                                                 metadata ? &*metadata : nullptr);
            !stored) {
            addImageBoxes(notices, stored);
            writeFailed = true;
            return false;
        }
        // The thumbnail is made before the picture goes, so the file is not decoded again.
        std::vector<std::uint8_t> thumbnail;
        if (keepsExif(job, how) && isJpeg(how.format))  // TIFF and WebP keep none of ours
            thumbnail = ExifThumbnailRows::of(result);
        const int width = result.width();
        const int height = result.height();
        result.destroyPixels();
        setProgress(progress, 98);
        if (!keepExif(job, how, temporary, std::move(thumbnail), width, height, notices)) {
            writeFailed = true;
            return false;
        }
        return !cancelled(cancel);
    });
    if (written) {
        setProgress(progress, 100);
        return saved;
    }
    saved.outcome = writeFailed || !cancelled(cancel) ? FullSizeOutcome::WriteFailed
                                                      : FullSizeOutcome::Cancelled;
    return saved;
}

}  // namespace tavelune
