// Information tags in overlay texts: "<Name/>" markers replaced by facts about one picture.
#pragma once

#include <ctime>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tavelune {

class Image;
class ExifData;

/// What the tags need beyond the picture and its EXIF data.
struct TagContext {
    std::string userName;            // "<UserName/>"; empty when the user keeps none
    std::string language = "zh_CN";  // interface language of the catalogue tags
    std::optional<std::time_t> now;  // fixed clock for "<CurrentDate/>" and "<CurrentTime/>"
};

/// Longest text an expansion gives, in bytes. The values come from the picture's file, which
/// may have been made to blow a watermark up to any size.
inline constexpr size_t kMaxExpandedTagText = 64 * 1024;

/// The text with every well-formed tag replaced by its value; image and exif may be null.
/// A value is never expanded again. A result that would pass kMaxExpandedTagText is cut
/// there (on a character boundary) and *cut, when given, is set.
std::string expandTags(std::string_view text, const Image* image, const ExifData* exif,
                       const TagContext& context = {}, bool* cut = nullptr);

/// The value of one tag name (without "<" and "/>"); empty for a name no rule knows.
std::string tagValue(std::string_view name, const Image* image, const ExifData* exif,
                     const TagContext& context = {});

/// One entry of the insert menu: a command with its text, a separator, or the sub-menu.
struct TagMenuEntry {
    enum class Kind { Command, Separator, SubMenu };
    Kind kind = Kind::Command;
    int command = 0;   // 1..9 the fixed tags, otherwise an EXIF tag number
    int stringId = 0;  // string-table id of a fixed entry's text (0: text from the catalogue)
    std::string text;
    std::vector<TagMenuEntry> children;
    /// With a text id, a second id whose text follows in brackets: "时间戳(日期)".
    int detailStringId = 0;
};

/// The insert menu in an interface language, sub-menu "更多..." last.
std::vector<TagMenuEntry> tagMenu(std::string_view language);

/// The text a menu command inserts: "<Name/>", or empty for a number nothing answers to.
std::string tagTextForCommand(int command);

}  // namespace tavelune
