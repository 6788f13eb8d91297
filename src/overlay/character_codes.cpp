// UTF-8 decoding that never rejects a text.
#include "overlay/character_codes.h"

namespace tavelune {
namespace {

bool isContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

// Length and code of the well-formed sequence at text[i], or 0 when there is none.
size_t decodeOne(std::string_view text, size_t i, char32_t& code)
{
    const auto lead = static_cast<unsigned char>(text[i]);
    size_t length = 0;
    char32_t minimum = 0;
    if (lead < 0x80) {
        code = lead;
        return 1;
    }
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        code = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        code = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        code = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (text.size() - i < length)
        return 0;
    for (size_t k = 1; k < length; ++k) {
        const auto byte = static_cast<unsigned char>(text[i + k]);
        if (!isContinuation(byte))
            return 0;
        code = (code << 6) | (byte & 0x3F);
    }
    if (code < minimum || code > 0x10FFFF || (code >= 0xD800 && code <= 0xDFFF))
        return 0;
    return length;
}

}  // namespace

std::vector<char32_t> characterCodes(std::string_view text)
{
    std::vector<char32_t> codes;
    codes.reserve(text.size());
    size_t i = 0;
    while (i < text.size()) {
        char32_t code = 0;
        size_t length = decodeOne(text, i, code);
        if (length == 0) {
            code = static_cast<unsigned char>(text[i]);
            length = 1;
        }
        codes.push_back(code);
        i += length;
    }
    return codes;
}

}  // namespace tavelune
