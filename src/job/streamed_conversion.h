// JPEG or camera raw into JPEG strip by strip, when nothing in the conversion needs the whole
// picture.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "job/file_conversion.h"
#include "job/strip_pipeline.h"

namespace tavelune {

class ExifThumbnailRows;
class StripSource;
struct PictureMetadata;
class PointwiseFilm;
class Progress;
struct FilmSettings;

/// Whether the file name ends in .jpg or .jpeg, in any case.
bool isJpegFileName(const std::string& path);

/// Whether the file's EXIF data, read as the opening of a picture reads it, turns or flips it.
bool turnedByExif(const std::string& path);

/// Changes a finished JPEG file's bytes before they are written (puts EXIF data in), given
/// the thumbnail made from the rows as they were written (ExifThumbnailRows); false stops
/// the write.
using JpegBytesStep = std::function<bool(std::vector<std::uint8_t>& jpeg,
                                         ExifThumbnailRows& thumbnail)>;

/// Writes a new JPEG file at path from the source (an opened reader) through film and the sharpening of
/// settings, at dpi and quality. With a step, the file is made in memory, given to the step
/// and written once. metadata (may be null) goes in after the headers. The caller reports a
/// failure (readFailure, writeFailure).
StripPipelineResult streamFilmIntoJpeg(StripSource& reader, const std::string& path,
                                       const FilmSettings& settings, const PointwiseFilm& film,
                                       float dpi, int quality, const StripPipelineHooks& hooks,
                                       const JpegBytesStep& step = {},
                                       const PictureMetadata* metadata = nullptr);

/// convertPictureFile for a JPEG or a camera raw that keeps its size and turn, read strip by
/// strip through the film (a raw's rows from the developer's reply, a JPEG's as decoded).
/// Into a JPEG with nothing framed or drawn over it, the file is written strip by strip, in a
/// fixed ring of strips; otherwise the film output is assembled once (the source is never
/// held whole), then framed, drawn over and saved as the whole-picture road does. The same
/// file either way. Empty, having only read the file, when the picture must be reduced,
/// resized or turned (a raw: asked to be reduced or resized, before anything is developed).
/// progress goes 0..92 by rows, then to 100 as the job's steps.
std::optional<FileConversionResult> convertStreamed(
    const std::string& input, const std::string& output, const FileConversionSettings& settings,
    Progress& progress, NoticeLog& log);

}  // namespace tavelune
