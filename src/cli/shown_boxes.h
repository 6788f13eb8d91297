// The core's boxes printed as every message of the command line is (CliMessages).
#pragma once

#include "job/notices.h"

namespace tavelune::cli {

/// Each box in order; make the list with imageNotices, exifNotices or metadataNotices.
void showNotices(const Notices& notices);

}  // namespace tavelune::cli
