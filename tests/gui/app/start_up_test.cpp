// Start-up: the command line, the language question, the packs and the placeholder check.
#include <QApplication>
#include <QAction>
#include <QCloseEvent>
#include <QDir>
#include <QRadioButton>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "gui/app/language_dialog.h"
#include "gui/app/main_window.h"
#include "gui/app/photo_page.h"
#include "gui/app/tavelune_app.h"
#include "gui/support/app_settings.h"
#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

// Answers the next language dialog with the given choice.
void answerLanguageDialog(const char* radioName)
{
    QTimer::singleShot(0, [radioName] {
        auto* dialog = qobject_cast<LanguageDialog*>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        dialog->findChild<QRadioButton*>(radioName)->setChecked(true);
        dialog->accept();
    });
}

}  // namespace

class StartUpTest : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { setActiveLanguagePack(nullptr); }

    void commandLineTakesALanguageAndOneFile()
    {
        struct Case {
            QStringList arguments;
            bool ok;
            int exitCode;
            QString language;
            QString file;
        };
        const Case cases[] = {
            {{"tavelune"}, true, 0, "", ""},
            {{"tavelune", "--lang", "en_US", "a.jpg"}, true, 0, "en_US", "a.jpg"},
            {{"tavelune", "a.jpg", "b.jpg"}, false, 2, "", ""},
            {{"tavelune", "--bogus"}, false, 2, "", ""},
        };
        for (const Case& c : cases) {
            StartOptions options;
            int exitCode = -1;
            QCOMPARE(parseStartOptions(c.arguments, options, exitCode), c.ok);
            QCOMPARE(exitCode, c.exitCode);
            if (c.ok) {
                QCOMPARE(options.language, c.language);
                QCOMPARE(options.file, c.file);
            }
        }
    }

    void languageDialogPreselectsAsTheUserExpects()
    {
        struct Case {
            QString current;
            bool english;
            bool preferEnglish;
            QString expected;
        };
        const Case cases[] = {
            {"", true, false, "zh_CN"},      {"", true, true, "en_US"},
            {"", false, true, "zh_CN"},      {"zh_TW", true, true, "zh_TW"},
            {"en_US", true, false, "en_US"}, {"en_US", false, false, "zh_CN"},
        };
        for (const Case& c : cases) {
            LanguageDialog dialog(c.current, c.english, c.preferEnglish);
            QCOMPARE(dialog.chosenCode(), c.expected);
            QCOMPARE(dialog.findChild<QRadioButton*>("language_en_US")->isVisibleTo(&dialog),
                     c.english);
        }
    }

    void firstStartAsksAndStoresTheLanguage()
    {
        test::PrivateSettings settings;
        answerLanguageDialog("language_zh_TW");
        TaveluneApp program(test::buildProgramFolder());
        program.chooseLanguage({});
        QCOMPARE(AppSettings::language(), QStringLiteral("zh_TW"));
        QCOMPARE(program.languageCode(), QStringLiteral("zh_TW"));
        QCOMPARE(text(Strings::FilmTab), QString::fromUtf8("正片模擬"));

        // The second start reads it without asking (no dialog is answered this time).
        TaveluneApp again(test::buildProgramFolder());
        again.chooseLanguage({});
        QCOMPARE(again.languageCode(), QStringLiteral("zh_TW"));
    }

    void langOptionIsUsedForThisRunOnly()
    {
        test::PrivateSettings settings;
        AppSettings::setLanguage("zh_TW");
        TaveluneApp program(test::buildProgramFolder());
        program.chooseLanguage("en_US");
        QCOMPARE(program.languageCode(), QStringLiteral("en_US"));
        QCOMPARE(AppSettings::language(), QStringLiteral("zh_TW"));
    }

    void aMissingPackFallsBackToTheBuiltInTexts()
    {
        test::PrivateSettings settings;
        AppSettings::setLanguage("fr_FR");
        TaveluneApp program(test::buildProgramFolder());
        program.chooseLanguage({});
        QCOMPARE(program.languageCode(), QStringLiteral("zh_CN"));
        QCOMPARE(text(Strings::OpenFailed), QString::fromUtf8("打开文件失败"));
    }

    void aMissingPlaceholderIsNamedBeforeTheProgramEnds()
    {
        test::PrivateSettings settings;
        test::MessageCollector messages;
        QTemporaryDir folder;
        QDir().mkpath(folder.path() + "/data");
        QFile::copy(test::buildProgramFolder() + "/data/l_l.qxj", folder.path() + "/data/l_l.qxj");
        AppSettings::setLanguage("zh_CN");
        TaveluneApp program(folder.path());
        program.chooseLanguage({});
        QVERIFY(!program.createMainWindow());
        QCOMPARE(messages.messages().size(), size_t(1));
        QVERIFY(messages.texts().first().contains("l_r.qxj"));
    }

    void theWindowRemembersItsGeometryAndWaitsForAJob()
    {
        test::PrivateSettings settings;
        AppSettings::setLanguage("zh_CN");
        {
            TaveluneApp program(test::buildProgramFolder());
            program.chooseLanguage({});
            QVERIFY(program.createMainWindow());
            MainWindow* window = program.mainWindow();
            window->setGeometry(40, 50, 900, 640);
            window->show();
            PhotoPage* page = window->photoPage();
            QVERIFY(test::openAndWait(*page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/rocket.jpg")));
            QVERIFY(page->startConversion());
            QVERIFY(!window->close());
            QVERIFY(QTest::qWaitFor([&] { return !page->isConverting(); }, 20000));
            QVERIFY(window->close());
        }
        QVERIFY(!AppSettings::windowGeometry().isEmpty());
        TaveluneApp program(test::buildProgramFolder());
        program.chooseLanguage({});
        QVERIFY(program.createMainWindow());
        QCOMPARE(program.mainWindow()->size(), QSize(900, 640));
    }

    void qtsOwnTextsFollowTheLanguage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<bool>("translated");
        QTest::newRow("zh_CN") << "zh_CN" << true;
        QTest::newRow("zh_TW") << "zh_TW" << true;
        QTest::newRow("en_US") << "en_US" << false;
    }

    void qtsOwnTextsFollowTheLanguage()
    {
        QFETCH(QString, code);
        QFETCH(bool, translated);
        test::PrivateSettings settings;
        TaveluneApp program(test::buildProgramFolder());
        program.chooseLanguage(code);
        QCOMPARE(program.qtTextsLoaded(), translated);
        // The message boxes' buttons and the file dialog's labels.
        const QString yes = QCoreApplication::translate("QPlatformTheme", "&Yes");
        const QString lookIn = QCoreApplication::translate("QFileDialog", "Look in:");
        QCOMPARE(yes != QLatin1String("&Yes"), translated);
        QCOMPARE(lookIn != QLatin1String("Look in:"), translated);
    }

    void helpThatCannotBeShownSaysSo_data()
    {
        QTest::addColumn<bool>("pagesPresent");
        QTest::addColumn<int>("expected");
        // The offscreen platform has no URL handler, as a bare desktop has none.
        QTest::newRow("no viewer") << true << int(Strings::HelpNoViewer);
        QTest::newRow("no pages") << false << int(Strings::HelpMissing);
    }

    void helpThatCannotBeShownSaysSo()
    {
        QFETCH(bool, pagesPresent);
        QFETCH(int, expected);
        test::PrivateSettings settings;
        QTemporaryDir empty;
        const QString folder = pagesPresent ? test::buildProgramFolder() : empty.path();
        MainWindow window(folder, test::makeGradient(8, 8), test::makeGradient(8, 8));
        test::MessageCollector messages;
        window.findChild<QAction*>("helpAction")->trigger();
        QCOMPARE(messages.texts().size(), 1);
        const QString shown = messages.texts().first();
        QVERIFY2(shown.startsWith(text(expected).section("%1", 0, 0)), qPrintable(shown));
        QVERIFY(shown.contains(folder + "/help/"));
    }

    void dialogsStartInThePicturesFolderElseTheLastOne()
    {
        test::PrivateSettings settings;
        QTemporaryDir dir;
        QDir().mkpath(dir.filePath("last"));
        QDir().mkpath(dir.filePath("pictures"));
        QCOMPARE(AppSettings::startFolder("open", {}), QDir::homePath());
        AppSettings::setLastFolder("open", dir.filePath("last"));
        QCOMPARE(AppSettings::startFolder("open", {}), dir.filePath("last"));
        QCOMPARE(AppSettings::startFolder("open", dir.filePath("pictures/a.jpg")),
                 dir.filePath("pictures"));
        QCOMPARE(AppSettings::startFolder("save", dir.filePath("gone/a.jpg")), QDir::homePath());
        QCOMPARE(AppSettings::startFolder("open", dir.filePath("gone/a.jpg")), dir.filePath("last"));
    }

    void thePixelLimitIsReadFromTheSettings()
    {
        test::PrivateSettings settings;
        const struct {
            const char* stored;
            quint64 limit;
        } rows[] = {{"1000000", 1000000}, {" 4294967296 ", 4294967296ull}, {"lots", 0},
                    {"-5", 0}, {"", 0}};
        for (const auto& row : rows) {
            QSettings file(AppSettings::filePath(), QSettings::IniFormat);
            file.setValue(QStringLiteral("1.6/MaxPixels"), QString::fromLatin1(row.stored));
            file.sync();
            QCOMPARE(AppSettings::maxPixels(), row.limit);
        }
    }
};

QTEST_MAIN(StartUpTest)
#include "start_up_test.moc"
