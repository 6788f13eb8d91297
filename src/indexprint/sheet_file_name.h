// The file name a save dialog proposes for a sheet, made from its title.
#pragma once

#include <string>

namespace tavelune {

/// The title as a file name without folder or extension: path separators and control
/// characters become '_', surrounding spaces go, and a name that would mean a folder ("." or
/// "..") or is left empty gives an empty text. UTF-8 stays as it is.
std::string sheetFileName(const std::string& title);

}  // namespace tavelune
