// The verbs of tavelune-cli exif that change files: set and delete.
#pragma once

#include <string>
#include <vector>

namespace tavelune::cli {

extern const char* const kExifEditHelp;

/// tavelune-cli exif set [--backup] FILE NAME=VALUE...
int runExifSet(const std::vector<std::string>& args);
/// tavelune-cli exif delete [--backup] FILE...
int runExifDelete(const std::vector<std::string>& args);

}  // namespace tavelune::cli
