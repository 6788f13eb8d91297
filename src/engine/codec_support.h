// What the codecs share beyond their interface: whole-file reads and the reason of a failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelune {

/// The largest picture a reader accepts by default: 2^28 pixels (1 GiB of pixels), larger
/// than any camera's. A header can claim any size; without a cap a few bytes could ask for
/// gigabytes before the decoder finds there is no data.
inline constexpr uint64_t kDefaultMaxPixels = uint64_t(1) << 28;
/// The most a user may raise it to: each side stays an int and the bytes a size_t.
inline constexpr uint64_t kHighestMaxPixels = uint64_t(1) << 34;

/// The limit in force for the whole process (every thread, every reader and canvas).
uint64_t maxPicturePixels();
/// 0 restores the default; values above kHighestMaxPixels are clamped to it.
void setMaxPicturePixels(uint64_t limit);
/// True when a width x height picture may be allocated: both positive, within the limit.
bool withinPixelLimit(uint64_t width, uint64_t height);

/// A reader's check of the size its header declares, before any picture memory is taken.
/// A refusal is noted ("declares W x H pixels, over the limit of N") and marked as one.
bool pictureSizeAllowed(uint64_t width, uint64_t height);
/// The text of that refusal, for canvases and callers that check a size themselves.
std::string pixelLimitText(uint64_t width, uint64_t height);
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
