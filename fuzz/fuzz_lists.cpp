// libFuzzer target: the batch's list files, and the batch and index lists' readers of file
// names (any bytes a folder or a list can hold): a listed file keeps its path.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "indexprint/index_items.h"
#include "job/batch_list.h"
#include "quiet_messages.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    silenceMessages();
    const std::string text(reinterpret_cast<const char*>(data), size);
    // A list file, as lines or as find -print0 writes it: no entry is empty or holds its
    // separator, and a NUL in a line list refuses the list rather than cutting a name.
    for (const char separator : {'\n', '\0'}) {
        const tavelune::FileListReading reading = tavelune::splitFileList(text, separator);
        for (const std::string& path : reading.paths)
            if (path.empty() || path.find(separator) != std::string::npos)
                __builtin_trap();
        const bool hasNul = text.find('\0') != std::string::npos;
        if (separator == '\n' && (reading.lineWithNul != 0) != hasNul)
            __builtin_trap();
    }
    std::vector<std::string> paths = tavelune::splitFileList(text, '\0').paths;
    for (size_t start = 0; start <= text.size() && paths.size() < 64;) {
        const size_t end = std::min(text.find('\n', start), text.size());
        paths.push_back(text.substr(start, end - start));
        start = end + 1;
    }
    for (const std::string& path : paths) {
        tavelune::BatchListEntry entry;
        if (tavelune::makeBatchListEntry(path, entry) == tavelune::BatchListCheck::Listed &&
            (entry.path() != path || entry.icon < 0))
            __builtin_trap();
        tavelune::IndexItem item;
        if (tavelune::splitIndexItem(path, item) && item.path() != path)
            __builtin_trap();
    }
    std::vector<tavelune::IndexItem> items;
    const auto refused = tavelune::appendIndexItems(paths, items);
    if (items.size() + refused.size() > paths.size())
        __builtin_trap();
    return 0;
}
