// What the codecs share beyond their interface: whole-file reads and the reason of a failure.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "engine/image_error.h"
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
/// Whether a failed write's errno names a cause the user can act on (no space, quota, file
/// too large, I/O error, read-only file system).
bool isActionableWriteError(int error);
/// For a library's write error: the system's cause instead when isActionableWriteError.
/// True when it was noted.
bool noteWriteCause(int error);
/// fopen(path, "rb"), the system's cause noted when it fails.
std::FILE* openForReading(const std::string& path);
/// A library's own fatal error the user is shown in a box of its own ("JPEG Fatal Error"),
/// before the failure it led to; the open and save roads hand these back as warnings.
void noteLibraryBox(const std::string& text);
/// A refusal the user can act on that a codec's helper process gave in its own words ("camera
/// not supported"), shown as it stands before the failure it led to.
void noteRefusalBox(const std::string& text);
Warnings<ImageError> takeLibraryBoxes();
/// Forgets the reason and the boxes.
void clearCodecFailure();
const std::string& lastCodecFailure();

}  // namespace tavelune
