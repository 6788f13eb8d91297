// Reading the overlay and mat pictures from files.
#pragma once

#include <string>

#include "engine/image.h"
#include "engine/image_error.h"

namespace tavelune {

/// Opens a picture file through the format dispatch into out (size, dpi and pixels); shows
/// nothing.
ImageStatus openPictureFile(const std::string& path, Image& out);

}  // namespace tavelune
