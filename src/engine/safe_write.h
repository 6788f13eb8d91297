// Writes that never damage the file they replace: temporary file in the same folder, then rename.
#pragma once

#include <functional>
#include <string>

namespace tavelune {

/// Creates a temporary file beside path, lets write() fill it by name, flushes it to disk and
/// renames it over path. The replaced file's permissions are kept; a new file gets the
/// usual 0666 less the umask. When write() returns false, or any step fails, the temporary
/// file is removed and path is left as it was. error (if given) receives the reason.
bool writeViaTemporary(const std::string& path,
                       const std::function<bool(const std::string& temporaryPath)>& write,
                       std::string* error = nullptr);

}  // namespace tavelune
