// The index print's list of pictures: one item per file, with the caption label.
#pragma once

#include <string>
#include <vector>

namespace tavelune {

struct IndexItem {
    std::string label;  // caption; starts as the base name
    std::string fileName;
    std::string folder;  // with its trailing separator, or empty
    std::string extension;

    std::string path() const { return folder + fileName; }
};

/// The item for a file with a supported picture extension (any case); false for other files,
/// without a message, so a front end can word the refusal itself.
bool splitIndexItem(const std::string& path, IndexItem& item);

/// As splitIndexItem, but a refused file is reported with the skip message naming the path.
bool makeIndexItem(const std::string& path, IndexItem& item);

/// Appends the items of the paths in order, skipping (with the message) those refused.
/// Returns how many were skipped.
size_t appendIndexItems(const std::vector<std::string>& paths, std::vector<IndexItem>& items);

}  // namespace tavelune
