// Temporary-file-and-rename writes.
#include "engine/safe_write.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace tavelune {
namespace {

void setError(std::string* error, const std::string& text)
{
    if (error)
        *error = text;
}

mode_t defaultMode()
{
    mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

}  // namespace

bool writeViaTemporary(const std::string& path,
                       const std::function<bool(const std::string& temporaryPath)>& write,
                       std::string* error)
{
    if (path.empty()) {
        setError(error, "empty path");
        return false;
    }
    std::string folder, name = path;
    if (auto slash = path.find_last_of('/'); slash != std::string::npos) {
        folder = path.substr(0, slash + 1);
        name = path.substr(slash + 1);
    }
    std::string pattern = folder + "." + name + ".tmp-XXXXXX";
    std::vector<char> buffer(pattern.begin(), pattern.end());
    buffer.push_back('\0');
    int fd = ::mkstemp(buffer.data());
    if (fd < 0) {
        setError(error, std::strerror(errno));
        return false;
    }
    const std::string temporary(buffer.data());
    struct stat existing {};
    mode_t mode = ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : defaultMode();
    ::fchmod(fd, mode);
    ::close(fd);

    auto fail = [&](const std::string& why) {
        ::unlink(temporary.c_str());
        setError(error, why);
        return false;
    };
    if (!write(temporary))
        return fail("write failed");
    fd = ::open(temporary.c_str(), O_RDONLY);
    if (fd < 0 || ::fsync(fd) != 0) {
        std::string why = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        return fail(why);
    }
    ::close(fd);
    if (::rename(temporary.c_str(), path.c_str()) != 0)
        return fail(std::strerror(errno));
    return true;
}

}  // namespace tavelune
