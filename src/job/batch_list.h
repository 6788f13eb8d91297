// The batch list's rules: which files it takes, how a row reads, what a dropped folder adds.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace tavelune {

/// One row of the batch list: the file name, its folder with the trailing separator and the
/// extension in upper case; icon is the picture type's index (0 JPEG, 1 TIFF, 2 PSD, 3 GIF,
/// 4 BMP, 5 PNG).
struct BatchListEntry {
    std::string name;
    std::string folder;
    std::string type;
    int icon = -1;

    std::string path() const { return folder + name; }
};

enum class BatchListCheck {
    Listed,
    Ignored,      // no extension or no folder: left out without a word
    Unsupported,  // an extension the program cannot read: the user is told
};

/// The icon of an upper-case extension, or -1 when the program cannot read the type.
int batchIconForType(const std::string& upperExtension);

/// Decides whether path goes into the list and fills entry when it does.
BatchListCheck makeBatchListEntry(const std::string& path, BatchListEntry& entry);

/// The pictures directly inside folder that the list takes, sorted by name; hidden files and
/// subfolders are left out. Empty when the folder cannot be read.
std::vector<std::string> picturesInFolder(const std::string& folder);

/// The paths of a file list: one per line ('\n'), or one per NUL-terminated entry when
/// separator is '\0' (as find -print0 writes); empty entries are left out, bytes are kept
/// as they are. In a line list a NUL byte would cut a path short, so its line is refused.
struct FileListReading {
    std::vector<std::string> paths;
    size_t lineWithNul = 0;  // the first such line, counted from 1; 0 when none
};
FileListReading splitFileList(std::string_view text, char separator);

}  // namespace tavelune
