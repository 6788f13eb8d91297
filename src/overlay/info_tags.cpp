// Information tags: expansion, the value of each tag and the insert menu's entries.
#include "overlay/info_tags.h"

#include <algorithm>
#include <array>
#include <map>

#include "engine/image.h"
#include "exif/exif_data.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

// The name buffer holds the name and "/>"; longer candidates are plain text.
constexpr size_t kNameBufferSize = 128;

constexpr std::string_view kFixedEnglish = "en_US";

struct FixedTag {
    int command;
    const char* name;
    int stringId;
    const char* text;
};

constexpr std::array<FixedTag, 9> kFixedTags{{
    {1, "UserName", 57406, "用户名"},
    {2, "CurrentDate", 57410, "当前日期"},
    {3, "CurrentTime", 57409, "当前时间"},
    {4, "ImageSize", 57385, "图像大小"},
    {5, "Filename", 57362, "文件名"},
    {6, "StampDate", 57415, "时间戳(日期)"},
    {7, "Shutter", 57416, "快门"},
    {8, "Aperture", 57417, "光圈"},
    {9, "ShotDate", 57419, "拍摄日期"},
}};

std::string formatTime(std::time_t time, const char* format)
{
    std::tm local{};
    if (!localtime_r(&time, &local))
        return {};
    char buffer[64];
    size_t length = std::strftime(buffer, sizeof buffer, format, &local);
    return std::string(buffer, length);
}

bool hasExif(const ExifData* exif)
{
    return exif && !exif->IsEmpty();
}

std::string firstNonEmpty(const ExifData& exif, uint16_t tag, uint16_t fallbackTag)
{
    std::string text = exif.GetText(kExifIfd, tag, kFixedEnglish);
    return text.empty() ? exif.GetText(kExifIfd, fallbackTag, kFixedEnglish) : text;
}

TagMenuEntry command(int number, int stringId, std::string text)
{
    return {TagMenuEntry::Kind::Command, number, stringId, std::move(text), {}};
}

TagMenuEntry fixedEntry(int number)
{
    const FixedTag& tag = kFixedTags[size_t(number - 1)];
    TagMenuEntry entry = command(number, tag.stringId, tag.text);
    if (number == 6)
        entry.detailStringId = 57407;  // "日期"
    return entry;
}

TagMenuEntry separator()
{
    return {TagMenuEntry::Kind::Separator, 0, 0, {}, {}};
}

}  // namespace

std::string tagValue(std::string_view name, const Image* image, const ExifData* exif,
                     const TagContext& context)
{
    const std::time_t now = context.now ? *context.now : std::time(nullptr);
    if (name == "UserName")
        return context.userName;
    if (name == "CurrentDate")
        return formatTime(now, "%Y-%m-%d");
    if (name == "CurrentTime")
        return formatTime(now, "%H:%M:%S");
    if (name == "ImageSize") {
        if (!image || image->isEmpty())
            return {};
        return std::to_string(image->width()) + " x " + std::to_string(image->height());
    }
    if (name == "Filename" || name == "StampDate") {
        if (!exif || exif->fileStatus().path.empty())
            return {};
        const std::string& path = exif->fileStatus().path;
        if (name == "StampDate")
            return formatTime(exif->fileStatus().info.st_mtime, "%Y-%m-%d");
        size_t slash = path.rfind('/');
        return slash == std::string::npos ? path : path.substr(slash + 1);
    }
    if (name == "Shutter" || name == "Aperture" || name == "ShotDate") {
        if (!hasExif(exif))
            return {};
        if (name == "Shutter")
            return firstNonEmpty(*exif, kTagExposureTime, kTagShutterSpeedValue);
        if (name == "Aperture")
            return firstNonEmpty(*exif, kTagFNumber, kTagApertureValue);
        return exif->GetText(kExifIfd, kTagDateTimeOriginal, kFixedEnglish).substr(0, 10);
    }
    if (!hasExif(exif))
        return {};
    for (const TagInfo& row : tagCatalogue())
        if ((row.flags & kInfoTagFlag) && name == row.names[kEnglish])
            return exif->GetText(row.ifd, row.tag, context.language);
    return {};
}

