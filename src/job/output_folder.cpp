// The probe creates a hidden, uniquely named file, so it never meets or harms a user's file.
#include "job/output_folder.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <system_error>
#include <vector>

namespace tavelune {

Status<OutputFolderError> checkOutputFolder(const std::string& folder)
{
    struct stat info {};
    if (::stat(folder.c_str(), &info) != 0) {
        const int error = errno;
        return failure(error == ENOTDIR ? OutputFolderError::NotAFolder
                                        : OutputFolderError::Missing,
                       std::strerror(error));
    }
    if (!S_ISDIR(info.st_mode)) {
        return failure(OutputFolderError::NotAFolder, std::strerror(ENOTDIR));
    }
    std::string probe = folder;
    if (probe.empty() || probe.back() != '/') {
        probe += '/';
    }
    probe += ".tavelune-probe-XXXXXX";
    std::vector<char> name(probe.begin(), probe.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        return failure(OutputFolderError::NotWritable, std::strerror(errno));
    }
    ::close(fd);
    ::unlink(name.data());
    return {};
}

Status<OutputFolderError> createOutputFolder(const std::string& folder)
{
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) {
        return failure(error == std::errc::not_a_directory ? OutputFolderError::NotAFolder
                                                            : OutputFolderError::NotWritable,
                       error.message());
    }
    return checkOutputFolder(folder);
}

}  // namespace tavelune
