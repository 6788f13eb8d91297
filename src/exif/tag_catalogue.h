// The static tables of the EXIF subsystem: every tag the program knows and the named values.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavelune {

/// Flag bit: the tag is offered as an information tag in overlay texts.
inline constexpr std::uint32_t kInfoTagFlag = 0x100;

enum LanguageIndex { kEnglish = 0, kSimplifiedChinese = 1, kTraditionalChinese = 2 };

/// "zh_CN" and "zh_TW" pick the Chinese columns; any other code is English.
LanguageIndex languageIndex(std::string_view language);

struct TagInfo {
    std::uint16_t ifd;
    std::uint16_t tag;
    std::uint16_t type;
    std::uint32_t defaultCount;  // 0: one value
    std::uint32_t flags;
    const char* names[3];  // English (also the information-tag name), zh_CN, zh_TW
};

struct NamedValue {
    std::uint16_t ifd;
    std::uint16_t tag;
    std::uint16_t value;
    const char* texts[3];  // English, zh_CN, zh_TW
};

/// All catalogue rows in their fixed order.
std::span<const TagInfo> tagCatalogue();

/// The row of (IFD id, tag), or null.
const TagInfo* findTagInfo(std::uint16_t ifd, std::uint16_t tag);

/// The tag's name in a language, or "0x%.4X" of the tag when the catalogue lacks the pair.
std::string tagName(std::uint16_t ifd, std::uint16_t tag, std::string_view language);

/// All named-value rows in their fixed order.
std::span<const NamedValue> namedValues();

/// The text of a named value in a language, or "%hu" of the value when no row matches.
std::string LookupValueName(std::uint16_t ifd, std::uint16_t tag, std::uint16_t value,
                            std::string_view language);

/// The value bytes (host order) of an entry the program creates for a catalogue row: the
/// row's type and count (0 meaning 1), zeros except for the tags with a fixed default.
std::vector<std::uint8_t> defaultTagValue(const TagInfo& info);

}  // namespace tavelune
