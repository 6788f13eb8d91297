// The boxes the EXIF subsystem met, shown through the message sink by the callers that still
// tell the user that way.
#pragma once

#include "exif/exif_error.h"

namespace tavelune {

/// Shows each box with a text of its own as the plain message box, in order.
void showExifBoxes(const ExifWarnings& boxes);

}  // namespace tavelune
