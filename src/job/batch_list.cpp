// The batch list's rules over plain paths.
#include "job/batch_list.h"

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <system_error>

#include "engine/format_table.h"

namespace tavelune {

int batchIconForType(const std::string& upperExtension)
{
    const FormatRow* row = findFormat(upperExtension);
    return row && row->reads ? row->listIcon : -1;
}

BatchListCheck makeBatchListEntry(const std::string& path, BatchListEntry& entry)
{
    const size_t slash = path.find_last_of('/');
    const size_t dot = path.find_last_of('.');
    // A dot inside a folder name is no extension.
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return BatchListCheck::Ignored;
    std::string type = path.substr(dot + 1);
    std::transform(type.begin(), type.end(), type.begin(),
                   [](unsigned char c) { return char(std::toupper(c)); });
    const int icon = batchIconForType(type);
    if (icon < 0)
        return BatchListCheck::Unsupported;
    if (slash == std::string::npos || slash + 1 == path.size())
        return BatchListCheck::Ignored;
    entry.folder = path.substr(0, slash + 1);
    entry.name = path.substr(slash + 1);
    entry.type = type;
    entry.icon = icon;
    return BatchListCheck::Listed;
}

std::vector<std::string> picturesInFolder(const std::string& folder)
{
    namespace fs = std::filesystem;
    std::vector<std::string> pictures;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const fs::path& path = it->path();
        const std::string name = path.filename().string();
        std::error_code statError;
        if (name.empty() || name[0] == '.' || !it->is_regular_file(statError))
            continue;
        BatchListEntry entry;
        if (makeBatchListEntry(path.string(), entry) == BatchListCheck::Listed)
            pictures.push_back(path.string());
    }
    std::sort(pictures.begin(), pictures.end());
    return pictures;
}

FileListReading splitFileList(std::string_view text, char separator)
{
    FileListReading reading;
    size_t line = 0;
    while (!text.empty()) {
        const size_t end = std::min(text.find(separator), text.size());
        const std::string_view entry = text.substr(0, end);
        ++line;
        if (separator != '\0' && entry.find('\0') != std::string_view::npos) {
            reading.paths.clear();
            reading.lineWithNul = line;
            return reading;
        }
        if (!entry.empty())
            reading.paths.emplace_back(entry);
        text.remove_prefix(std::min(end + 1, text.size()));
    }
    return reading;
}

}  // namespace tavelune
