// Opening and saving a picture with the codec its format or extension chooses; path helpers.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "engine/image.h"
#include "engine/format_table.h"
#include "engine/image_codec.h"

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

/// Why the last openImage, ImageHandle::open or saveImage on this thread failed: the message
/// already shown, followed by detail when a codec gave one ("Open image file error !: not a
/// JPEG file"). Empty after a success.
const std::string& lastImageError();

/// For reads and writes that go around openImage and saveImage (strip by strip): forgets the
/// last failure, and reports one the way those two do (message shown, lastImageError set).
void clearImageError();
/// A pixel-limit refusal is shown with its detail, naming path when one is given.
bool reportImageError(const char* message, const std::string& path = {});
/// A step that could not be done (a canvas over the pixel limit, out of memory): shows text
/// and makes it the last error, so that a batch can list it. Returns false.
bool reportFailure(const std::string& text);
/// A write through writeViaTemporary that failed: "Open image file error !" with the cause
/// (writeError when it names one, else the codec's), so the user learns why.
bool reportWriteFailure(const std::string& writeError);

/// Reads path into out with a temporary codec; no format = the path's extension.
/// Failure shows the message and leaves out as it was.
bool openImage(const std::string& path, Image& out, std::optional<ImageFormat> format = {});

/// Writes image with a temporary codec; no format = the path's extension. options go to the
/// codec (JPEG quality, TIFF compression). The file is written beside path and renamed into
/// place, so a failure never leaves a partial file nor damages an old one. metadata (may be
/// null) goes into the file where its format holds it (JPEG, TIFF).
bool saveImage(const std::string& path, const Image& image,
               std::optional<ImageFormat> format = {}, int options = 0,
               const PictureMetadata* metadata = nullptr);

}  // namespace tavelune
