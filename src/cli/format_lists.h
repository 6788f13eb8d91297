// The format lists of the help texts and usage errors, made from the format table's rows.
#pragma once

#include <string>

namespace tavelune::cli {

/// "JPEG, TIFF, PNG, GIF, PSD or BMP": the kinds a command reads.
std::string readableKinds();
/// Extensions of the readable kinds, each with prefix, joined by separator: ".jpg .jpeg ...".
std::string readableExtensions(const char* prefix, const char* separator);
/// Extensions of the writable kinds, each with prefix, joined by separator, the last one by
/// last: ".jpg, .jpeg, .tif, .tiff or .bmp".
std::string writableExtensions(const char* prefix, const char* separator, const char* last);
/// The writable kinds with their extensions joined by '/': ".jpg/.jpeg, .tif/.tiff or .bmp".
std::string writableKindExtensions();

}  // namespace tavelune::cli
