// What the codecs share beyond their interface: whole-file reads and the reason of a failure.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tavelune {

/// The largest picture a reader accepts: 2^30 pixels (4 GiB of pixels), each side an int.
/// A header can claim any size; without a cap a few bytes could ask for terabytes.
inline constexpr uint64_t kMaxPicturePixels = uint64_t(1) << 30;
bool pictureSizeAllowed(uint64_t width, uint64_t height);

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
