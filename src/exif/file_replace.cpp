// Whole-file reads, and rewrites through the engine's temporary-file-and-rename write.
#include "exif/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "engine/safe_write.h"

namespace tavelune::exif {
namespace {

bool writeAll(int fd, std::span<const std::uint8_t> bytes)
{
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t written = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        done += static_cast<std::size_t>(written);
    }
    return true;
}

}  // namespace

bool replaceFileContents(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> pieces)
{
    struct stat original {};
    if (::stat(path.c_str(), &original) != 0 || !S_ISREG(original.st_mode))
        return false;
    // The rename would replace a write-protected file all the same; root passes access(), so
    // the mode bits are asked too.
    if ((original.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0 ||
        ::access(path.c_str(), W_OK) != 0)
        return false;
    // A new file in the old one's place would leave its other names with the old content.
    if (original.st_nlink > 1)
        return false;
    return writeViaTemporary(path, [&](const std::string& temporary) {
        const int fd = ::open(temporary.c_str(), O_WRONLY | O_TRUNC);
        if (fd < 0)
            return false;
        bool ok = true;
        for (std::span<const std::uint8_t> piece : pieces) {
            if (!writeAll(fd, piece)) {
                ok = false;
                break;
            }
        }
        return (::close(fd) == 0) && ok;
    });
}

}  // namespace tavelune::exif
