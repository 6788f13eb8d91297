// Builds the EXIF information list's rows from a model, independent of any widget.
#include "exif/exif_list.h"

#include <algorithm>

#include "engine/format_number.h"
#include "exif/tag_catalogue.h"

namespace tavelune {
namespace {

struct FixedText {
    int id;
    const char* texts[3];  // English, zh_CN, zh_TW
};

constexpr FixedText kFixedTexts[] = {
    {kStringFileInfo, {"File information", "文件信息", "檔案資訊"}},
    {kStringFileName, {"File name", "文件名", "檔案名稱"}},
    {kStringFileSize, {"File size", "文件大小", "檔案大小"}},
    {kStringTimeStamp, {"Time stamp", "时间戳", "時間戳記"}},
    {kStringImageInfo, {"Image information", "图像信息", "影像資訊"}},
    {kStringShootingInfo, {"Shooting information", "拍摄信息", "拍攝資訊"}},
    {kStringInteropInfo, {"Interoperability information", "协同信息", "協同資訊"}},
};

// Exif entries that describe the file's structure rather than the shot.
bool isProtectedExifTag(std::uint16_t tag)
{
    constexpr std::uint16_t kProtected[] = {
        kTagExifVersion,     kTagComponentsConfiguration, kTagFlashPixVersion, kTagColorSpace,
        kTagPixelXDimension, kTagPixelYDimension,         kTagExtendSoftware,
    };
    return std::find(std::begin(kProtected), std::end(kProtected), tag) != std::end(kProtected);
}

bool isOneOf(std::uint16_t tag, std::initializer_list<std::uint16_t> tags)
{
    return std::find(tags.begin(), tags.end(), tag) != tags.end();
}

// Rules shared by both delete checks; ifd0Tags are the IFD0 entries that may go.
bool deletableEntry(const ExifListRow& row, std::initializer_list<std::uint16_t> ifd0Tags)
{
    if (row.kind != ExifListRow::Kind::Entry)
        return false;
    const auto ifd = std::uint16_t(row.itemValue >> 16);
    const auto tag = std::uint16_t(row.itemValue & 0xFFFF);
    switch (ifd) {
        case kIfd0:
            return isOneOf(tag, ifd0Tags);
        case kExifIfd:
            return !isProtectedExifTag(tag);
        case kInteropIfd:
            return true;
        default:
            return false;
    }
}

}  // namespace

std::string exifListText(int stringId, std::string_view language)
{
    for (const FixedText& text : kFixedTexts) {
        if (text.id == stringId)
            return text.texts[languageIndex(language)];
    }
    return {};
}

bool mayDeleteRow(const ExifListRow& row)
{
    return deletableEntry(row, {kTagImageDescription, kTagMake, kTagModel});
}

bool deletesRow(const ExifListRow& row)
{
    // ImageDescription, Make, Model, DateTime, Artist, Copyright
    return deletableEntry(
        row, {kTagImageDescription, kTagMake, kTagModel, kTagDateTime, kTagArtist, kTagCopyright});
}

ExifListMenuState exifListMenuState(const ExifData& exif, const std::vector<ExifListRow>& rows,
                                    const std::vector<std::size_t>& selected)
{
    ExifListMenuState state;
    if (exif.IsEmpty())
        return state;
    state.deleteExif = true;
    state.deleteSelected = std::any_of(selected.begin(), selected.end(), [&](std::size_t index) {
        return index < rows.size() && mayDeleteRow(rows[index]);
    });
    return state;
}

std::vector<ExifListRow> deleteAllEntries(ExifData& exif, std::string_view language)
{
    exif.Clear();
    return buildExifListRows(exif, language);
}

std::string exifListCopyText(const std::vector<ExifListRow>& rows,
                             const std::vector<std::size_t>& selected, std::string_view language)
{
    std::string text;
    for (std::size_t index : selected) {
        if (index >= rows.size())
            continue;
        const ExifListRow& row = rows[index];
        switch (row.kind) {
            case ExifListRow::Kind::Header:
                text += exifListText(row.stringId, language);
                break;
            case ExifListRow::Kind::File:
                text += exifListText(row.stringId, language) + ": " + row.value;
                break;
            case ExifListRow::Kind::Entry:
                text += row.name + ": " + row.value;
                break;
        }
        text += "\r\n";
    }
    return text;
}

int deleteSelectedRows(ExifData& exif, std::vector<ExifListRow>& rows,
                       std::vector<std::size_t> selected)
{
    std::sort(selected.begin(), selected.end());
    selected.erase(std::unique(selected.begin(), selected.end()), selected.end());
    int removed = 0;
    for (auto it = selected.rbegin(); it != selected.rend(); ++it) {
        if (*it >= rows.size() || !deletesRow(rows[*it]))
            continue;
        const std::uint32_t item = rows[*it].itemValue;
        if (!exif.RemoveEntry(std::uint16_t(item >> 16), std::uint16_t(item & 0xFFFF)))
            continue;
        rows.erase(rows.begin() + std::ptrdiff_t(*it));
        ++removed;
    }
    return removed;
}

std::string fileSizeText(std::uint64_t size)
{
    if (size < 1024)
        return std::to_string(size) + " Byte";
    if (size < 1048576)
        return formatNumber(static_cast<double>(size) / 1024, 1) + " KB";
    return formatNumber(static_cast<double>(size) / 1048576, 2) + " MB";
}

std::string localTimeText(std::time_t time)
{
    std::tm local{};
    if (localtime_r(&time, &local) == nullptr)
        return {};
    char text[64];
    const std::size_t length = std::strftime(text, sizeof text, "%Y-%m-%d %H:%M:%S", &local);
    return std::string(text, length);
}

std::vector<ExifListRow> buildExifListRows(const ExifData& exif, std::string_view language)
{
    std::vector<ExifListRow> rows;
    const FileStatus& status = exif.fileStatus();
    if (status.HasPath()) {
        const std::size_t slash = status.path.find_last_of('/');
        const std::string name =
            slash == std::string::npos ? status.path : status.path.substr(slash + 1);
        auto fileRow = [](int id, std::string value) {
            return ExifListRow{
                ExifListRow::Kind::File, (0x9002u << 16) | unsigned(id), id, {}, std::move(value)};
        };
        rows.push_back({ExifListRow::Kind::Header, 0, kStringFileInfo, {}, {}});
        rows.push_back(fileRow(kStringFileName, name));
        rows.push_back(fileRow(kStringFileSize,
                               fileSizeText(static_cast<std::uint64_t>(status.info.st_size))));
        rows.push_back(fileRow(kStringTimeStamp, localTimeText(status.info.st_mtime)));
    }
    if (exif.IsEmpty())
        return rows;
    const std::pair<std::uint16_t, int> groups[] = {{kIfd0, kStringImageInfo},
                                                    {kExifIfd, kStringShootingInfo},
                                                    {kInteropIfd, kStringInteropInfo}};
    for (const auto& [ifd, header] : groups) {
        rows.push_back({ExifListRow::Kind::Header, 0, header, {}, {}});
        for (const auto& entry : exif.entries()) {
            if (entry->ifd() != ifd)
                continue;
            rows.push_back({ExifListRow::Kind::Entry,
                            (std::uint32_t{entry->ifd()} << 16) | entry->tag(), 0,
                            entry->GetName(language), entry->GetText(language)});
        }
    }
    return rows;
}

}  // namespace tavelune
