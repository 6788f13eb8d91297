// Finds the program's data folder from the executable's real path.
#include "gui/app/program_folder.h"

#include <unistd.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <climits>

namespace tavelune::gui {
namespace {

QString executablePath()
{
    char buffer[PATH_MAX];
    const ssize_t length = ::readlink("/proc/self/exe", buffer, sizeof buffer - 1);
    if (length > 0) {
        QString path = QFile::decodeName(QByteArray(buffer, int(length)));
        // The kernel marks a replaced executable; its folder is still the right one.
        const QString deleted = QStringLiteral(" (deleted)");
        if (path.endsWith(deleted) && !QFileInfo::exists(path)) {
            path.chop(deleted.size());
        }
        return path;
    }
    return QCoreApplication::instance() ? QCoreApplication::applicationFilePath() : QString();
}

}  // namespace

QString programDataFolderFor(const QString& executablePath)
{
    const QDir folder = QFileInfo(executablePath).absoluteDir();
    if (QFileInfo(folder.filePath(QStringLiteral("lang"))).isDir()) {
        return QDir::cleanPath(folder.absolutePath());
    }
    return QDir::cleanPath(folder.absoluteFilePath(QStringLiteral("../lib/tavelune")));
}

QString programDataFolder()
{
    const QString path = executablePath();
    return path.isEmpty() ? QString() : programDataFolderFor(path);
}

}  // namespace tavelune::gui