std::string expandTags(std::string_view text, const Image* image, const ExifData* exif,
                       const TagContext& context, bool* cut)
{
    // One pass over the text as written: a value is put in and never read again, so a value
    // that holds tags (a crafted Artist of "<Artist/>" a thousand times) costs its own length.
    std::string result;
    std::map<std::string, std::string, std::less<>> values;  // one clock reading per name
    bool full = false;
    auto append = [&](std::string_view piece) {
        if (full)
            return;
        const size_t room = kMaxExpandedTagText - result.size();
        if (piece.size() <= room) {
            result.append(piece);
            return;
        }
        size_t keep = room;
        while (keep > 0 && (static_cast<unsigned char>(piece[keep]) & 0xC0) == 0x80)
            --keep;  // never half a character
        result.append(piece.substr(0, keep));
        full = true;
    };
    size_t copied = 0;  // input bytes before this are in result
    size_t start = 0;   // the candidate's "<"
    size_t collected = 0;
    bool collecting = false;
    for (size_t i = 0; i < text.size() && !full; ++i) {
        const char byte = text[i];
        if (byte == '<') {
            start = i;
            collected = 0;
            collecting = true;
            continue;
        }
        if (!collecting)
            continue;
        if (collected == kNameBufferSize) {
            collecting = false;  // too long for a tag name
            continue;
        }
        ++collected;
        if (byte != '>')
            continue;
        collecting = false;
        if (collected < 2 || text[i - 1] != '/')
            continue;
        const std::string_view name = text.substr(start + 1, collected - 2);
        auto known = values.find(name);
        if (known == values.end())
            known = values.emplace(std::string(name), tagValue(name, image, exif, context)).first;
        append(text.substr(copied, start - copied));
        append(known->second);
        copied = i + 1;
    }
    append(text.substr(std::min(copied, text.size())));
    if (cut)
        *cut = full;
    return result;
}

std::vector<TagMenuEntry> tagMenu(std::string_view language)
{
    auto catalogueEntry = [&](uint16_t ifd, uint16_t tag) {
        return command(tag, 0, tagName(ifd, tag, language));
    };
    std::vector<TagMenuEntry> menu;
    menu.push_back(fixedEntry(1));
    menu.push_back(fixedEntry(2));
    menu.push_back(fixedEntry(3));
    menu.push_back(separator());
    menu.push_back(fixedEntry(4));
    menu.push_back(fixedEntry(5));
    menu.push_back(fixedEntry(6));
    menu.push_back(separator());
    menu.push_back(catalogueEntry(kIfd0, kTagMake));
    menu.push_back(catalogueEntry(kIfd0, kTagModel));
    menu.push_back(fixedEntry(7));
    menu.push_back(fixedEntry(8));
    for (uint16_t tag : {kTagExposureBiasValue, kTagFocalLength, kTagISOSpeedRatings,
                         kTagMeteringMode, kTagExposureProgram})
        menu.push_back(catalogueEntry(kExifIfd, tag));
    menu.push_back(fixedEntry(9));
    for (uint16_t tag : {kTagArtist, kTagCopyright, kTagImageDescription})
        menu.push_back(catalogueEntry(kIfd0, tag));
    menu.push_back(separator());

    TagMenuEntry more{TagMenuEntry::Kind::SubMenu, 0, 0, "更多...", {}};
    const LanguageIndex column = languageIndex(language);
    uint16_t previousIfd = kIfd0;
    for (const TagInfo& row : tagCatalogue()) {
        if (!(row.flags & kInfoTagFlag))
            continue;
        if (row.ifd != previousIfd)
            more.children.push_back(separator());
        previousIfd = row.ifd;
        more.children.push_back(command(row.tag, 0, row.names[column]));
    }
    menu.push_back(std::move(more));
    return menu;
}

std::string tagTextForCommand(int command)
{
    if (command >= 1 && command <= int(kFixedTags.size()))
        return std::string("<") + kFixedTags[size_t(command - 1)].name + "/>";
    if (command <= 0 || command > 0xFFFF)
        return {};
    const uint16_t ifd = command < kTagExposureTime ? kIfd0 : kExifIfd;
    const TagInfo* row = findTagInfo(ifd, uint16_t(command));
    if (!row)
        return {};
    return std::string("<") + row->names[kEnglish] + "/>";
}

}  // namespace tavelune
