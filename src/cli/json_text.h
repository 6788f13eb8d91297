// JSON string literals for the machine-readable outputs.
#pragma once

#include <string>
#include <string_view>

namespace tavelune::cli {

/// text as a quoted JSON string. File names are bytes, not always UTF-8: a byte that is no
/// part of a valid UTF-8 sequence becomes the lone surrogate \udcXX (XX the byte), which
/// decoders that keep such names (Python's surrogateescape) turn back into the same byte.
std::string jsonString(std::string_view text);

}  // namespace tavelune::cli
