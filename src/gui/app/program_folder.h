// Where the desktop program finds its lang/, data/ and help/ folders.
#pragma once

#include <QString>

namespace tavelune::gui {

/// The folder holding lang/, data/ and help/ for the running executable (the real path from
/// /proc/self/exe, so symbolic links and the working directory never matter).
QString programDataFolder();

/// The rule behind programDataFolder, for any executable path: the executable's own folder when
/// a lang/ folder sits beside it (the build tree), otherwise <folder>/../lib/tavelune (an
/// installation, executable in <prefix>/bin). Absolute and without a trailing slash.
QString programDataFolderFor(const QString& executablePath);

}  // namespace tavelune::gui
