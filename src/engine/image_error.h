// Why opening or saving a picture failed, as codes the front ends turn into the system's texts.
#pragma once

#include <string>

#include "engine/message_icon.h"
#include "engine/result.h"

namespace tavelune {

enum class ImageError {
    UnsupportedFormat,     // no row reads (or writes) the file's kind
    ReadFailed,            // the codec could not read the file; detail: its cause
    OverPixelLimit,        // the file declares more pixels than allowed; detail: path and sizes
    WriteFailed,           // the file could not be written; detail: the cause
    OutputWriteProtected,  // an existing output its owner write-protected
    LibraryFault,          // box: a codec library's fatal error; detail: its own text
    CanvasFailed,          // a frame, text, resize or turn could not be made; detail: why
    FilmFailed,            // the film step could not be made (not enough memory)
    TextCut,               // box: a text cut at the expansion limit; detail: the box's text
    DeveloperRefused,      // box: the raw road in its own words (a camera not known, a stop)
};

/// Success, or the failure; the library's boxes met on the way ride along as warnings.
using ImageStatus = Status<ImageError>;

/// The text of the box the user is shown ("Open image file error !", with the cause after a
/// failed write).
std::string imageErrorText(const Failure<ImageError>& failure);
/// The caption of that box; empty for the plain box.
std::string imageErrorCaption(ImageError code);
/// Its icon: an error for a library's fatal error, else a warning.
MessageIcon imageErrorIcon(ImageError code);
/// The box text followed by its detail: what a report lists as the reason.
std::string imageErrorReason(const Failure<ImageError>& failure);

/// A status's boxes in the order the user meets them: the library's own first, then the
/// failure's; as warnings of another operation, for a step that goes on without what it could
/// not read.
Warnings<ImageError> imageBoxes(const ImageStatus& status);

}  // namespace tavelune
