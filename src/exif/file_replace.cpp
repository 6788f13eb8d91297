// Temporary file beside the target, flushed, then renamed over it.
#include "exif/file_replace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

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

bool readWholeFile(const std::string& path, std::vector<std::uint8_t>& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "rb");
    if (file == nullptr)
        return false;
    struct stat info {};
    bool ok = ::fstat(::fileno(file), &info) == 0 && S_ISREG(info.st_mode);
    if (ok) {
        bytes.resize(static_cast<std::size_t>(info.st_size));
        ok = std::fread(bytes.data(), 1, bytes.size(), file) == bytes.size();
    }
    std::fclose(file);
    return ok;
}

bool replaceFileContents(const std::string& path,
                         std::initializer_list<std::span<const std::uint8_t>> pieces)
{
    struct stat original {};
    if (::stat(path.c_str(), &original) != 0)
        return false;
    std::string temporary = path + ".XXXXXX";
    const int fd = ::mkstemp(temporary.data());
    if (fd < 0)
        return false;
    bool ok = true;
    for (std::span<const std::uint8_t> piece : pieces) {
        if (!writeAll(fd, piece)) {
            ok = false;
            break;
        }
    }
    ok = ok && ::fchmod(fd, original.st_mode & 07777) == 0 && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    ok = ok && ::rename(temporary.c_str(), path.c_str()) == 0;
    if (!ok)
        ::unlink(temporary.c_str());
    return ok;
}

}  // namespace tavelune::exif
