// The desktop program's settings file: language, user name, window geometry, last folders.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tavelune::gui {

/// $XDG_CONFIG_HOME/Marrowick/Tavelune.conf (~/.config when unset), group "1.6". Every read
/// opens the file afresh, so two windows or a test's private folder are always seen.
class AppSettings {
public:
    static QString filePath();

    static QString language();
    /// False when the file cannot be written; the stored value is then unchanged.
    static bool setLanguage(const QString& code);
    static QString userName();
    static bool setUserName(const QString& name);
    /// "MaxPixels": the pixel limit of every reader and canvas; 0 (missing or not a positive
    /// number) keeps the default.
    static quint64 maxPixels();
    static QByteArray windowGeometry();
    static void setWindowGeometry(const QByteArray& geometry);
    /// The folder the last open or save dialog of this kind ("open", "save") was in.
    static QString lastFolder(const QString& kind);
    static void setLastFolder(const QString& kind, const QString& folder);
    /// Where a dialog of this kind opens: the folder of currentFile when there is one, else
    /// the last folder of this kind, else the home folder.
    static QString startFolder(const QString& kind, const QString& currentFile);
    /// The settings files last saved or loaded, newest first.
    static QStringList recentLookFiles();
    static void setRecentLookFiles(const QStringList& files);
};

}  // namespace tavelune::gui
