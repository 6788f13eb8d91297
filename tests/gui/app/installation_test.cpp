// `cmake --install` into a fresh prefix puts every file where the program and the desktop look.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <memory>

#include "engine/image.h"
#include "engine/jpeg_codec.h"
#include "gui/app/program_folder.h"
#include "gui/support/string_table.h"
#include "support/gui_test_support.h"
#include "support/test_dng.h"

using namespace tavelune;
using namespace tavelune::gui;

class InstallationTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir m_prefix;

    QString installed(const QString& relative) const { return m_prefix.filePath(relative); }

    /// The value of key in the [Desktop Entry] group, read as plain lines (QSettings would
    /// treat the ';' lists and the localized keys its own way).
    QString desktopEntryValue(const QString& key) const
    {
        QFile file(installed("share/applications/tavelune.desktop"));
        if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
            return {};
        }
        const QString prefix = key + '=';
        for (const QString& line : QString::fromUtf8(file.readAll()).split('\n')) {
            if (line.startsWith(prefix)) {
                return line.mid(prefix.size());
            }
        }
        return {};
    }

private slots:
    void initTestCase()
    {
        QVERIFY(m_prefix.isValid());
        QProcess install;
        install.setProcessChannelMode(QProcess::MergedChannels);
        install.start(QStringLiteral(TAVELUNE_CMAKE_COMMAND),
                      {"--install", tavelune::gui::test::buildProgramFolder(), "--prefix", m_prefix.path()});
        QVERIFY(install.waitForFinished(120000));
        QVERIFY2(install.exitStatus() == QProcess::NormalExit && install.exitCode() == 0,
                 install.readAll().constData());
    }

    void everyFileIsInItsPlace_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("executable");
        const std::pair<const char*, bool> files[] = {
            {"bin/tavelune", true},
            {"bin/tavelune-cli", true},
            {"lib/tavelune/tavelune-raw", true},
            {"lib/tavelune/lang/Lang_zh_TW.so", false},
            {"lib/tavelune/lang/Lang_en_US.so", false},
            {"lib/tavelune/data/l_l.qxj", false},
            {"lib/tavelune/data/l_r.qxj", false},
            {"lib/tavelune/help/index.html", false},
            {"lib/tavelune/help/help.css", false},
            {"lib/tavelune/help/zh_CN/index.html", false},
            {"lib/tavelune/help/zh_TW/index.html", false},
            {"lib/tavelune/help/en_US/index.html", false},
            {"share/applications/tavelune.desktop", false},
            {"share/metainfo/org.marrowick.Tavelune.metainfo.xml", false},
            {"share/icons/hicolor/scalable/apps/tavelune.svg", false},
            {"share/man/man1/tavelune.1", false},
            {"share/man/man1/tavelune-cli.1", false},
        };
        for (const auto& [path, executable] : files) {
            QTest::newRow(path) << QString(path) << executable;
        }
    }

    void everyFileIsInItsPlace()
    {
        QFETCH(QString, path);
        QFETCH(bool, executable);
        const QFileInfo info(installed(path));
        QVERIFY2(info.isFile(), qPrintable(path + " is missing"));
        QVERIFY(info.size() > 0);
        QCOMPARE(info.isExecutable(), executable);
    }

    void installedProgramFindsItsLanguagePacks()
    {
        const QString folder = programDataFolderFor(installed("bin/tavelune"));
        QCOMPARE(folder, QDir::cleanPath(installed("lib/tavelune")));
        for (const QString code : {"zh_TW", "en_US"}) {
            QString error;
            std::unique_ptr<LanguagePack> pack(LanguagePack::load(folder, code, &error));
            QVERIFY2(pack, qPrintable(code + ": " + error));
            QCOMPARE(pack->code(), code);
        }
    }

    void installedPlaceholdersAreJpegsWithinTheWorkingSize()
    {
        const QString folder = programDataFolderFor(installed("bin/tavelune"));
        for (const QString name : {"l_l.qxj", "l_r.qxj"}) {
            Image picture;
            JpegCodec codec;
            QVERIFY2(codec.read(QFile::encodeName(folder + "/data/" + name).toStdString(), picture),
                     qPrintable(name));
            QVERIFY(picture.width() > 0 && picture.height() > 0);
            QVERIFY(std::max(picture.width(), picture.height()) <= 800);
        }
    }

    void desktopEntryNamesInstalledFiles()
    {
        // Exec and Icon must name what was installed, or the menu entry starts nothing.
        QCOMPARE(desktopEntryValue("Exec"), QStringLiteral("tavelune %f"));
        QVERIFY(QFileInfo(installed("bin/" + desktopEntryValue("Exec").section(' ', 0, 0)))
                    .isExecutable());
        QVERIFY(QFileInfo::exists(
            installed("share/icons/hicolor/scalable/apps/" + desktopEntryValue("Icon") + ".svg")));

        QFile metainfo(installed("share/metainfo/org.marrowick.Tavelune.metainfo.xml"));
        QVERIFY(metainfo.open(QIODevice::ReadOnly));
        const QString xml = QString::fromUtf8(metainfo.readAll());
        QVERIFY(xml.contains("<launchable type=\"desktop-id\">tavelune.desktop</launchable>"));
        QVERIFY(xml.contains("<binary>tavelune</binary>"));
        QVERIFY(xml.contains("<binary>tavelune-cli</binary>"));
    }

    void installedCliRuns()
    {
        QProcess cli;
        cli.start(installed("bin/tavelune-cli"), {"--version"});
        QVERIFY(cli.waitForFinished(30000));
        QCOMPARE(cli.exitCode(), 0);
        QVERIFY(cli.readAllStandardOutput().startsWith("Tavelune "));
    }

    // The installed program finds its own raw developer (the tests' one is not named), and a
    // raw that brings LibRaw down fails alone, with the usual message.
    void installedCliDevelopsRawsInTheirOwnProcess()
    {
        QTemporaryDir work;
        Image picture;
        QVERIFY(picture.create(64, 48, 72.0f));
        picture.fill(0xFF3080C0);
        const QString dng = work.filePath("shot.dng");
        QVERIFY(tavelune::test::writeTestDng(QFile::encodeName(dng).toStdString(), picture));
        const QString hostile = QStringLiteral(TAVELUNE_SOURCE_DIR) +
                                "/tests/data/raw-crashes/libraw-abort-1.dng";
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.remove("TAVELUNE_RAW_DEVELOPER");
        const struct {
            QString input;
            int exitCode;
        } runs[] = {{dng, 0}, {hostile, 1}};
        for (const auto& run : runs) {
            QProcess cli;
            cli.setProcessEnvironment(environment);
            cli.start(installed("bin/tavelune-cli"),
                      {"convert", run.input, work.filePath("out.jpg")});
            QVERIFY(cli.waitForFinished(60000));
            const QByteArray errors = cli.readAllStandardError();
            QCOMPARE(cli.exitStatus(), QProcess::NormalExit);
            QVERIFY2(cli.exitCode() == run.exitCode, errors.constData());
            if (run.exitCode != 0) {
                QVERIFY2(errors.contains("Open image file error !"), errors.constData());
                QVERIFY2(!errors.contains("overflow"), errors.constData());
            }
        }
        QVERIFY(QFileInfo(work.filePath("out.jpg")).size() > 0);
    }
};

QTEST_MAIN(InstallationTest)
#include "installation_test.moc"
