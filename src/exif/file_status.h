// What the file-status query tells about the file a model was loaded from.
#pragma once

#include <sys/stat.h>

#include <string>

namespace tavelune {

struct FileStatus {
    std::string path;  // absolute; empty when no file is named
    struct stat info {};

    bool HasPath() const { return !path.empty(); }
};

/// Fills status with stat() and the absolute path; false (status zeroed) when stat fails.
bool queryFileStatus(const std::string& path, FileStatus& status);

}  // namespace tavelune
