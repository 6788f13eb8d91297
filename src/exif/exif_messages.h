// The EXIF subsystem's own message texts, shown as they stand.
#pragma once

namespace tavelune::messages {

inline constexpr const char* kTooManyPaddingBytes = "too many padding bytes";
inline constexpr const char* kSectionAllocFailed = "Could not allocate section memory";
inline constexpr const char* kPrematureEnd = "Premature end of file?";
inline constexpr const char* kNoNikonD100 = "No Nikon D100";
inline constexpr const char* kHistogramThreadFailed = "Failed to create histogram calc thread";
inline constexpr const char* kHistogramCalculating = "Calculating...";
inline constexpr const char* kHistogramIdle = "HISTOGRAM & EXIF VIEW";

}  // namespace tavelune::messages

namespace tavelune::messages {

// The EXIF editor's texts; the numbered ones come from the string table.
inline constexpr const char* kEditorTitle = "Exif Maker V2.21";
inline constexpr const char* kWriteConfirm =  // 57427
    "本操作将直接修改原文件中的Exif信息, 请注意备份!\n确认要继续吗?";
inline constexpr const char* kDeleteConfirm =  // 57428
    "本操作将直接删除原文件中的Exif信息, 请注意备份!\n确认要继续吗?";
inline constexpr const char* kSourceFileNoExist = "Source file no exist !";
inline constexpr const char* kSourceNotJpegOrTiff = "Source file no \"JPEG\" or \"TIFF\" format.";
inline constexpr const char* kRawNeverRewritten =
    "\"%s\" is a camera raw file: raw files are never rewritten.";
inline constexpr const char* kExifShownOnly =
    "\"%s\" is kept as it is: EXIF data is changed only in JPEG and TIFF files.";
inline constexpr const char* kWriteExifFailed = "Write Exif V2.21 to \"%s\" fail.";
inline constexpr const char* kDeleteExifFailed = "Delete Exif info from \"%s\" fail.";
// A maker note that could neither stay in place nor have its offsets moved with it.
inline constexpr const char* kMakerNoteOffsetsMayBeInvalid = "maker note offsets may be invalid";
inline constexpr const char* kInfinity = "无穷远";       // 57423
inline constexpr const char* kUnitPixels = "像素";       // 57376
inline constexpr const char* kUnitInches = "英寸";       // 57377
inline constexpr const char* kUnitCentimetres = "厘米";  // 57378

}  // namespace tavelune::messages
