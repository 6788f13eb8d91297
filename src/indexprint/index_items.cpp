// Turning file paths into index print items.
#include "indexprint/index_items.h"

#include <algorithm>

#include "engine/format_dispatch.h"
#include "engine/format_table.h"

namespace tavelune {
namespace {

bool isIndexExtension(const std::string& extension)
{
    const FormatRow* row = findFormat(extension);
    return row && row->reads;
}

}  // namespace

bool splitIndexItem(const std::string& path, IndexItem& item)
{
    auto [folder, fileName] = splitPath(path);
    auto [baseName, extension] = splitFileName(path);
    if (!isIndexExtension(extension))
        return false;
    item = IndexItem{baseName, fileName, folder, extension};
    return true;
}

Warnings<IndexItemError> appendIndexItems(const std::vector<std::string>& paths,
                                          std::vector<IndexItem>& items)
{
    Warnings<IndexItemError> skipped;
    for (const std::string& path : paths) {
        IndexItem item;
        if (splitIndexItem(path, item))
            items.push_back(std::move(item));
        else
            skipped.push_back(failure(IndexItemError::UnsupportedType, path));
    }
    return skipped;
}

}  // namespace tavelune
