// TIFF options dialog: the compression buttons and the EXIF box, in and out.
#include "gui/engine/tiff_options_dialog.h"

#include <QCheckBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

QPushButton* buttonWithText(QDialog& dialog, const QString& wanted)
{
    for (QPushButton* button : dialog.findChildren<QPushButton*>())
        if (button->text() == wanted)
            return button;
    return nullptr;
}

}  // namespace

class TiffOptionsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void choicesMapToCompressionCodes_data()
    {
        QTest::addColumn<int>("compression");
        QTest::addColumn<bool>("keepExif");
        QTest::addColumn<bool>("uncompressedShown");
        QTest::addColumn<QString>("click");  // a control the user clicks before OK, or ""
        QTest::addColumn<int>("returned");
        QTest::addColumn<bool>("keepReturned");
        QTest::newRow("defaults") << 5 << true << false << "" << 5 << true;
        QTest::newRow("none kept") << 1 << false << true << "" << 1 << false;
        QTest::newRow("none, then LZW") << 1 << true << true << "lzw" << 5 << true;
        QTest::newRow("LZW, then none") << 5 << true << false << "uncompressed" << 1 << true;
        QTest::newRow("other code shows LZW") << 7 << true << false << "" << 5 << true;
        QTest::newRow("box cleared") << 5 << true << false << "keepExif" << 5 << false;
        QTest::newRow("metadata removed") << 5 << true << false << "stripMetadata" << 5 << true;
    }
    void choicesMapToCompressionCodes()
    {
        QFETCH(int, compression);
        QFETCH(bool, keepExif);
        QFETCH(bool, uncompressedShown);
        QFETCH(QString, click);
        QFETCH(int, returned);
        QFETCH(bool, keepReturned);

        TiffOptionsDialog dialog;
        if (compression != 5 || !keepExif) {
            TiffOptionsModel model;
            model.setCompression(compression);
            model.setKeepExif(keepExif);
            dialog.setModel(model);
        }
        dialog.show();
        auto* uncompressed = dialog.findChild<QRadioButton*>("uncompressed");
        auto* lzw = dialog.findChild<QRadioButton*>("lzw");
        auto* box = dialog.findChild<QCheckBox*>("keepExif");
        QCOMPARE(uncompressed->isChecked(), uncompressedShown);
        QCOMPARE(lzw->isChecked(), !uncompressedShown);
        QCOMPARE(box->isChecked(), keepExif);
        if (!click.isEmpty())
            dialog.findChild<QAbstractButton*>(click)->click();
        QTest::mouseClick(buttonWithText(dialog, text(Strings::OkButton)), Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.compression(), returned);
        QCOMPARE(dialog.keepExif(), keepReturned);
        // The removal box starts cleared; ticked, it takes the EXIF box's say away.
        QCOMPARE(dialog.stripMetadata(), click == "stripMetadata");
        QCOMPARE(box->isEnabled(), click != "stripMetadata");
    }

    void cancelKeepsTheValuesAndTheNextShowingStartsFromThem()
    {
        TiffOptionsDialog dialog;
        dialog.show();
        dialog.findChild<QRadioButton*>("uncompressed")->click();
        dialog.findChild<QCheckBox*>("keepExif")->click();
        dialog.reject();
        QCOMPARE(dialog.compression(), 5);
        QVERIFY(dialog.keepExif());
        dialog.show();
        QVERIFY(dialog.findChild<QRadioButton*>("lzw")->isChecked());
        QVERIFY(dialog.findChild<QCheckBox*>("keepExif")->isChecked());
    }
};

QTEST_MAIN(TiffOptionsDialogTest)
#include "tiff_options_dialog_test.moc"
