// The rows of the EXIF information list: file rows, then one group per directory.
#pragma once

#include <cstdint>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "exif/exif_data.h"

namespace tavelune {

/// String ids of the list's fixed texts (group headers and file-row names).
enum ExifListString : int {
    kStringFileInfo = 57411,      // "文件信息"
    kStringFileName = 57362,      // "文件名"
    kStringFileSize = 57413,      // "文件大小"
    kStringTimeStamp = 57415,     // "时间戳"
    kStringImageInfo = 57402,     // "图像信息"
    kStringShootingInfo = 57403,  // "拍摄信息"
    kStringInteropInfo = 57405,   // "协同信息"
};

struct ExifListRow {
    enum class Kind { Header, File, Entry };
    Kind kind;
    /// 0 for a header, 0x9002 << 16 | string id for a file row, IFD id << 16 | tag for an entry.
    std::uint32_t itemValue;
    int stringId;       // header and file rows; 0 for entries
    std::string name;   // entries only: GetName in the language
    std::string value;  // file and entry rows
};

/// The list's rows for a model: file rows when it names a file, then the IFD0, Exif and
/// Interoperability entries in model order (maker-note entries are not listed).
std::vector<ExifListRow> buildExifListRows(const ExifData& exif, std::string_view language);

/// The text of a header or file-row string id in a language (zh_CN, zh_TW, otherwise
/// English); empty for an unknown id.
std::string exifListText(int stringId, std::string_view language);

/// Whether selecting this row enables the list's "delete" command.
bool mayDeleteRow(const ExifListRow& row);

/// Whether "delete" removes this row's entry: headers and file rows never go.
bool deletesRow(const ExifListRow& row);

/// Which of the context menu's delete commands are enabled for a selection.
struct ExifListMenuState {
    bool deleteSelected = false;
    bool deleteExif = false;
};
ExifListMenuState exifListMenuState(const ExifData& exif, const std::vector<ExifListRow>& rows,
                                    const std::vector<std::size_t>& selected);

/// The "delete EXIF" command: destroys every entry of the model (in memory) and returns the
/// refilled rows.
std::vector<ExifListRow> deleteAllEntries(ExifData& exif, std::string_view language);

/// The copy command's text of the selected rows, in the given order: "name: value\r\n" for
/// entry and file rows, "header\r\n" for headers. Indices past the end are ignored.
std::string exifListCopyText(const std::vector<ExifListRow>& rows,
                             const std::vector<std::size_t>& selected, std::string_view language);

/// The delete command: walks the selected rows from the last to the first and removes the
/// entries that deletesRow allows from the model and their rows from rows. Only the model in
/// memory changes. Returns how many entries went.
int deleteSelectedRows(ExifData& exif, std::vector<ExifListRow>& rows,
                       std::vector<std::size_t> selected);

/// "%lu Byte" below 1024, then KB with one decimal, then MB with two.
std::string fileSizeText(std::uint64_t size);

/// Local time as "%Y-%m-%d %H:%M:%S".
std::string localTimeText(std::time_t time);

}  // namespace tavelune
