// Turning file paths into index print items.
#include "indexprint/index_items.h"

#include <algorithm>
#include <cstdio>

#include "engine/engine_messages.h"
#include "engine/format_dispatch.h"
#include "engine/message_sink.h"

namespace tavelune {
namespace {

bool isIndexExtension(std::string extension)
{
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    static const char* const kAccepted[] = {"PNG", "PSD", "TIF", "TIFF", "JPG", "JPEG", "GIF", "BMP"};
    return std::any_of(std::begin(kAccepted), std::end(kAccepted),
                       [&](const char* accepted) { return extension == accepted; });
}

std::string skipMessage(const std::string& path)
{
    std::string text = messages::kSkipUnsupported;
    size_t at = text.find("%s");
    if (at != std::string::npos)
        text.replace(at, 2, path);
    return text;
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

bool makeIndexItem(const std::string& path, IndexItem& item)
{
    if (splitIndexItem(path, item))
        return true;
    showMessage(skipMessage(path), {}, MessageIcon::Information);
    return false;
}

size_t appendIndexItems(const std::vector<std::string>& paths, std::vector<IndexItem>& items)
{
    size_t skipped = 0;
    for (const std::string& path : paths) {
        IndexItem item;
        if (makeIndexItem(path, item))
            items.push_back(std::move(item));
        else
            ++skipped;
    }
    return skipped;
}

}  // namespace tavelune
