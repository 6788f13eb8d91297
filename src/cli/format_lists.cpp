// Joining the format table's names and extensions for the help texts.
#include "cli/format_lists.h"

#include <vector>

#include "engine/format_table.h"

namespace tavelune::cli {
namespace {

std::string join(const std::vector<std::string>& items, const char* separator, const char* last)
{
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) {
        if (i > 0)
            text += i + 1 == items.size() ? last : separator;
        text += items[i];
    }
    return text;
}

std::vector<std::string> extensions(const FormatRow& row, const char* prefix)
{
    std::vector<std::string> list;
    for (const char* extension : row.extensions)
        if (extension)
            list.push_back(prefix + std::string(extension));
    return list;
}

}  // namespace

std::string readableKinds()
{
    std::vector<std::string> names;
    for (const FormatRow& row : formatTable())
        if (row.reads)
            names.push_back(row.name);
    return join(names, ", ", " or ");
}

std::string readableExtensions(const char* prefix, const char* separator)
{
    std::vector<std::string> all;
    for (const FormatRow& row : formatTable())
        if (row.reads)
            for (std::string& extension : extensions(row, prefix)) all.push_back(extension);
    return join(all, separator, separator);
}

std::string writableExtensions(const char* prefix, const char* separator, const char* last)
{
    std::vector<std::string> all;
    for (const FormatRow& row : formatTable())
        if (row.writes)
            for (std::string& extension : extensions(row, prefix)) all.push_back(extension);
    return join(all, separator, last);
}

std::string writableKindExtensions()
{
    std::vector<std::string> kinds;
    for (const FormatRow& row : formatTable())
        if (row.writes)
            kinds.push_back(join(extensions(row, "."), "/", "/"));
    return join(kinds, ", ", " or ");
}

}  // namespace tavelune::cli
