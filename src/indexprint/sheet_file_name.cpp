// A title is free text; the proposed save name must not point into another folder.
#include "indexprint/sheet_file_name.h"

namespace tavelune {

std::string sheetFileName(const std::string& title)
{
    std::string name;
    name.reserve(title.size());
    for (char c : title) {
        const auto byte = static_cast<unsigned char>(c);
        name += (c == '/' || c == '\\' || byte < 0x20 || byte == 0x7F) ? '_' : c;
    }
    const size_t first = name.find_first_not_of(' ');
    if (first == std::string::npos)
        return {};
    name = name.substr(first, name.find_last_not_of(' ') - first + 1);
    if (name == "." || name == "..")
        return {};
    return name;
}

}  // namespace tavelune
