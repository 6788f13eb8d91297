// Image size dialog: typing couples the edits, OK checks in order and hands the focus back.
#include "gui/engine/image_size_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <memory>

#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

using F = SizeField;

void typeInto(QLineEdit* edit, const QString& typed)
{
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, typed);
}

// The user picks the next item of a unit list with the keyboard.
void nextUnit(ImageSizeDialog& dialog, F field)
{
    QComboBox* list = dialog.unitList(field);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down);
}

void pressOk(ImageSizeDialog& dialog)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == text(Strings::OkButton))
            QTest::mouseClick(button, Qt::LeftButton);
}

struct Step {
    F field;
    bool nextUnit;
    const char* typed;
};

}  // namespace

Q_DECLARE_METATYPE(std::vector<Step>)
Q_DECLARE_METATYPE(tavelune::SizeField)

class ImageSizeDialogTest : public QObject {
    Q_OBJECT
private slots:
    void okChecksInOrderAndReturnsTheFocus_data()
    {
        QTest::addColumn<std::vector<Step>>("steps");
        QTest::addColumn<QString>("message");
        QTest::addColumn<F>("focus");
        QTest::addColumn<QString>("selected");
        QTest::newRow("fractional width") << std::vector<Step>{{F::PixelWidth, false, "400.5"}}
                                          << "要求 1 到 800 之间的整数! " << F::PixelWidth << "";
        QTest::newRow("zero width") << std::vector<Step>{{F::PixelWidth, false, "0"}}
                                    << "要求 1 到 800 之间的整数! " << F::PixelWidth << "";
        // 0.05 % of 800 is 0.4 pixels; the range is 100 / 800 .. 800 * 100 / 800
        QTest::newRow("percent width")
            << std::vector<Step>{{F::PixelWidth, true, "0.05"}}
            << "要求 0.125 到 100.000 之间的数值! " << F::PixelWidth << "";
        QTest::newRow("height over 800") << std::vector<Step>{{F::PixelHeight, false, "900"}}
                                         << "要求 1 到 800 之间的整数! " << F::PixelHeight << "";
        QTest::newRow("percent height")
            << std::vector<Step>{{F::PixelHeight, true, "300"}}
            << "要求 0.250 到 200.000 之间的数值! " << F::PixelHeight << "";
        QTest::newRow("zero resolution")
            << std::vector<Step>{{F::Resolution, false, "0"}} << "要求 0.001 到 800 之间的数值! "
            << F::Resolution << "0";
        // 400 pixels per centimetre is 1016 per inch
        QTest::newRow("resolution per cm")
            << std::vector<Step>{{F::Resolution, true, "400"}} << "要求 0.001 到 800 之间的数值! "
            << F::Resolution << "400";
        QTest::newRow("height before resolution")
            << std::vector<Step>{{F::Resolution, false, "0"}, {F::PixelHeight, false, "0"}}
            << "要求 1 到 800 之间的整数! " << F::PixelHeight << "";
    }
    void okChecksInOrderAndReturnsTheFocus()
    {
        QFETCH(std::vector<Step>, steps);
        QFETCH(QString, message);
        QFETCH(F, focus);
        QFETCH(QString, selected);

        test::MessageCollector boxes;
        ImageSizeDialog dialog;
        dialog.setValues(800, 400, 72);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        dialog.findChild<QCheckBox*>("constrain")->click();
        for (const Step& step : steps) {
            if (step.nextUnit)
                nextUnit(dialog, step.field);
            typeInto(dialog.edit(step.field), QString::fromUtf8(step.typed));
        }
        pressOk(dialog);
        QCOMPARE(boxes.texts(), QStringList{message});
        QVERIFY(dialog.isVisible());
        QCOMPARE(QApplication::focusWidget(), dialog.edit(focus));
        QCOMPARE(dialog.edit(focus)->selectedText(), selected);
        QCOMPARE(dialog.getValues().width, 800);
    }

    void rangeMessagesFollowTheActiveLanguage()
    {
        QString error;
        std::unique_ptr<LanguagePack> pack(
            LanguagePack::load(test::buildProgramFolder(), "en_US", &error));
        QVERIFY2(pack, qPrintable(error));
        setActiveLanguagePack(pack.get());
        test::MessageCollector boxes;
        ImageSizeDialog dialog;
        dialog.setValues(800, 400, 72);
        dialog.show();
        nextUnit(dialog, F::PixelWidth);
        typeInto(dialog.edit(F::PixelWidth), "0.05");
        pressOk(dialog);
        typeInto(dialog.edit(F::PixelWidth), "50");
        typeInto(dialog.edit(F::Resolution), "900");
        pressOk(dialog);
        setActiveLanguagePack(nullptr);
        QCOMPARE(boxes.texts(), (QStringList{"Please enter a number from 0.125 to 100.000.",
                                             "Please enter a number from 0.001 to 800."}));
    }

    void typingCouplesTheEditsAndOkReturnsPixelsPerInch()
    {
        ImageSizeDialog dialog;
        dialog.setValues(800, 400, 72);
        dialog.show();
        nextUnit(dialog, F::PixelWidth);  // percent
        QCOMPARE(dialog.edit(F::PixelWidth)->text(), QStringLiteral("100"));
        typeInto(dialog.edit(F::PixelWidth), "50");
        QCOMPARE(dialog.edit(F::PixelWidth)->text(), QStringLiteral("50"));
        QCOMPARE(dialog.edit(F::PixelHeight)->text(), QStringLiteral("200"));
        QCOMPARE(dialog.edit(F::DocumentWidth)->text(), QStringLiteral("5.556"));
        QCOMPARE(dialog.edit(F::DocumentHeight)->text(), QStringLiteral("2.778"));

        nextUnit(dialog, F::Resolution);  // pixels per centimetre
        typeInto(dialog.edit(F::Resolution), "118.11");
        pressOk(dialog);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const ImageSizeValues values = dialog.getValues();
        QVERIFY2(std::abs(values.dpi - 300) < 0.01, qPrintable(QString::number(values.dpi)));
    }

    void resampleBoxLocksThePixelControls()
    {
        ImageSizeDialog dialog;
        dialog.setValues(800, 400, 72);
        dialog.show();
        auto* constrain = dialog.findChild<QCheckBox*>("constrain");
        auto* resample = dialog.findChild<QCheckBox*>("resample");
        constrain->click();
        typeInto(dialog.edit(F::PixelWidth), "300");
        resample->click();
        const QWidget* locked[] = {dialog.edit(F::PixelWidth), dialog.edit(F::PixelHeight),
                                   dialog.unitList(F::PixelWidth), dialog.unitList(F::PixelHeight),
                                   constrain};
        for (const QWidget* control : locked)
            QVERIFY2(!control->isEnabled(), qPrintable(control->objectName()));
        QVERIFY(constrain->isChecked());
        QCOMPARE(dialog.edit(F::PixelWidth)->text(), QStringLiteral("800"));
        // Without resampling a new document width changes the resolution only.
        typeInto(dialog.edit(F::DocumentWidth), "4");
        QCOMPARE(dialog.edit(F::Resolution)->text(), QStringLiteral("200"));
        QCOMPARE(dialog.edit(F::DocumentHeight)->text(), QStringLiteral("2"));
        resample->click();
        for (const QWidget* control : locked)
            QVERIFY2(control->isEnabled(), qPrintable(control->objectName()));
    }
};

QTEST_MAIN(ImageSizeDialogTest)
#include "image_size_dialog_test.moc"
