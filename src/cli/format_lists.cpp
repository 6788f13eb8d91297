// Joining the format table's names and extensions for the help texts.
#include "cli/format_lists.h"

#include <algorithm>
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

std::string extensionsOf(std::span<const ImageFormat> formats, const char* prefix,
                         const char* separator, const char* last)
{
    std::vector<std::string> all;
    for (ImageFormat format : formats)
        for (std::string& extension : extensions(formatRow(format), prefix))
            all.push_back(extension);
    return join(all, separator, last);
}

std::string fillIn(const char* format, std::initializer_list<std::string> values)
{
    std::string text = format;
    size_t at = 0;
    for (const std::string& value : values) {
        at = text.find("%s", at);
        if (at == std::string::npos)
            break;
        text.replace(at, 2, value);
        at += value.size();
    }
    return text;
}

std::string wrapLongLines(const std::string& text, size_t width)
{
    std::string wrapped;
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find("\n\n", start);
        end = end == std::string::npos ? text.size() : end + 2;
        std::string block = text.substr(start, end - start);
        start = end;
        bool tooLong = false;
        for (size_t from = 0; from < block.size();) {
            const size_t next = std::min(block.find('\n', from), block.size());
            tooLong |= next - from > width;
            from = next + 1;
        }
        if (!tooLong || block.front() == ' ') {
            wrapped += block;
            continue;
        }
        // The block is one paragraph: flow its words anew.
        size_t trailing = block.size();
        while (trailing > 0 && block[trailing - 1] == '\n') --trailing;
        std::replace(block.begin(), block.begin() + long(trailing), '\n', ' ');
        size_t lineStart = wrapped.size();
        size_t from = 0;
        while (from < trailing) {
            size_t word = std::min(block.find(' ', from), trailing);
            const size_t length = word - from;
            if (wrapped.size() > lineStart && wrapped.size() - lineStart + 1 + length > width) {
                wrapped += '\n';
                lineStart = wrapped.size();
            } else if (wrapped.size() > lineStart) {
                wrapped += ' ';
            }
            wrapped.append(block, from, length);
            from = word + 1;
        }
        wrapped.append(block, trailing, std::string::npos);
    }
    return wrapped;
}

}  // namespace tavelune::cli
