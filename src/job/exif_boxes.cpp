// Showing the EXIF subsystem's boxes through the message sink.
#include "job/exif_boxes.h"

#include "engine/message_sink.h"

namespace tavelune {

void showExifBoxes(const ExifWarnings& boxes)
{
    for (const ExifFailure& box : boxes) {
        const std::string text = exifBoxText(box.code);
        if (!text.empty())
            showMessage(text);
    }
}

}  // namespace tavelune
