// The single-picture road from file to file, shared by the command line and the batch run.
#include "job/file_conversion.h"

#include <sys/stat.h>
#include <unistd.h>

#include <optional>

#include "engine/codec_support.h"
#include "engine/colour_profile.h"
#include "engine/exif_orientation.h"
#include "engine/fit_within.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image.h"
#include "engine/output_metadata.h"
#include "engine/picture_metadata.h"
#include "engine/pixel_limit.h"
#include "engine/raw_codec.h"
#include "engine/webp_codec.h"
#include "exif/container_exif.h"
#include "exif/exif_data.h"
#include "exif/keep_exif.h"
#include "job/inks_through_profile.h"
#include "job/scale_settings.h"
#include "job/streamed_conversion.h"
#include "pixel/progress.h"

namespace tavelune {
namespace {

// A step that cannot be made fails the conversion: an output without the size or turn
// asked for would pass for a good one.
ImageStatus applyGeometry(Image& picture, const FileConversionSettings& settings)
{
    if (settings.resizeWidth > 0 && settings.resizeHeight > 0 &&
        (settings.resizeWidth != picture.width() || settings.resizeHeight != picture.height()) &&
        !picture.resize(settings.resizeWidth, settings.resizeHeight, kBicubic))
        return {ImageError::CanvasFailed,
                canvasFailureText("the resized picture", uint64_t(settings.resizeWidth),
                                  uint64_t(settings.resizeHeight))};
    if (settings.rotate != 0 && !picture.rotate(settings.rotate))
        return {ImageError::CanvasFailed,
                canvasFailureText("the turned picture", uint64_t(picture.height()),
                                  uint64_t(picture.width()))};
    if (settings.mirror)
        picture.mirrorHorizontal();
    if (settings.flip)
        picture.flipVertical();
    if (settings.dpi > 0.0)
        picture.setDpi(float(settings.dpi));
    return {};
}

// A rename replaces any file the folder lets us replace; the file's own bits say whether
// its owner meant it to stay (root passes access(), so the bits are asked too).
bool isWriteProtected(const std::string& path)
{
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    return (info.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 || ::access(path.c_str(), W_OK) != 0;
}

}  // namespace

PictureMetadata outputMetadata(const PictureMetadata& source, const FileConversionSettings& settings,
                               ImageFormat format, int width, int height)
{
    PictureMetadata out = metadataForOutput(source, format, width, height, settings.orient);
    if (settings.stripMetadata)
        out.stripDescriptive();
    return out;
}

void prepareForFilm(Image& picture, PictureMetadata& metadata, const FilmSettings& film,
                    const std::string& path, NoticeLog& log)
{
    if (!film.toSrgb || isOurSrgbProfile(metadata.icc))
        return;
    if (!metadata.icc.empty() && !convertToSrgb(picture, metadata.icc)) {
        log.metadata({MetadataProblem::ProfileNotConverted}, path);
        return;
    }
    metadata.icc = srgbProfile();
}

namespace {

// The opening itself; its caller adds the picture's own boxes after the readers'.
ImageStatus openPicture(const std::string& path, Image& picture, ExifData& exif, int fit,
                        bool orient, Rect* fullSize, PictureMetadata* metadata, Notices& notices)
{
    exif.Clear();
    if (metadata)
        *metadata = {};
    const std::optional<ImageFormat> kind = formatOfPath(path);
    int decodedWidth = 0;
    int decodedHeight = 0;
    if (fit > 0 && kind && isCameraRaw(*kind)) {
        // A reduced development is four times faster and has the full one's tones.
        clearCodecFailure();
        Image developed;
        if (!developRawWorkingCopy(path, fit, developed, decodedWidth, decodedHeight))
            return readFailure(path);
        picture = std::move(developed);
    } else {
        if (ImageStatus opened = openImage(path, picture); !opened)
            return opened;
        decodedWidth = picture.width();
        decodedHeight = picture.height();
    }
    if (metadata) {
        MetadataRead read = readPictureMetadata(path);
        addMetadataProblems(notices, read.problems, path);
        *metadata = std::move(read.metadata);
    }
    if (fullSize)
        *fullSize = {0, 0, decodedWidth, decodedHeight};
    if (fit > 0)
        fitWithin(picture, fit);
    const bool container = kind && exifContainerOf(*kind) != ExifContainer::None;
    if (!kind || (!formatRow(*kind).exifInPlace && !container))
        return {};
    const bool jpeg = kind == ImageFormat::Jpeg;
    const ExifStatus loaded = exif.LoadExif(path);
    addExifBoxes(notices, exif.warnings());
    // Raw and HEIF decoders turn the picture themselves; a WebP or PNG is turned as a JPEG is.
    const bool turnedByExif = jpeg || kind == ImageFormat::Webp || kind == ImageFormat::Png;
    if (!loaded || exif.IsEmpty() || !turnedByExif)
        return {};
    if (jpeg) {
        double dpi = exif.GetNumber(kIfd0, kTagXResolution, 0);
        if (exif.GetNumber(kIfd0, kTagResolutionUnit, 0) == 3)
            dpi *= 2.54;
        picture.setDpi(dpi > 0 ? float(dpi) : 72.0f);
    }
    if (orient) {
        const int before = picture.width();
        applyExifOrientation(picture, int(exif.GetNumber(kIfd0, kTagOrientation, 0)));
        if (fullSize && picture.width() != before)
            *fullSize = {0, 0, decodedHeight, decodedWidth};
    }
    return {};
}

}  // namespace

WorkingPictureOpen openWorkingPicture(const std::string& path, Image& picture, ExifData& exif,
                                      int fit, bool orient, Rect* fullSize,
                                      PictureMetadata* metadata)
{
    WorkingPictureOpen opened;
    opened.status = openPicture(path, picture, exif, fit, orient, fullSize, metadata,
                                opened.notices);
    addImageBoxes(opened.notices, opened.status);
    return opened;
}

int outputOptions(const FileConversionSettings& settings, ImageFormat format)
{
    switch (format) {
        case ImageFormat::Jpeg:
            return settings.quality;
        case ImageFormat::Tiff:
            return settings.compression;
        case ImageFormat::Webp:
            return settings.lossless ? kWebpLossless : settings.webpQuality;
        default:
            return 0;
    }
}

bool decodedUpright(const std::string& path)
{
    const std::optional<ImageFormat> kind = formatOfPath(path);
    return kind && (isCameraRaw(*kind) || kind == ImageFormat::Heif || kind == ImageFormat::Avif);
}

namespace {

FileConversionResult convert(const std::string& input, const std::string& output,
                             const FileConversionSettings& settings,
                             const std::function<void(int)>& progress, NoticeLog& log)
{
    const FormatRow* format = findFormat(splitFileName(output).extension);
    if (!format || !format->writes) {
        log.setFile(output);
        return failedConversion(log, FileConversionOutcome::WriteFailed,
                                ImageStatus(ImageError::UnsupportedFormat));
    }

    if (!settings.replaceWriteProtected && isWriteProtected(output)) {
        log.setFile(output);
        return failedConversion(log, FileConversionOutcome::WriteFailed,
                                ImageStatus(ImageError::OutputWriteProtected));
    }

    log.setFile(input);
    Progress jobProgress([&](int position) {
        if (progress)
            progress(position);
    });
    if (std::optional<FileConversionResult> streamed =
            convertStreamed(input, output, settings, jobProgress, log))
        return *streamed;

    Image source;
    ExifData exif;
    PictureMetadata metadata;
    // Inks can only go through their profile as they are read: the film wants sRGB numbers.
    const std::vector<std::uint8_t> inksProfile =
        settings.job.film.toSrgb && formatOfPath(input) == ImageFormat::Jpeg
            ? readPictureMetadata(input).metadata.icc
            : std::vector<std::uint8_t>();
    bool throughProfile = false;
    WorkingPictureOpen opened = openThroughCmykProfile(inksProfile, throughProfile, input, source,
                                                       exif, settings.fit, settings.orient,
                                                       nullptr, &metadata);
    for (Notice& notice : opened.notices)
        notice.file = input;
    log.add(std::move(opened.notices));
    if (!opened)
        return {FileConversionOutcome::ReadFailed, opened.status.failure(), {}};
    if (throughProfile)
        metadata.icc = srgbProfile();
    prepareForFilm(source, metadata, settings.job.film, input, log);
    if (ImageStatus turned = applyGeometry(source, settings); !turned)
        return failedConversion(log, FileConversionOutcome::StepFailed, turned);
    const ConversionSettings job =
        settings.scaleFrom > 0
            ? scaleConversionSettings(settings.job, double(source.width()) / settings.scaleFrom,
                                      source.dpi())
            : settings.job;

    Image result;
    Rect margins;
    const ImageStatus ran = runConversionJob(source, &exif, job, &jobProgress, result, margins);
    if (!ran)
        return jobFailure(log, ran);
    log.image(ran);  // a mat picture not read, a text cut

    log.setFile(output);
    const PictureMetadata written =
        outputMetadata(metadata, settings, format->format, result.width(), result.height());
    if (ImageStatus saved =
            saveImage(output, result, {}, outputOptions(settings, format->format), &written);
        !saved)
        return failedConversion(log, FileConversionOutcome::WriteFailed, saved);
    if (keepsExif(format->format) && settings.keepExif && !settings.stripMetadata) {
        // As in the desktop program, a picture saved without its EXIF data is still saved.
        if (!exif.IsEmpty()) {
            writeKeptExif(exif, output, result, settings.orient || decodedUpright(input));
            log.exif(exif.warnings());
        }
    }
    return {};
}

}  // namespace

FileConversionResult convertPictureFile(const std::string& input, const std::string& output,
                                        const FileConversionSettings& settings,
                                        const std::function<void(int)>& progress)
{
    NoticeLog log;
    FileConversionResult result = convert(input, output, settings, progress, log);
    result.notices = log.take();
    return result;
}

FileConversionResult failedConversion(NoticeLog& log, FileConversionOutcome outcome,
                                      const ImageStatus& status)
{
    log.image(status);
    return {outcome, status.failure(), {}};
}

FileConversionResult jobFailure(NoticeLog& log, const ImageStatus& status)
{
    // The desktop program stops without a box on a failed film step; callers report it their
    // way.
    if (status.code() == ImageError::FilmFailed)
        return {FileConversionOutcome::ConversionFailed, status.failure(), {}};
    return failedConversion(log, FileConversionOutcome::StepFailed, status);
}

}  // namespace tavelune
