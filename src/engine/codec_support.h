// What the codecs share beyond their interface: whole-file reads and the reason of a failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/pixel_limit.h"

namespace tavelune {

/// A reader's check of the size its header declares, before any picture memory is taken.
/// A refusal is noted ("declares W x H pixels, over the limit of N") and marked as one.
bool pictureSizeAllowed(uint64_t width, uint64_t height);
/// True when the last failure noted on this thread was a pixel-limit refusal.
bool lastFailureIsPixelLimit();
/// The check of readers that can tell what the data must hold: false (and noted) when the
/// file is shorter than the bytes its header declares.
bool dataCoversDeclared(uint64_t available, uint64_t declared);

/// Reads a whole regular file. False (with the reason noted) when it cannot be opened or read.
bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes);

class Image;
/// A reader's read for formats decoded from memory: the old pixels are released, the whole
/// file read, then decoded into out.
bool decodeWholeFile(const std::string& path, Image& out,
                     bool (*decode)(const uint8_t* data, size_t size, Image& out));

/// The reason the last codec call on this thread failed, for callers that print it (the CLI).
/// Message texts shown to the user do not change; this is extra detail only.
void noteCodecFailure(const std::string& reason);
/// For a library's write error: the system's cause instead (no space, file too large, ...)
/// when error is one the user can act on. True when it was noted.
bool noteWriteCause(int error);
void clearCodecFailure();
const std::string& lastCodecFailure();

}  // namespace tavelune
