// The engine's own message texts, shown as they stand.
#pragma once

namespace tavelune::messages {

inline constexpr const char* kOpenImageError = "Open image file error !";
inline constexpr const char* kUnsupportedFormat = "Don't support image format !";
inline constexpr const char* kSkipUnsupported = "Skip: No support image format!\n\n\"%s\"";
inline constexpr const char* kJpegFatalCaption = "JPEG Fatal Error";
inline constexpr const char* kThreadFailed = "Failed to create thread";

}  // namespace tavelune::messages
