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

/// "%lu Byte" below 1024, then KB with one decimal, then MB with two.
std::string fileSizeText(std::uint64_t size);

/// Local time as "%Y-%m-%d %H:%M:%S".
std::string localTimeText(std::time_t time);

}  // namespace tavelune
