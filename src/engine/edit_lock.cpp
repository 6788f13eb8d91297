// FileEditLock: flock on the file, taken again when the file was replaced while waiting.
#include "engine/edit_lock.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tavelune {

FileEditLock::~FileEditLock()
{
    unlock();
}

void FileEditLock::unlock()
{
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

Status<EditLockError> FileEditLock::lock(const std::string& path)
{
    unlock();
    for (;;) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        if (fd < 0)
            return failure(EditLockError::CannotOpen, std::strerror(errno));
        int locked;
        do {
            locked = ::flock(fd, LOCK_EX);
        } while (locked != 0 && errno == EINTR);
        struct stat held {}, named {};
        if (locked != 0 || ::fstat(fd, &held) != 0) {
            const int error = errno;
            ::close(fd);
            return failure(EditLockError::CannotOpen, std::strerror(error));
        }
        // The writer before us renamed a new file over the name: lock that one instead.
        if (::stat(path.c_str(), &named) != 0 || named.st_dev != held.st_dev ||
            named.st_ino != held.st_ino) {
            ::close(fd);
            continue;
        }
        // Only a regular file is rewritten; anything else fails in the write itself.
        if (S_ISREG(held.st_mode) && held.st_nlink > 1) {
            ::close(fd);
            return failure(EditLockError::HardLinked, std::to_string(held.st_nlink));
        }
        m_fd = fd;
        return {};
    }
}

std::string editLockText(const Failure<EditLockError>& failure)
{
    switch (failure.code) {
        case EditLockError::HardLinked:
            return "it has " + failure.detail +
                   " hard links, and rewriting it would leave the other names with the old "
                   "content (copy it to a file of its own first)";
        case EditLockError::CannotOpen:
            break;
    }
    return failure.detail;
}

}  // namespace tavelune
