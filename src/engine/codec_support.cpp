// Whole-file reads and the per-thread failure reason of the codecs.
#include "engine/codec_support.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <utility>

#include "engine/image.h"

namespace tavelune {
namespace {

thread_local std::string t_failure;
thread_local bool t_overLimit = false;
thread_local Warnings<ImageError> t_libraryBoxes;

}  // namespace

bool pictureSizeAllowed(uint64_t width, uint64_t height)
{
    if (width == 0 || height == 0) {
        noteCodecFailure("picture size out of range");
        return false;
    }
    if (!withinPixelLimit(width, height)) {
        noteCodecFailure("declares " + pixelLimitText(width, height));
        t_overLimit = true;
        return false;
    }
    return true;
}

bool lastFailureIsPixelLimit()
{
    return t_overLimit;
}

bool dataCoversDeclared(uint64_t available, uint64_t declared)
{
    if (available >= declared)
        return true;
    noteCodecFailure("file ends before its declared picture (" + std::to_string(available) +
                     " of " + std::to_string(declared) + " bytes)");
    return false;
}

void noteCodecFailure(const std::string& reason)
{
    t_failure = reason;
    t_overLimit = false;
}

bool isActionableWriteError(int error)
{
    switch (error) {
        case ENOSPC:
        case EDQUOT:
        case EFBIG:
        case EIO:
        case EROFS:
            return true;
        default:
            return false;
    }
}

bool noteWriteCause(int error)
{
    if (!isActionableWriteError(error))
        return false;
    noteCodecFailure(std::strerror(error));
    return true;
}

std::FILE* openForReading(const std::string& path)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file)
        noteCodecFailure(std::strerror(errno));
    return file;
}

void noteLibraryBox(const std::string& text)
{
    t_libraryBoxes.push_back({ImageError::LibraryFault, text});
}

void noteRefusalBox(const std::string& text)
{
    t_libraryBoxes.push_back({ImageError::DeveloperRefused, text});
}

Warnings<ImageError> takeLibraryBoxes()
{
    return std::exchange(t_libraryBoxes, {});
}

void clearCodecFailure()
{
    t_failure.clear();
    t_overLimit = false;
    t_libraryBoxes.clear();
}

const std::string& lastCodecFailure()
{
    return t_failure;
}

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = openForReading(path);
    if (!file)
        return false;
    struct stat status {};
    if (::fstat(::fileno(file), &status) != 0 || !S_ISREG(status.st_mode)) {
        noteCodecFailure(S_ISDIR(status.st_mode) ? "is a directory" : "not a regular file");
        std::fclose(file);
        return false;
    }
    // The size is only a hint: the file may change while it is read.
    bytes.reserve(size_t(status.st_size));
    uint8_t chunk[65536];
    for (;;) {
        size_t got = std::fread(chunk, 1, sizeof chunk, file);
        bytes.insert(bytes.end(), chunk, chunk + got);
        if (got < sizeof chunk)
            break;
    }
    const bool failed = std::ferror(file) != 0;
    std::fclose(file);
    if (failed) {
        noteCodecFailure("read error");
        bytes.clear();
        return false;
    }
    return true;
}

bool decodeWholeFile(const std::string& path, Image& out,
                     bool (*decode)(const uint8_t*, size_t, Image&))
{
    if (path.empty())
        return false;
    out.destroyPixels();
    std::vector<uint8_t> bytes;
    if (!readWholeFile(path, bytes))
        return false;
    return decode(bytes.data(), bytes.size(), out);
}

}  // namespace tavelune
