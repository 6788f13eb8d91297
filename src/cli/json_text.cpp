// JSON string escaping that keeps every byte of a file name recoverable.
#include "cli/json_text.h"

#include <cstdio>

namespace tavelune::cli {
namespace {

// Length of the valid UTF-8 sequence at the start of text, or 0 when it is not one (overlong
// forms, surrogates and code points above U+10FFFF included).
size_t utf8SequenceLength(std::string_view text)
{
    const auto byte = [&](size_t i) { return static_cast<unsigned char>(text[i]); };
    const unsigned char lead = byte(0);
    size_t length = 0;
    unsigned char low = 0x80, high = 0xBF;  // the allowed range of the second byte
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        if (lead == 0xE0) low = 0xA0;
        if (lead == 0xED) high = 0x9F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        if (lead == 0xF0) low = 0x90;
        if (lead == 0xF4) high = 0x8F;
    } else {
        return 0;
    }
    if (text.size() < length || byte(1) < low || byte(1) > high)
        return 0;
    for (size_t i = 2; i < length; ++i)
        if (byte(i) < 0x80 || byte(i) > 0xBF)
            return 0;
    return length;
}

void appendEscape(std::string& out, unsigned code)
{
    char escape[8];
    std::snprintf(escape, sizeof escape, "\\u%04x", code);
    out += escape;
}

}  // namespace

std::string jsonString(std::string_view text)
{
    std::string out = "\"";
    while (!text.empty()) {
        const unsigned char c = static_cast<unsigned char>(text[0]);
        size_t used = 1;
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20 || c == 0x7F) {
            appendEscape(out, c);
        } else if (c < 0x80) {
            out += char(c);
        } else if ((used = utf8SequenceLength(text)) > 0) {
            out.append(text.substr(0, used));
        } else {
            used = 1;
            appendEscape(out, 0xDC00u + c);
        }
        text.remove_prefix(used);
    }
    out += '"';
    return out;
}

}  // namespace tavelune::cli
