// An in-place edit's hold on its file for the whole read, change and replace.
#pragma once

#include <string>

#include "engine/result.h"

namespace tavelune {

enum class EditLockError {
    CannotOpen,  // detail: the system's reason
    HardLinked,  // detail: the number of links
};

/// An advisory lock (flock) on the file an in-place edit reads, changes and replaces, so a
/// second editor of the same file waits and then reads the new content. Symbolic links are
/// followed to the file they name. Released by unlock() or on destruction.
class FileEditLock {
public:
    FileEditLock() = default;
    ~FileEditLock();
    FileEditLock(const FileEditLock&) = delete;
    FileEditLock& operator=(const FileEditLock&) = delete;

    /// Waits for the lock. A file with more than one hard link is refused: a new file in its
    /// place would leave the other names with the old content, and rewriting the shared inode
    /// in place could damage all of them if the write stopped half-way.
    Status<EditLockError> lock(const std::string& path);
    void unlock();

private:
    int m_fd = -1;
};

/// The reason in words, for a front end: "it has 2 hard links; ...".
std::string editLockText(const Failure<EditLockError>& failure);

}  // namespace tavelune
