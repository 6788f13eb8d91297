// Reading the overlay and mat pictures from files.
#pragma once

#include <string>

#include "engine/image.h"

namespace tavelune {

/// Opens a picture file through the format dispatch into out (size, dpi and pixels); false,
/// after telling the user, when the file cannot be read.
bool openPictureFile(const std::string& path, Image& out);

}  // namespace tavelune
