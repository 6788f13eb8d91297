// Opening and saving a picture with the codec its format or extension chooses; path helpers.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/image.h"
#include "engine/format_table.h"
#include "engine/image_codec.h"
#include "engine/image_error.h"

namespace tavelune {

struct PathParts {
    std::string folder;  // with its trailing separator, or empty
    std::string fileName;
};

struct FileNameParts {
    std::string baseName;
    std::string extension;  // without the dot, or empty
};

/// Splits at the last '/'.
PathParts splitPath(const std::string& path);
/// Splits the file name (the folder is ignored) at its last '.'.
FileNameParts splitFileName(const std::string& path);

/// A failure of code with detail (else the codec's noted cause) and the library boxes noted
/// since the last clearCodecFailure; for reads and writes that go around openImage and
/// saveImage (strip by strip).
ImageStatus imageFailure(ImageError code, std::string detail = {});
/// A write through writeViaTemporary that failed: its cause is writeError when that names one,
/// else the codec's.
ImageStatus writeFailure(const std::string& writeError);

/// A failed read of path: over the pixel limit when the codec refused the declared size
/// (detail: path and sizes, so the user sees what to raise), else ReadFailed.
ImageStatus readFailure(const std::string& path = {});

/// Reads path into out with a temporary codec; no format = the path's extension. A failure
/// leaves out as it was.
ImageStatus openImage(const std::string& path, Image& out,
                      std::optional<ImageFormat> format = {});

/// Writes image with a temporary codec; no format = the path's extension. options go to the
/// codec (JPEG quality, TIFF compression). The file is written beside path and renamed into
/// place, so a failure never leaves a partial file nor damages an old one. metadata (may be
/// null) goes into the file where its format holds it (JPEG, TIFF).
ImageStatus saveImage(const std::string& path, const Image& image,
                      std::optional<ImageFormat> format = {}, int options = 0,
                      const PictureMetadata* metadata = nullptr);

}  // namespace tavelune
