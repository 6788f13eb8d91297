// The core's boxes shown as every message of the desktop program is (the engine sink's box).
#pragma once

#include "job/notices.h"

namespace tavelune::gui {

/// Each box in order; make the list with imageNotices, exifNotices or metadataNotices.
void showNotices(const Notices& notices);

}  // namespace tavelune::gui
