// What the codecs share beyond their interface: whole-file reads and the reason of a failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelune {

/// Reads a whole regular file. False (with the reason noted) when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

/// The reason the last codec call on this thread failed, for callers that print it (the CLI).
/// Message texts shown to the user do not change; this is extra detail only.
void noteCodecFailure(const std::string& reason);
void clearCodecFailure();
const std::string& lastCodecFailure();

}  // namespace tavelune
