// Finding lang/, data/ and help/ from the executable, in the build tree and when installed.
#include "gui/app/program_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "support/gui_test_support.h"

using namespace tavelune::gui;

class ProgramFolderTest : public QObject {
    Q_OBJECT

private slots:
    void ruleForBuildTreeAndInstallation_data()
    {
        QTest::addColumn<QStringList>("folders");
        QTest::addColumn<QStringList>("files");
        QTest::addColumn<QString>("executable");
        QTest::addColumn<QString>("expected");

        QTest::newRow("build tree: lang beside the program")
            << QStringList{"build/lang"} << QStringList{} << "build/tavelune"
            << "build";
        QTest::newRow("installed: prefix/bin and prefix/lib/tavelune")
            << QStringList{"usr/bin", "usr/lib/tavelune/lang"} << QStringList{}
            << "usr/bin/tavelune"
            << "usr/lib/tavelune";
        QTest::newRow("installed without packs still points into the prefix")
            << QStringList{"opt/bin"} << QStringList{} << "opt/bin/tavelune"
            << "opt/lib/tavelune";
        QTest::newRow("a plain file named lang is not a build tree")
            << QStringList{"p/bin"} << QStringList{"p/bin/lang"} << "p/bin/tavelune"
            << "p/lib/tavelune";
    }

    void ruleForBuildTreeAndInstallation()
    {
        QFETCH(QStringList, folders);
        QFETCH(QStringList, files);
        QFETCH(QString, executable);
        QFETCH(QString, expected);
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QDir dir(root.path());
        for (const QString& folder : folders) {
            QVERIFY(dir.mkpath(folder));
        }
        for (const QString& file : files) {
            QFile f(dir.filePath(file));
            QVERIFY(f.open(QIODevice::WriteOnly));
        }
        const QString found = programDataFolderFor(dir.filePath(executable));
        QCOMPARE(found, QDir::cleanPath(dir.filePath(expected)));
        QVERIFY(QDir::isAbsolutePath(found));
        QVERIFY(!found.endsWith('/'));
    }

    void workingDirectoryDoesNotMatter()
    {
        // A lang/ in the current folder must never make it the program folder.
        QTemporaryDir work;
        QVERIFY(QDir(work.path()).mkpath("lang"));
        const QString before = programDataFolder();
        const QString old = QDir::currentPath();
        QDir::setCurrent(work.path());
        const QString after = programDataFolder();
        QDir::setCurrent(old);
        QCOMPARE(after, before);
        QVERIFY(after != QDir::cleanPath(work.path()));
    }

    void runningExecutableIsFoundThroughProc()
    {
        QCOMPARE(programDataFolder(),
                 programDataFolderFor(QCoreApplication::applicationFilePath()));
    }

    void buildTreeProgramFindsItsFolder()
    {
        // The real program in the build tree resolves to the build folder, where the packs are.
        const QString folder = tavelune::gui::test::buildProgramFolder();
        QCOMPARE(programDataFolderFor(folder + "/tavelune"), QDir::cleanPath(folder));
    }
};

QTEST_MAIN(ProgramFolderTest)
#include "program_folder_test.moc"
