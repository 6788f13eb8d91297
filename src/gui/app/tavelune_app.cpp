// The program's start: options, language, placeholders, then the main window's event loop.
#include "gui/app/tavelune_app.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QLibraryInfo>
#include <QTextStream>
#include <cstdio>

#include "engine/codec_support.h"
#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image.h"
#include "gui/app/language_dialog.h"
#include "gui/app/main_window.h"
#include "gui/app/photo_page.h"
#include "gui/app/program_folder.h"
#include "gui/controls/message_box.h"
#include "gui/support/app_settings.h"
#include "gui/support/screen_fit.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

QString startFileDescription()
{
    return QStringLiteral("A picture to open (%1).").arg(QString::fromStdString(readableKinds()));
}

bool parseStartOptions(const QStringList& arguments, StartOptions& options, int& exitCode)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Tavelune: slide-film looks, frames, signatures and EXIF for photographs."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption lang(QStringLiteral("lang"),
                                  QStringLiteral("Use this language for this run without storing "
                                                 "it: zh_CN, zh_TW or en_US."),
                                  QStringLiteral("CODE"));
    parser.addOption(lang);
    parser.addPositionalArgument(
        QStringLiteral("FILE"),
        startFileDescription(),
        QStringLiteral("[FILE]"));
    exitCode = 0;
    if (!parser.parse(arguments)) {
        std::fprintf(stderr, "tavelune: %s\n", qPrintable(parser.errorText()));
        exitCode = 2;
        return false;
    }
    if (parser.isSet(QStringLiteral("help"))) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        return false;
    }
    if (parser.isSet(QStringLiteral("version"))) {
        std::printf("tavelune %s\n", TAVELUNE_VERSION);
        return false;
    }
    if (parser.positionalArguments().size() > 1) {
        std::fputs("tavelune: give at most one FILE\n", stderr);
        exitCode = 2;
        return false;
    }
    options.language = parser.value(lang);
    options.file = parser.positionalArguments().value(0);
    return true;
}

TaveluneApp::TaveluneApp(QString programFolder) : m_programFolder(std::move(programFolder)) {}

TaveluneApp::~TaveluneApp()
{
    m_window.reset();
    if (m_qtTexts) {
        QCoreApplication::removeTranslator(m_qtTexts.get());
    }
    setActiveLanguagePack(nullptr);
}

QString TaveluneApp::languageCode() const
{
    return activeLanguageCode();
}

void TaveluneApp::chooseLanguage(const QString& requested)
{
    const QString code = requested.isEmpty() ? readLanguage(m_programFolder, false) : requested;
    setActiveLanguagePack(nullptr);
    m_pack.reset();
    if (!code.isEmpty() && code != QLatin1String("zh_CN")) {
        QString error;
        m_pack.reset(LanguagePack::load(m_programFolder, code, &error));
        if (m_pack) {
            setActiveLanguagePack(m_pack.get());
        } else {
            std::fprintf(stderr, "tavelune: language %s not available (%s); using zh_CN\n",
                         qPrintable(code), qPrintable(error));
        }
    }
    loadQtTexts();
}

void TaveluneApp::loadQtTexts()
{
    if (m_qtTexts) {
        QCoreApplication::removeTranslator(m_qtTexts.get());
        m_qtTexts.reset();
    }
    const QString code = activeLanguageCode();
    if (code == QLatin1String("en_US")) {
        return;
    }
    auto translator = std::make_unique<QTranslator>();
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!translator->load(QStringLiteral("qtbase_") + code, folder)) {
        // The program still works, with Qt's dialogs in English.
        std::fprintf(stderr, "tavelune: Qt's texts for %s not found in %s (qt6-translations-l10n)\n",
                     qPrintable(code), qPrintable(folder));
        return;
    }
    QCoreApplication::installTranslator(translator.get());
    m_qtTexts = std::move(translator);
}

bool TaveluneApp::createMainWindow()
{
    Image placeholders[2];
    const QString names[2] = {m_programFolder + "/data/l_l.qxj", m_programFolder + "/data/l_r.qxj"};
    for (int i = 0; i < 2; ++i) {
        // The placeholders are JPEGs whatever their extension says.
        if (!QFile::exists(names[i]) ||
            !openImage(QFile::encodeName(names[i]).toStdString(), placeholders[i],
                       ImageFormat::Jpeg)) {
            showMessageBox(nullptr, text(Strings::MissingFile).arg(names[i]),
                           QMessageBox::Critical);
            return false;
        }
        placeholders[i].setDpi(72.0f);
    }
    m_window = std::make_unique<MainWindow>(m_programFolder, std::move(placeholders[0]),
                                            std::move(placeholders[1]));
    return true;
}

int runProgram(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("tavelune"));
    QApplication::setApplicationVersion(QStringLiteral(TAVELUNE_VERSION));
    QApplication::setOrganizationName(QStringLiteral("Marrowick"));
    QApplication::setDesktopFileName(QStringLiteral("tavelune"));

    StartOptions options;
    int exitCode = 0;
    if (!parseStartOptions(QApplication::arguments(), options, exitCode)) {
        return exitCode;
    }
    installEngineMessageSink();
    installScreenFit();
    setMaxPicturePixels(AppSettings::maxPixels());
    TaveluneApp program(programDataFolder());
    program.chooseLanguage(options.language);
    if (!program.createMainWindow()) {
        return 1;
    }
    program.mainWindow()->show();
    if (!options.file.isEmpty()) {
        program.mainWindow()->photoPage()->openPicture(options.file);
    }
    return app.exec();
}

}  // namespace tavelune::gui
