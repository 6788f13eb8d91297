// The texts of the EXIF subsystem's boxes, by code.
#include "exif/exif_error.h"

#include "exif/exif_messages.h"

namespace tavelune {

std::string exifBoxText(ExifError code, const std::string& detail)
{
    switch (code) {
        case ExifError::TooManyPaddingBytes:
            return messages::kTooManyPaddingBytes;
        case ExifError::SectionAllocFailed:
            return messages::kSectionAllocFailed;
        case ExifError::PrematureEnd:
            return messages::kPrematureEnd;
        case ExifError::NoNikonD100:
            return messages::kNoNikonD100;
        case ExifError::DeveloperRefused:
            return detail;
        default:
            return {};
    }
}

}  // namespace tavelune
