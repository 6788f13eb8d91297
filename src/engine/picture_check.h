// Whether a file's picture is whole, for edits that change only the file's metadata.
#pragma once

#include <optional>
#include <string>

#include "engine/image_error.h"

namespace tavelune {

struct PictureSize {
    int width = 0;
    int height = 0;
    float dpi = 0.0f;
};

/// The picture's size when the picture in path is whole; the reader's failure when it is not. A JPEG whose header reads and whose compressed data run on through every
/// scan to the end-of-image marker is whole without being decoded: an edit of its metadata
/// keeps those bytes as they are. A JPEG without that marker, and every other format, is
/// decoded to decide.
Result<PictureSize, ImageError> wholePictureSize(const std::string& path);

/// The marker walk of the above over a JPEG file's bytes (bounded by size; no decoding).
bool jpegDataReachesEnd(const unsigned char* data, size_t size);

}  // namespace tavelune
