// The texts of the picture roads' failures.
#include "engine/image_error.h"

#include "engine/engine_messages.h"

namespace tavelune {

std::string imageErrorText(const Failure<ImageError>& failure)
{
    switch (failure.code) {
        case ImageError::UnsupportedFormat:
            return messages::kUnsupportedFormat;
        case ImageError::ReadFailed:
            return messages::kOpenImageError;
        case ImageError::WriteFailed:
        case ImageError::OverPixelLimit:
            // The user learns why a save failed (no space, ...) and what limit to raise; a
            // read names no cause.
            if (failure.detail.empty())
                return messages::kOpenImageError;
            return std::string(messages::kOpenImageError) + ": " + failure.detail;
        case ImageError::OutputWriteProtected:
            return messages::kOutputWriteProtected;
        case ImageError::LibraryFault:
        case ImageError::CanvasFailed:
        case ImageError::TextCut:
        case ImageError::DeveloperRefused:
            return failure.detail;
        case ImageError::FilmFailed:
            return "the film step failed (not enough memory)";
    }
    return messages::kOpenImageError;
}

std::string imageErrorCaption(ImageError code)
{
    return code == ImageError::LibraryFault ? messages::kJpegFatalCaption : std::string();
}

MessageIcon imageErrorIcon(ImageError code)
{
    return code == ImageError::LibraryFault ? MessageIcon::Error : MessageIcon::Warning;
}

std::string imageErrorReason(const Failure<ImageError>& failure)
{
    std::string reason = imageErrorText(failure);
    if (!failure.detail.empty() && failure.code != ImageError::WriteFailed &&
        failure.code != ImageError::OverPixelLimit && failure.code != ImageError::LibraryFault &&
        failure.code != ImageError::CanvasFailed && failure.code != ImageError::TextCut &&
        failure.code != ImageError::DeveloperRefused)
        reason += ": " + failure.detail;
    return reason;
}

Warnings<ImageError> imageBoxes(const ImageStatus& status)
{
    Warnings<ImageError> boxes = status.warnings();
    if (!status)
        boxes.push_back(status.failure());
    return boxes;
}

}  // namespace tavelune
