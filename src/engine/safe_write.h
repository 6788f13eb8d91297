// Writes that never damage the file they replace: temporary file in the same folder, then rename.
#pragma once

#include <functional>
#include <set>
#include <string>

namespace tavelune {

/// The reason given when a writer failed without leaving a cause in errno.
inline constexpr const char* kWriteFailed = "write failed";

/// Creates a temporary file beside path, lets write() fill it by name, flushes it to disk and
/// puts it in path's place. The temporary is unnamed (O_TMPFILE) where the file system allows,
/// so nothing is visible before the file is complete; elsewhere it is ".NAME.tmp-XXXXXX",
/// removed on SIGINT, SIGTERM and SIGHUP unless the program handles those itself. A symbolic
/// link is followed: the file it names is replaced and the link stays. The replaced file's
/// permissions are kept; a new file gets the usual 0666 less the umask. SIGXFSZ is ignored
/// from the first call on, so a file-size limit is a write error. When write() returns false,
/// or any step fails, the temporary is removed and path is left as it was; error (if given)
/// receives the reason (the system's, such as "No space left on device", where known).
bool writeViaTemporary(const std::string& path,
                       const std::function<bool(const std::string& temporaryPath)>& write,
                       std::string* error = nullptr);

/// Removes the ".NAME.tmp-XXXXXX" files beside path that no live writer holds (a killed run's);
/// only the user's own regular files. Returns how many went.
int removeStaleTemporaries(const std::string& path);

/// The names in folder that have a ".NAME.tmp-XXXXXX" beside them, live or stale: one read of
/// the folder for a caller about to write many files there, so that it asks
/// removeStaleTemporaries only about those.
std::set<std::string> namesWithTemporaries(const std::string& folder);

/// Named temporaries only, as on a file system without O_TMPFILE (for tests).
void useNamedTemporariesOnly(bool namedOnly);

}  // namespace tavelune
