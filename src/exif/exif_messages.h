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
