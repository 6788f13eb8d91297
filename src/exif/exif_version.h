// The ExifVersion an EXIF write leaves in the file.
#pragma once

#include "exif/exif_entry.h"

namespace tavelune {

/// Leaves a version of 0230 or later as it is (the file may hold tags, such as the time
/// offsets, that only those versions define) and writes 0221 over an older or unreadable one.
/// False when the entry cannot be set.
bool storeExifVersion(ExifEntry* version);

}  // namespace tavelune
