// The index print's list of pictures: one item per file, with the caption label.
#pragma once

#include <string>
#include <vector>

#include "engine/result.h"

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

enum class IndexItemError {
    UnsupportedType,  // detail: the path; the front end shows its skip message
};

/// Appends the items of the paths in order and returns those refused, in order.
Warnings<IndexItemError> appendIndexItems(const std::vector<std::string>& paths,
                                          std::vector<IndexItem>& items);

}  // namespace tavelune
