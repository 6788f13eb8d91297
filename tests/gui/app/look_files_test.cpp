// Settings files between the desktop program and tavelune-cli: a look saved by the pages
// gives the CLI the same picture, and a file the CLI wrote loads into the pages.
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QApplication>
#include <QDialog>

#include "engine/format_dispatch.h"
#include "gui/app/photo_page.h"
#include "gui/app/save_size_dialog.h"
#include "gui/batch/batch_dialog.h"
#include "gui/tabs/look_files.h"
#include "gui/support/string_table.h"
#include "job/settings_file.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

bool samePixels(const QString& left, const QString& right)
{
    Image a, b;
    if (!openImage(QFile::encodeName(left).toStdString(), a) ||
        !openImage(QFile::encodeName(right).toStdString(), b) || a.width() != b.width() ||
        a.height() != b.height()) {
        return false;
    }
    return std::equal(a.pixels(), a.pixels() + a.pixelCount(), b.pixels());
}

int runCli(const QStringList& arguments)
{
    QProcess cli;
    cli.start(QStringLiteral(TAVELUNE_CLI_PATH), arguments);
    return cli.waitForFinished(120000) ? cli.exitCode() : -1;
}

ConversionSettings aLook()
{
    ConversionSettings look;
    look.film.filmType = kFilmAstia;
    look.film.exposure = 3;
    look.film.saturation = -2;
    look.film.sharpnessPosition = 2;
    look.signature.enabled = true;
    look.signature.text = "<FileName/> f/<FNumber/>";
    look.border.enabled = true;
    return look;
}

}  // namespace

class LookFilesTest : public QObject {
    Q_OBJECT
private slots:
    void aSavedLookGivesTheCommandLineTheSamePicture()
    {
        test::PrivateSettings settings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        const QString input = QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg");
        PhotoPage page(test::makeGradient(8, 8), test::makeGradient(8, 8));
        page.resize(1000, 600);
        page.show();
        page.setSettings(aLook());
        QVERIFY(test::openAndWait(page, input));
        const QString look = dir.filePath("look.txt");
        QVERIFY(saveLookTo(&page, look, page.settings()));
        QCOMPARE(recentLookFiles(), QStringList{look});

        QVERIFY(page.startConversion());
        QVERIFY(QTest::qWaitFor([&] { return !page.isConverting(); }, 20000));
        QTimer::singleShot(0, [] {
            if (auto* options = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
                options->accept();
            }
        });
        QVERIFY(page.saveTo(dir.filePath("desktop.jpg")));
        QCOMPARE(runCli({"convert", "--settings", look, input, dir.filePath("cli.jpg")}), 0);
        QVERIFY(samePixels(dir.filePath("desktop.jpg"), dir.filePath("cli.jpg")));
        QVERIFY(messages.texts().isEmpty());
    }

    void aFileTheCommandLineWroteLoadsIntoThePages()
    {
        test::PrivateSettings settings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        const QString look = dir.filePath("cli-look.txt");
        QCOMPARE(runCli({"convert", "--film", "tmax", "--exposure", "-5", "--black-correction",
                         "--signature-text", "Ann <DateTimeOriginal/>", "--save-settings", look}),
                 0);
        ConversionSettings expected;
        std::vector<SettingsProblem> problems;
        QVERIFY(loadSettingsFile(look.toStdString(), expected, problems));
        PhotoPage page(test::makeGradient(8, 8), test::makeGradient(8, 8));
        BatchDialog batch;
        for (QWidget* owner : std::initializer_list<QWidget*>{&page, &batch}) {
            const std::optional<ConversionSettings> loaded = loadLookFrom(owner, look);
            QVERIFY(loaded);
            ConversionSettings shown;
            if (owner == &page) {
                page.setSettings(*loaded);
                shown = page.settings();
            } else {
                batch.setSettings(*loaded);
                shown = batch.settings();
            }
            shown.tags = expected.tags;  // filled in when a conversion starts
            QCOMPARE(QString::fromStdString(settingsText(shown)),
                     QString::fromStdString(settingsText(expected)));
        }
        QVERIFY(messages.texts().isEmpty());
    }

    void aBrokenFileChangesNothingAndSaysWhere()
    {
        test::PrivateSettings settings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        const QString look = dir.filePath("broken.txt");
        QFile file(look);
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write("[film]\nexposure = 3\nexposure = 99\n");
        file.close();
        QVERIFY(!loadLookFrom(nullptr, look));
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().contains(look));
        QVERIFY(messages.texts().first().contains(text(Strings::LookProblemLine).arg(3).arg("")));
        QVERIFY(recentLookFiles().isEmpty());
        QVERIFY(!saveLookTo(nullptr, dir.filePath("missing/folder/look.txt"), aLook()));
        QCOMPARE(messages.texts().size(), 2);
    }
};

QTEST_MAIN(LookFilesTest)
#include "look_files_test.moc"
