// The engine's own message texts, shown as they stand.
#pragma once

namespace tavelune::messages {

inline constexpr const char* kOpenImageError = "Open image file error !";
inline constexpr const char* kUnsupportedFormat = "Don't support image format !";
inline constexpr const char* kSkipUnsupported = "Skip: No support image format!\n\n\"%s\"";
inline constexpr const char* kJpegFatalCaption = "JPEG Fatal Error";
inline constexpr const char* kThreadFailed = "Failed to create thread";
inline constexpr const char* kOutputWriteProtected =
    "The output file is write-protected; it was not replaced.";
// A file's metadata that was left out rather than guessed at; "%s" is the file.
inline constexpr const char* kMetadataIccSequence =
    "\"%s\": its colour profile is split into chunks that do not fit together; the profile was "
    "left out";
inline constexpr const char* kMetadataExtendedXmp =
    "\"%s\": its extended XMP is incomplete; only the main XMP packet was kept";
inline constexpr const char* kMetadataPhotoshop =
    "\"%s\": its Photoshop resources (IPTC) are damaged; they were left out";
inline constexpr const char* kMetadataTooLarge =
    "\"%s\": part of its metadata is too large to be kept; it was left out";
inline constexpr const char* kProfileNotConverted =
    "\"%s\": its colour profile cannot turn it into sRGB; its numbers and profile were kept";
// "%s" is the file, "%d" the seconds it was given.
inline constexpr const char* kRawDeveloperStopped =
    "\"%s\": the raw developer gave no picture within %d s and was stopped; the file may be "
    "damaged";

// Texts of the image size and save-option dialogs (string-table texts, not yet numbered).
inline constexpr const char* kWholeNumberBetween = "要求 %lu 到 %lu 之间的整数! ";
inline constexpr const char* kNumberBetween = "要求 %.3f 到 %.3f 之间的数值! ";
inline constexpr const char* kResolutionBetween = "要求 %.3f 到 %lu 之间的数值! ";
inline constexpr const char* kQualityRange = "品质的取值范围在 1 - 100 之间, 已插入最接近的值";

}  // namespace tavelune::messages
