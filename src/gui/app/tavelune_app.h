// Start-up of the desktop program: the language, the pack, the placeholders, the main window.
#pragma once

#include <QString>
#include <QTranslator>
#include <memory>

namespace tavelune::gui {

class LanguagePack;
class MainWindow;

/// What the command line asked for.
struct StartOptions {
    QString language;  // --lang: used for this run only, never stored
    QString file;      // opened as by the open button
};

/// The --help line of the FILE argument: the kinds the format table reads.
QString startFileDescription();
/// Parses the command line (after QApplication has taken its own options). False with a
/// message on stderr for bad use; --help and --version print and return false with exitCode 0.
bool parseStartOptions(const QStringList& arguments, StartOptions& options, int& exitCode);

/// The running program's language pack and window.
class TaveluneApp {
public:
    explicit TaveluneApp(QString programFolder);
    ~TaveluneApp();

    /// Decides the language (the option, else the stored one, asking on the first start) and
    /// loads its pack; a pack that cannot be loaded leaves the built-in texts and "zh_CN".
    void chooseLanguage(const QString& requested);
    /// Reads the placeholders and creates the window; false (the missing file named to the
    /// user) when a placeholder cannot be read.
    bool createMainWindow();
    MainWindow* mainWindow() const { return m_window.get(); }
    QString languageCode() const;
    /// Whether Qt's own texts are translated for the active language (English needs none).
    bool qtTextsLoaded() const { return m_qtTexts != nullptr; }

private:
    void loadQtTexts();

    QString m_programFolder;
    std::unique_ptr<LanguagePack> m_pack;
    // Qt's own texts (file and colour dialogs, standard buttons) in the same language.
    std::unique_ptr<QTranslator> m_qtTexts;
    std::unique_ptr<MainWindow> m_window;
};

/// The whole program: returns the exit code.
int runProgram(int argc, char** argv);

}  // namespace tavelune::gui
