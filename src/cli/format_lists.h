// The format lists of the help texts and usage errors, made from the format table's rows.
#pragma once

#include <cstddef>
#include <initializer_list>
#include <span>
#include <string>

#include "engine/format_table.h"

namespace tavelune::cli {

using tavelune::readableKinds;
/// Extensions of the readable kinds, each with prefix, joined by separator: ".jpg .jpeg ...".
std::string readableExtensions(const char* prefix, const char* separator);
/// Extensions of the writable kinds, each with prefix, joined by separator, the last one by
/// last: ".jpg, .jpeg, .tif, .tiff or .bmp".
std::string writableExtensions(const char* prefix, const char* separator, const char* last);
/// The writable kinds with their extensions joined by '/': ".jpg/.jpeg, .tif/.tiff or .bmp".
std::string writableKindExtensions();
/// Extensions of formats in that order, as writableExtensions joins them.
std::string extensionsOf(std::span<const ImageFormat> formats, const char* prefix,
                         const char* separator, const char* last);

/// format with its "%s" replaced by values in order.
std::string fillIn(const char* format, std::initializer_list<std::string> values);
/// text with each paragraph (lines up to a blank line) that has a line longer than width
/// flowed anew within width; the lists above make lines of any length. Indented paragraphs
/// (option tables) stay as they are.
std::string wrapLongLines(const std::string& text, size_t width = 90);

}  // namespace tavelune::cli
