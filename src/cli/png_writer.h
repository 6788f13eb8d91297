// Writing a picture as an 8-bit RGB PNG file, for the CLI's outputs (not an open/save format).
#pragma once

#include <string>

#include "engine/image.h"

namespace tavelune::cli {

/// Writes image (alpha dropped) with its resolution through a temporary file beside path.
/// False, with error filled and no file left behind, on any failure.
bool writePngFile(const std::string& path, const Image& image, std::string* error = nullptr);

}  // namespace tavelune::cli
