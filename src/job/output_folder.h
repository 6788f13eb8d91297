// Whether a batch can write into its output folder, checked once before any file is read.
#pragma once

#include <string>

#include "engine/result.h"

namespace tavelune {

enum class OutputFolderError {
    Missing,      // nothing at that path (detail: the system's reason)
    NotAFolder,   // something that is not a folder is in the way
    NotWritable,  // a folder, but no file can be created in it (detail: the system's reason)
};

/// Ready when a file can be created in folder: a real probe (a file created and removed), so
/// read-only mounts, ACLs and missing search rights are all caught, whatever the user is.
Status<OutputFolderError> checkOutputFolder(const std::string& folder);

/// Creates folder and its missing parents, then checks it as above.
Status<OutputFolderError> createOutputFolder(const std::string& folder);

}  // namespace tavelune
