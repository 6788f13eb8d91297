// JPEG into JPEG strip by strip, when nothing in the conversion needs the whole picture.
#include "job/streamed_conversion.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "engine/cmyk_profile.h"
#include "engine/codec_support.h"
#include "engine/colour_profile.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/jpeg_strips.h"
#include "engine/parallel.h"
#include "engine/picture_metadata.h"
#include "engine/pixel_limit.h"
#include "engine/raw_codec.h"
#include "engine/safe_write.h"
#include "exif/exif_data.h"
#include "exif/keep_exif.h"
#include "film/convolution_filter.h"
#include "film/pointwise_film.h"
#include "film/sharpen.h"
#include "job/scale_settings.h"
#include "pixel/progress.h"

namespace tavelune {
namespace {

constexpr int kFilmBudget = 92;

// A frame, a watermark or a signature needs the whole film output.
bool drawsOverThePicture(const ConversionSettings& job)
{
    return job.border.enabled || job.watermark.enabled || job.signature.enabled;
}

// The dpi the whole-picture road gives the source: the file's density (never below 1 dpi),
// then the EXIF resolution of a file that has EXIF data, then the asked one.
float sourceDpi(float fileDpi, const ExifData* exif, double askedDpi)
{
    float dpi = fileDpi < 1.0f ? 72.0f : fileDpi;
    if (exif) {
        double exifDpi = exif->GetNumber(kIfd0, kTagXResolution, 0);
        if (exif->GetNumber(kIfd0, kTagResolutionUnit, 0) == 3)
            exifDpi *= 2.54;
        dpi = exifDpi > 0 ? float(exifDpi) : 72.0f;
    }
    if (askedDpi > 0.0)
        dpi = float(askedDpi);
    return dpi;
}

// A picture is never made below 1 dpi.
float madeDpi(float dpi)
{
    return dpi < 1.0f ? 72.0f : dpi;
}

// Rows into the writer and, for the kept EXIF data, into its thumbnail on the way.
class WriterAndThumbnail final : public StripSink {
public:
    WriterAndThumbnail(JpegStripWriter& writer, ExifThumbnailRows& thumbnail)
        : m_writer(writer), m_thumbnail(thumbnail)
    {
    }
    bool writeRows(const uint32_t* first, size_t stride, int count) override
    {
        m_thumbnail.takeRows(first, stride, count);
        return m_writer.writeRows(first, stride, count);
    }
    bool finish() override { return m_writer.finish(); }

private:
    JpegStripWriter& m_writer;
    ExifThumbnailRows& m_thumbnail;
};

// Rows copied into a picture being assembled.
class PictureSink final : public StripSink {
public:
    explicit PictureSink(Image& picture) : m_picture(picture) {}
    bool writeRows(const uint32_t* first, size_t stride, int count) override
    {
        if (count < 0 || count > m_picture.height() - m_rows)
            return false;
        for (int r = 0; r < count; ++r, ++m_rows)
            std::memcpy(m_picture.rowFromTop(m_rows), first + size_t(r) * stride,
                        size_t(m_picture.width()) * sizeof(uint32_t));
        return true;
    }
    bool finish() override { return m_rows == m_picture.height(); }

private:
    Image& m_picture;
    int m_rows = 0;
};

const ConvolutionFilter* sharpenFilter(const FilmSettings& settings, ConvolutionFilter& filter)
{
    // The film switched off is a plain copy, never sharpened.
    return settings.enabled && makeSharpenFilter(settings.sharpnessPosition, filter) ? &filter
                                                                                     : nullptr;
}

int exifOrientation(const ExifData& exif)
{
    return int(exif.GetNumber(kIfd0, kTagOrientation, 0));
}

bool turns(int orientation)
{
    return orientation >= 2 && orientation <= 8;
}

// What the EXIF reader says about a file, held back until the picture itself has been read:
// the whole-picture road reads the EXIF data only after decoding, so a file that cannot be
// decoded reports only that.
class HeldMessages {
public:
    explicit HeldMessages(NoticeLog& log) : m_log(log) {}
    bool loadExif(ExifData& exif, const std::string& path)
    {
        const bool loaded = exif.LoadExif(path).ok();
        addExifBoxes(m_held, exif.warnings());
        return loaded;
    }
    void hold(MetadataProblem problem, const std::string& path)
    {
        addMetadataProblems(m_held, {problem}, path);
    }
    NoticeLog& log() { return m_log; }
    /// Logs them, once, as said of the source file (codecTurn(false) names it).
    void release(const std::function<void(bool writing)>& codecTurn)
    {
        if (m_held.empty())
            return;
        if (codecTurn)
            codecTurn(false);
        for (Notice& notice : m_held)
            notice.file = m_log.file();
        m_log.add(std::move(m_held));
        m_held.clear();
    }

private:
    NoticeLog& m_log;
    Notices m_held;
};

}  // namespace

bool isJpegFileName(const std::string& path)
{
    return formatOfPath(path) == ImageFormat::Jpeg;
}

bool turnedByExif(const std::string& path)
{
    // Only the turn is wanted here; what the reader would say about the data was said when
    // the picture was opened.
    ExifData exif;
    return exif.LoadExif(path) && !exif.IsEmpty() && turns(exifOrientation(exif));
}

StripPipelineResult streamFilmIntoJpeg(StripSource& reader, const std::string& path,
                                       const FilmSettings& settings, const PointwiseFilm& film,
                                       float dpi, int quality, const StripPipelineHooks& hooks,
                                       const JpegBytesStep& step, const PictureMetadata* metadata)
{
    if (hooks.codecTurn)
        hooks.codecTurn(true);
    JpegStripWriter writer;
    writer.setMetadata(metadata);
    if (step ? !writer.openMemory(reader.width(), reader.height(), dpi, quality)
             : !writer.open(path, reader.width(), reader.height(), dpi, quality))
        return StripPipelineResult::WriteFailed;
    ConvolutionFilter sharpen;
    ExifThumbnailRows thumbnail;
    StripPipelineResult result = StripPipelineResult::Done;
    if (step) {
        thumbnail.start(reader.width(), reader.height());
        WriterAndThumbnail sink(writer, thumbnail);
        result = runStripPipeline(reader, sink, film, sharpenFilter(settings, sharpen), hooks,
                                  defaultThreadCount());
    } else {
        result = runStripPipeline(reader, writer, film, sharpenFilter(settings, sharpen), hooks,
                                  defaultThreadCount());
    }
    if (!step || result != StripPipelineResult::Done)
        return result;
    std::vector<std::uint8_t> bytes;
    if (!writer.takeMemory(bytes))
        return StripPipelineResult::NoMemory;
    if (!step(bytes, thumbnail))
        return StripPipelineResult::WriteFailed;
    if (hooks.codecTurn)
        hooks.codecTurn(true);
    return writeJpegBytes(path, bytes) ? StripPipelineResult::Done
                                       : StripPipelineResult::WriteFailed;
}

namespace {

// The film output assembled once from the strips, then framed, drawn over and saved as the
// whole-picture road does: the source picture is never held whole.
FileConversionResult assembleAndSave(StripSource& reader, const std::string& output,
                                      const FileConversionSettings& settings,
                                      const PointwiseFilm& film, ExifData& exif,
                                      const PictureMetadata& metadata, float dpi,
                                      bool pixelsUpright, Progress& progress,
                                      StripPipelineHooks& hooks, HeldMessages& held)
{
    const FilmSettings& filmSettings = settings.job.film;
    Image result;
    // As runFilmStep makes it: white where a film runs, the copy keeps the usual fill.
    if (filmSettings.enabled)
        result.setFillColour(0xFFFFFFFF);
    if (!result.allocate(reader.width(), reader.height(), madeDpi(dpi)))
        return failedConversion(held.log(), FileConversionOutcome::StepFailed,
                                {ImageError::CanvasFailed,
                                 canvasFailureText("the picture", uint64_t(reader.width()),
                                                   uint64_t(reader.height()))});
    PictureSink sink(result);
    ConvolutionFilter sharpen;
    const StripPipelineResult assembled = runStripPipeline(
        reader, sink, film, sharpenFilter(filmSettings, sharpen), hooks, defaultThreadCount());
    if (assembled == StripPipelineResult::ReadFailed)
        return failedConversion(held.log(), FileConversionOutcome::ReadFailed, readFailure());
    held.release(hooks.codecTurn);
    if (assembled != StripPipelineResult::Done)
        return {FileConversionOutcome::ConversionFailed, {}};
    const ConversionSettings job =
        settings.scaleFrom > 0 ? scaleConversionSettings(
                                     settings.job, double(reader.width()) / settings.scaleFrom, dpi)
                               : settings.job;
    const ImageStatus ran = statusOf(finishConversionJob(result, &exif, job, &progress));
    if (!ran)
        return jobFailure(held.log(), ran);
    held.log().image(ran);

    hooks.codecTurn(true);
    const ImageFormat format = formatOfPath(output).value_or(ImageFormat::Jpeg);
    const PictureMetadata written =
        outputMetadata(metadata, settings, format, result.width(), result.height());
    if (ImageStatus saved =
            saveImage(output, result, {}, outputOptions(settings, format), &written);
        !saved)
        return failedConversion(held.log(), FileConversionOutcome::WriteFailed, saved);
    // As in the desktop program, a picture saved without its EXIF data is still saved.
    if (keepsExif(format) && settings.keepExif && !settings.stripMetadata && !exif.IsEmpty()) {
        writeKeptExif(exif, output, result, pixelsUpright);
        held.log().exif(exif.warnings());
    }
    return {};
}

// What both roads share once the source is open: the source's EXIF data (exifRead: its
// turn and resolution count), metadata and dpi known.
struct StreamedSource {
    StripSource& rows;
    ExifData& exif;
    PictureMetadata& metadata;
    float dpi;
    bool pixelsUpright;  // whether kept EXIF data is marked upright
};

FileConversionResult streamConversion(StreamedSource source, const std::string& input,
                                      const std::string& output,
                                      const FileConversionSettings& settings,
                                      const PointwiseFilm& film, Progress& progress,
                                      StripPipelineHooks& hooks, HeldMessages& held)
{
    const int width = source.rows.width();
    const int height = source.rows.height();
    ExifData& exif = source.exif;
    const float dpi = source.dpi;
    // The numbers the film is made for, turned strip by strip as they are decoded.
    std::shared_ptr<const SrgbConversion> toSrgb;
    std::vector<std::uint8_t>& icc = source.metadata.icc;
    if (settings.job.film.toSrgb && !isOurSrgbProfile(icc)) {
        if (icc.empty() || (toSrgb = sharedSrgbConversion(icc))) {
            hooks.beforeFilm = toSrgb.get();
            icc = srgbProfile();
        } else {
            held.hold(MetadataProblem::ProfileNotConverted, input);
        }
    }

    progress.set(0);
    hooks.rowsWritten = [&](int rows) {
        const int position = int(int64_t(kFilmBudget) * rows / height);
        if (position != progress.position())
            progress.set(position);
    };
    if (!isJpegFileName(output) || drawsOverThePicture(settings.job))
        return assembleAndSave(source.rows, output, settings, film, exif, source.metadata, dpi,
                               source.pixelsUpright, progress, hooks, held);

    // The EXIF data goes into the file in memory, so the file is written once. As on the
    // whole-picture road, a file that cannot take it is still saved without it.
    JpegBytesStep keep;
    if (settings.keepExif && !settings.stripMetadata && !exif.IsEmpty())
        keep = [&](std::vector<std::uint8_t>& jpeg, ExifThumbnailRows& thumbnail) {
            held.release(hooks.codecTurn);
            hooks.codecTurn(true);
            keepExifInJpeg(exif, jpeg, source.pixelsUpright, thumbnail.finish(madeDpi(dpi)),
                           thumbnail.width(), thumbnail.height());
            held.log().exif(exif.warnings());
            return true;
        };
    const PictureMetadata carried =
        outputMetadata(source.metadata, settings, ImageFormat::Jpeg, width, height);
    StripPipelineResult result = StripPipelineResult::Done;
    std::string writeError;
    const bool written = writeViaTemporary(
        output,
        [&](const std::string& temporary) {
            result = streamFilmIntoJpeg(source.rows, temporary, settings.job.film, film,
                                        madeDpi(dpi), settings.quality, hooks, keep, &carried);
            return result == StripPipelineResult::Done;
        },
        &writeError);
    if (result != StripPipelineResult::ReadFailed)
        held.release(hooks.codecTurn);
    if (!written) {
        switch (result) {
            case StripPipelineResult::ReadFailed:
                hooks.codecTurn(false);
                return failedConversion(held.log(), FileConversionOutcome::ReadFailed,
                                        readFailure());
            case StripPipelineResult::NoMemory:
                return FileConversionResult{FileConversionOutcome::ConversionFailed, {}};
            default:
                hooks.codecTurn(true);
                return failedConversion(held.log(), FileConversionOutcome::WriteFailed,
                                        writeFailure(writeError));
        }
    }
    for (int position : {94, 96, 98, 100}) progress.set(position);
    return FileConversionResult{};
}

bool keepsSizeAndTurn(const FileConversionSettings& settings)
{
    return settings.rotate == 0 && !settings.mirror && !settings.flip;
}

// A camera raw developed in full, its rows taken from the developer's reply as the film needs
// them. The whole-picture road reads the EXIF data after the development and never takes the
// raw's resolution; the pixels come upright.
std::optional<FileConversionResult> convertRawStreamed(
    const std::string& input, const std::string& output, const FileConversionSettings& settings,
    const PointwiseFilm& film, Progress& progress, StripPipelineHooks& hooks, NoticeLog& log)
{
    clearCodecFailure();
    hooks.codecTurn(false);
    std::optional<FileConversionResult> converted;
    const bool developed = developRawRows(input, [&](StripSource& rows) {
        HeldMessages held(log);
        MetadataRead metadata = readPictureMetadata(input);
        for (MetadataProblem problem : metadata.problems)
            held.hold(problem, input);
        ExifData exif;
        held.loadExif(exif, input);
        held.release(hooks.codecTurn);
        const float dpi = sourceDpi(72.0f, nullptr, settings.dpi);
        converted = streamConversion({rows, exif, metadata.metadata, dpi, true}, input, output,
                                     settings, film, progress, hooks, held);
        return true;
    });
    if (!developed && !converted)
        return failedConversion(log, FileConversionOutcome::ReadFailed, readFailure(input));
    return converted;
}

}  // namespace

std::optional<FileConversionResult> convertStreamed(
    const std::string& input, const std::string& output, const FileConversionSettings& settings,
    Progress& progress, NoticeLog& log)
{
    const std::optional<ImageFormat> kind = formatOfPath(input);
    const bool raw = kind && isCameraRaw(*kind);
    if ((!raw && kind != ImageFormat::Jpeg) || !keepsSizeAndTurn(settings))
        return std::nullopt;
    // A raw reduced to fit is developed at half size; a resize needs the whole picture.
    if (raw && (settings.fit > 0 || (settings.resizeWidth > 0 && settings.resizeHeight > 0)))
        return std::nullopt;
    const std::unique_ptr<PointwiseFilm> film = PointwiseFilm::make(settings.job.film);
    if (!film)
        return std::nullopt;

    const std::string* current = nullptr;
    StripPipelineHooks hooks;
    hooks.codecTurn = [&](bool writing) {
        const std::string& file = writing ? output : input;
        if (current != &file)
            log.setFile(file);
        current = &file;
    };
    if (raw)
        return convertRawStreamed(input, output, settings, *film, progress, hooks, log);
    clearCodecFailure();
    hooks.codecTurn(false);
    JpegStripReader reader;
    if (!reader.open(input))
        return failedConversion(log, FileConversionOutcome::ReadFailed, readFailure(input));
    const int width = reader.width();
    const int height = reader.height();
    if (settings.fit > 0 && std::max(width, height) > settings.fit)
        return std::nullopt;
    if (settings.resizeWidth > 0 && settings.resizeHeight > 0 &&
        (settings.resizeWidth != width || settings.resizeHeight != height))
        return std::nullopt;
    // As on the whole-picture road, EXIF data read only in part gives neither the resolution
    // nor the turn, but is still kept.
    ExifData exif;
    HeldMessages held(log);
    const bool exifRead = held.loadExif(exif, input) && !exif.IsEmpty();
    if (settings.orient && exifRead && turns(exifOrientation(exif)))
        return std::nullopt;
    const float dpi = sourceDpi(reader.dpi(), exifRead ? &exif : nullptr, settings.dpi);
    MetadataRead metadata = readPictureMetadata(input);
    for (MetadataProblem problem : metadata.problems)
        held.hold(problem, input);
    // Inks go through their own profile as they are read.
    CmykConversion cmyk;
    std::optional<CmykThroughProfile> throughProfile;
    if (settings.job.film.toSrgb && reader.isCmyk() && cmyk.open(metadata.metadata.icc)) {
        throughProfile.emplace(cmyk);
        metadata.metadata.icc = srgbProfile();
    }
    return streamConversion({reader, exif, metadata.metadata, dpi, settings.orient}, input,
                            output, settings, *film, progress, hooks, held);
}

}  // namespace tavelune
