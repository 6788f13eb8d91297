// Whole-file reads and the per-thread failure reason of the codecs.
#include "engine/codec_support.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace tavelune {
namespace {

thread_local std::string t_failure;

}  // namespace

void noteCodecFailure(const std::string& reason) { t_failure = reason; }

void clearCodecFailure() { t_failure.clear(); }

const std::string& lastCodecFailure() { return t_failure; }

bool readWholeFile(const std::string& path, std::vector<uint8_t>& bytes)
{
    bytes.clear();
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (!file) {
        noteCodecFailure(std::strerror(errno));
        return false;
    }
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

}  // namespace tavelune
