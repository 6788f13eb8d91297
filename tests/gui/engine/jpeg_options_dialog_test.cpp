// JPEG options dialog: the quality edit, preset list and slider in step, the range message, OK.
#include "gui/engine/jpeg_options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <memory>

#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

const QString kRangeMessage = QString::fromUtf8("品质的取值范围在 1 - 100 之间, 已插入最接近的值");

struct Controls {
    QLineEdit* edit;
    QComboBox* presets;
    QSlider* slider;
    QCheckBox* keepExif;
    QCheckBox* stripMetadata;
    QPushButton* ok;
    QPushButton* cancel;
};

Controls controlsOf(JpegOptionsDialog& dialog)
{
    Controls c{dialog.findChild<QLineEdit*>("quality"),
               dialog.findChild<QComboBox*>("preset"),
               dialog.findChild<QSlider*>("qualitySlider"),
               dialog.findChild<QCheckBox*>("keepExif"),
               dialog.findChild<QCheckBox*>("stripMetadata"),
               nullptr,
               nullptr};
    for (QPushButton* button : dialog.findChildren<QPushButton*>()) {
        if (button->text() == text(Strings::OkButton))
            c.ok = button;
        if (button->text() == text(Strings::CancelButton))
            c.cancel = button;
    }
    return c;
}

void typeInto(QLineEdit* edit, const QString& typed)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
}

JpegOptionsModel modelWith(int quality, bool keepExif)
{
    JpegOptionsModel model;
    model.setQuality(quality);
    model.setKeepExif(keepExif);
    return model;
}

}  // namespace

class JpegOptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void openingShowsTheQualityInAllThreeControls_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("preset");
        QTest::newRow("default 75 is high") << 75 << 2;
        QTest::newRow("59 is medium") << 59 << 1;
        QTest::newRow("80 is maximum") << 80 << 3;
        QTest::newRow("29 is low") << 29 << 0;
        QTest::newRow("30 is medium") << 30 << 1;
    }
    void openingShowsTheQualityInAllThreeControls()
    {
        QFETCH(int, quality);
        QFETCH(int, preset);
        JpegOptionsDialog dialog;
        dialog.setModel(modelWith(quality, false));
        dialog.show();
        const Controls c = controlsOf(dialog);
        QCOMPARE(c.edit->text(), QString::number(quality));
        QCOMPARE(c.presets->currentIndex(), preset);
        QCOMPARE(c.slider->value(), quality);
        QVERIFY(!c.keepExif->isChecked());
        QCOMPARE(c.slider->minimum(), 1);
        QCOMPARE(c.slider->maximum(), 100);
        QCOMPARE(c.slider->pageStep(), 10);
    }

    void editListAndSliderFollowTheUser()
    {
        JpegOptionsDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const Controls c = controlsOf(dialog);

        c.presets->setFocus();
        QTest::keyClick(c.presets, Qt::Key_Home);  // "低"
        QCOMPARE(c.edit->text(), QStringLiteral("10"));
        QCOMPARE(c.slider->value(), 10);

        typeInto(c.edit, "65");
        QCOMPARE(c.presets->currentIndex(), 2);
        QCOMPARE(c.slider->value(), 65);

        c.slider->setFocus();
        QTest::keyClick(c.slider, Qt::Key_PageUp);
        QCOMPARE(c.edit->text(), QStringLiteral("75"));
        QTest::keyClick(c.slider, Qt::Key_End);
        QCOMPARE(c.edit->text(), QStringLiteral("100"));
        QCOMPARE(c.presets->currentIndex(), 3);
        QTest::keyClick(c.slider, Qt::Key_Left);
        QCOMPARE(c.edit->text(), QStringLiteral("99"));

        // Digits only, at most three.
        typeInto(c.edit, "-4x1234");
        QCOMPARE(c.edit->text(), QStringLiteral("412"));
    }

    void leavingTheEditPutsInTheNearestLimit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("message");
        QTest::addColumn<QString>("shown");
        QTest::newRow("150") << "150" << true << "100";
        QTest::newRow("0") << "0" << true << "1";
        QTest::newRow("empty") << "" << true << "1";
        QTest::newRow("100") << "100" << false << "100";
        QTest::newRow("1") << "1" << false << "1";
    }
    void leavingTheEditPutsInTheNearestLimit()
    {
        QFETCH(QString, typed);
        QFETCH(bool, message);
        QFETCH(QString, shown);
        test::MessageCollector boxes;
        JpegOptionsDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const Controls c = controlsOf(dialog);
        typeInto(c.edit, typed);
        QTest::keyClick(c.edit, Qt::Key_Tab);
        QVERIFY(!c.edit->hasFocus());
        QCOMPARE(boxes.texts(), message ? QStringList{kRangeMessage} : QStringList{});
        QCOMPARE(c.edit->text(), shown);
        QCOMPARE(c.slider->value(), shown.toInt());
    }

    void okWithAnOutOfRangeQualityShowsTheCorrectionFirst()
    {
        test::MessageCollector boxes;
        JpegOptionsDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        const Controls c = controlsOf(dialog);
        typeInto(c.edit, "150");
        QTest::keyClick(c.edit, Qt::Key_Return);
        QCOMPARE(boxes.texts(), QStringList{kRangeMessage});
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QCOMPARE(c.edit->text(), QStringLiteral("100"));
        QTest::keyClick(c.edit, Qt::Key_Return);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.quality(), 100);
        QCOMPARE(boxes.texts().size(), 1);

        // Leaving the edit for Cancel, or Escape, says nothing: the typed value is thrown away.
        dialog.show();
        typeInto(c.edit, "0");
        c.cancel->setFocus(Qt::MouseFocusReason);
        QTest::mouseClick(c.cancel, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        typeInto(c.edit, "0");
        QTest::keyClick(c.edit, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(boxes.texts().size(), 1);
        QCOMPARE(dialog.quality(), 100);
    }

    void okTakesTheEditAndTheBoxAndCancelKeepsThem()
    {
        JpegOptionsDialog dialog;
        dialog.setModel(modelWith(40, false));
        dialog.show();
        const Controls c = controlsOf(dialog);
        typeInto(c.edit, "92");
        c.keepExif->click();
        QTest::mouseClick(c.ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.quality(), 92);
        QVERIFY(dialog.keepExif());
        QVERIFY(!dialog.stripMetadata());

        // Kept and shown again (as the batch dialog does): it starts from the last OK.
        dialog.show();
        QCOMPARE(c.edit->text(), QStringLiteral("92"));
        typeInto(c.edit, "20");
        c.keepExif->click();
        QTest::mouseClick(c.cancel, Qt::LeftButton);
        QCOMPARE(dialog.quality(), 92);
        QVERIFY(dialog.keepExif());
        dialog.show();
        QCOMPARE(c.edit->text(), QStringLiteral("92"));
        QCOMPARE(c.slider->value(), 92);
        QVERIFY(c.keepExif->isChecked());

        // Removing the metadata removes the EXIF data too: the EXIF box has no say then.
        QVERIFY(!c.stripMetadata->isChecked() && c.keepExif->isEnabled());
        c.stripMetadata->click();
        QVERIFY(!c.keepExif->isEnabled());
        QTest::mouseClick(c.ok, Qt::LeftButton);
        QVERIFY(dialog.stripMetadata());
        dialog.show();
        QVERIFY(c.stripMetadata->isChecked() && !c.keepExif->isEnabled());
        c.stripMetadata->click();
        QTest::mouseClick(c.cancel, Qt::LeftButton);
        QVERIFY(dialog.stripMetadata());
    }

    void textsComeFromTheActiveLanguage()
    {
        QString error;
        std::unique_ptr<LanguagePack> pack(
            LanguagePack::load(test::buildProgramFolder(), "en_US", &error));
        QVERIFY2(pack, qPrintable(error));
        setActiveLanguagePack(pack.get());
        JpegOptionsDialog dialog;
        setActiveLanguagePack(nullptr);
        const Controls c = controlsOf(dialog);
        QCOMPARE(dialog.windowTitle(), QStringLiteral("JPEG Options"));
        QCOMPARE(c.presets->itemText(0), QStringLiteral("Low"));
        QCOMPARE(c.presets->itemText(3), QStringLiteral("Maximum"));
        QCOMPARE(c.keepExif->text(), QStringLiteral("Keep the picture's EXIF data"));
        QCOMPARE(c.stripMetadata->text(), QStringLiteral("Remove other metadata (XMP, IPTC)"));
    }
};

QTEST_MAIN(JpegOptionsDialogTest)
#include "jpeg_options_dialog_test.moc"
