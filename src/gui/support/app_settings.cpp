// Settings kept in an INI file, read and written on demand.
#include "gui/support/app_settings.h"

#include <QDir>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace tavelune::gui {

namespace {

constexpr const char* kGroup = "1.6/";

QVariant read(const QString& key)
{
    QSettings settings(AppSettings::filePath(), QSettings::IniFormat);
    return settings.value(kGroup + key);
}

bool write(const QString& key, const QVariant& value)
{
    QDir().mkpath(QFileInfo(AppSettings::filePath()).absolutePath());
    QSettings settings(AppSettings::filePath(), QSettings::IniFormat);
    settings.setValue(kGroup + key, value);
    settings.sync();
    return settings.status() == QSettings::NoError;
}

}  // namespace

QString AppSettings::filePath()
{
    QString base = qEnvironmentVariable("XDG_CONFIG_HOME");
    if (base.isEmpty()) {
        base = QDir::homePath() + "/.config";
    }
    return base + "/Marrowick/Tavelune.conf";
}

QString AppSettings::language()
{
    return read("Language").toString().left(255);
}

bool AppSettings::setLanguage(const QString& code)
{
    return write("Language", code);
}

QString AppSettings::userName()
{
    return read("UserName").toString();
}

bool AppSettings::setUserName(const QString& name)
{
    return write("UserName", name);
}

quint64 AppSettings::maxPixels()
{
    bool ok = false;
    const quint64 value = read("MaxPixels").toString().trimmed().toULongLong(&ok);
    return ok ? value : 0;
}

QByteArray AppSettings::windowGeometry()
{
    return read("WindowGeometry").toByteArray();
}

void AppSettings::setWindowGeometry(const QByteArray& geometry)
{
    write("WindowGeometry", geometry);
}

QString AppSettings::lastFolder(const QString& kind)
{
    const QString folder = read("LastFolder_" + kind).toString();
    return !folder.isEmpty() && QDir(folder).exists() ? folder : QDir::homePath();
}

QString AppSettings::startFolder(const QString& kind, const QString& currentFile)
{
    if (!currentFile.isEmpty()) {
        const QString folder = QFileInfo(currentFile).absolutePath();
        if (QDir(folder).exists()) {
            return folder;
        }
    }
    return lastFolder(kind);
}

QStringList AppSettings::recentLookFiles()
{
    return read("RecentSettingsFiles").toStringList();
}

void AppSettings::setRecentLookFiles(const QStringList& files)
{
    write("RecentSettingsFiles", files);
}

void AppSettings::setLastFolder(const QString& kind, const QString& folder)
{
    write("LastFolder_" + kind, folder);
}

}  // namespace tavelune::gui
