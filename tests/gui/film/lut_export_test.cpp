// Export as LUT on the film page: the file written through the button holds the page's look
// at the chosen size, and cancelling, bad names and failed writes behave.
#include "job/lut_export.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "gui/film/film_page.h"
#include "gui/film/lut_size_dialog.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

QByteArray fileBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Answers the size dialog once it is up: picks the item holding `size`, or cancels at 0.
void answerSizeDialog(int size, bool* seen)
{
    auto* timer = new QTimer;
    QObject::connect(timer, &QTimer::timeout, timer, [timer, size, seen] {
        auto* dialog = qobject_cast<LutSizeDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        *seen = true;
        auto* sizes = dialog->findChild<QComboBox*>("lutSize");
        if (size == 0 || sizes->findData(size) < 0) {
            dialog->reject();
            return;
        }
        sizes->setCurrentIndex(sizes->findData(size));
        dialog->accept();
    });
    timer->start(10);
}

FilmSettings look()
{
    FilmSettings s;
    s.filmType = kFilmE100Vs;
    s.exposure = 2;
    s.portrait = true;
    s.saturation = 3;
    s.sharpnessPosition = 1;  // not part of a LUT
    return s;
}

}  // namespace

class LutExportTest : public QObject {
    Q_OBJECT
private slots:
    void buttonWritesThePagesLookAtTheChosenSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<int>("format");
        QTest::addColumn<int>("size");
        QTest::newRow("cube 33") << "look.cube" << int(LutFormat::Cube) << 33;
        QTest::newRow("cube 65, upper-case name") << "Look.CUBE" << int(LutFormat::Cube) << 65;
        QTest::newRow("HaldCLUT level 8") << "hald.png" << int(LutFormat::HaldPng) << 8;
    }

    void buttonWritesThePagesLookAtTheChosenSize()
    {
        QFETCH(QString, name);
        QFETCH(int, format);
        QFETCH(int, size);
        test::MessageCollector messages;
        QTemporaryDir dir;
        const QString path = dir.filePath(name);
        FilmPage page;
        page.setSettings(look());
        page.show();
        QString suggested;
        page.setLutPathChooser([&](QWidget*, const QString& offered) {
            suggested = offered;
            return path;
        });
        QSignalSpy finished(&page, &FilmPage::lutExportFinished);
        bool asked = false;
        answerSizeDialog(size, &asked);
        auto* button = page.findChild<QPushButton*>("exportLut");
        QTest::mouseClick(button, Qt::LeftButton);
        QVERIFY(asked);
        QVERIFY(page.isExportingLut());
        QVERIFY(!button->isEnabled());
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 120000);
        QCOMPARE(finished.at(0).at(0).toBool(), true);
        QVERIFY(button->isEnabled());
        QVERIFY(messages.texts().isEmpty());
        QVERIFY(suggested.endsWith("e100vs.cube"));

        // The same look written by the core directly gives the same bytes.
        const QString expected = dir.filePath("expected" + name.right(5).toLower());
        std::string error;
        QVERIFY(exportFilmLut(QFile::encodeName(expected).toStdString(), look(),
                              LutChoice{LutFormat(format), size}, &error));
        const QByteArray written = fileBytes(path);
        QVERIFY(!written.isEmpty());
        QVERIFY(written == fileBytes(expected));
        if (LutFormat(format) == LutFormat::Cube) {
            QVERIFY(written.contains("LUT_3D_SIZE " + QByteArray::number(size) + "\n"));
            QVERIFY(written.contains("E100 VS, exposure +2, saturation +3, portrait"));
        } else {
            Image hald;
            QVERIFY(openImage(QFile::encodeName(path).toStdString(), hald));
            QCOMPARE(hald.width(), size * size * size);
            QCOMPARE(hald.height(), size * size * size);
        }
    }

    void cancellingEitherQuestionWritesNothing()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        FilmPage page;
        page.show();
        QSignalSpy finished(&page, &FilmPage::lutExportFinished);
        page.setLutPathChooser([](QWidget*, const QString&) { return QString(); });
        QTest::mouseClick(page.findChild<QPushButton*>("exportLut"), Qt::LeftButton);
        QVERIFY(!page.isExportingLut());

        page.setLutPathChooser([&](QWidget*, const QString&) { return dir.filePath("a.cube"); });
        bool asked = false;
        answerSizeDialog(0, &asked);
        QTest::mouseClick(page.findChild<QPushButton*>("exportLut"), Qt::LeftButton);
        QVERIFY(asked);
        QVERIFY(!page.isExportingLut());
        QTest::qWait(50);
        QCOMPARE(finished.count(), 0);
        QVERIFY(QDir(dir.path()).isEmpty());
        QVERIFY(messages.texts().isEmpty());
    }

    void aNameWithoutLutExtensionIsRefusedWithAMessage()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        const QString path = dir.filePath("look.jpg");
        FilmPage page;
        page.show();
        page.setLutPathChooser([&](QWidget*, const QString&) { return path; });
        QTest::mouseClick(page.findChild<QPushButton*>("exportLut"), Qt::LeftButton);
        QCOMPARE(messages.messages().size(), size_t(1));
        QCOMPARE(messages.messages()[0].icon, QMessageBox::Warning);
        QVERIFY(messages.texts()[0].contains(path));
        QVERIFY(!page.isExportingLut());
        QVERIFY(QDir(dir.path()).isEmpty());
    }

    void aFailedWriteIsShownAndTheButtonComesBack()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        const QString path = dir.filePath("missing folder/look.cube");
        FilmPage page;
        page.show();
        page.setLutPathChooser([&](QWidget*, const QString&) { return path; });
        QSignalSpy finished(&page, &FilmPage::lutExportFinished);
        bool asked = false;
        answerSizeDialog(33, &asked);
        auto* button = page.findChild<QPushButton*>("exportLut");
        QTest::mouseClick(button, Qt::LeftButton);
        QTRY_COMPARE_WITH_TIMEOUT(finished.count(), 1, 120000);
        QCOMPARE(finished.at(0).at(0).toBool(), false);
        QCOMPARE(messages.messages().size(), size_t(1));
        QCOMPARE(messages.messages()[0].icon, QMessageBox::Warning);
        QVERIFY(messages.texts()[0].contains(path));
        QVERIFY(button->isEnabled());
        QVERIFY(!QFile::exists(path));
    }

    void theFilmBoxSwitchesTheButton()
    {
        FilmPage page;
        auto* button = page.findChild<QPushButton*>("exportLut");
        FilmSettings off;
        off.enabled = false;
        page.setSettings(off);
        QVERIFY(!button->isEnabled());
        page.findChild<QCheckBox*>("filmEnabled")->setChecked(true);
        QVERIFY(button->isEnabled());
    }
};

QTEST_MAIN(LutExportTest)
#include "lut_export_test.moc"
