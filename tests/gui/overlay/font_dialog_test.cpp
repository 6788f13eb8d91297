// The font dialog: scalable faces only, the mapping to the renderer's font, and a preview that
// is the renderer's own output.
#include "gui/overlay/font_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFontDatabase>
#include <QLabel>
#include <QTest>

#include "gui/controls/colour_button.h"
#include "gui/controls/image_bridge.h"
#include "gui/support/string_table.h"

using namespace tavelune;
using namespace tavelune::gui;

class FontDialogTest : public QObject {
    Q_OBJECT
private slots:
    void listsOnlyScalableFacesAndKeepsAnUnknownInitialFace()
    {
        FontChoice initial;  // "MS Sans Serif", which no Linux system has
        FontDialog dialog(initial, {});
        auto* faces = dialog.findChild<QComboBox*>("face");
        QCOMPARE(faces->currentText(), QStringLiteral("MS Sans Serif"));
        QVERIFY(faces->count() > 1);
        for (int i = 1; i < faces->count(); ++i)
            QVERIFY2(QFontDatabase::isSmoothlyScalable(faces->itemText(i)),
                     qPrintable(faces->itemText(i)));
        QCOMPARE(dialog.choice().font, initial.font);  // OK without a change changes nothing
    }

    void saysTheFaceDrawnAndShowsThe20PointSampleWhole()
    {
        FontChoice initial;  // "MS Sans Serif"
        initial.font.height = fontHeightForPoints(20);
        FontDialog dialog(initial, QStringLiteral("Signature\nSecond line\nThird line"));
        auto* used = dialog.findChild<QLabel*>("faceUsed");
        QCOMPARE(used->text(), text(Strings::FontFaceUsed).arg("Liberation Sans"));
        auto* preview = dialog.findChild<QLabel*>("preview");
        QVERIFY(dialog.previewImage().width() <= preview->contentsRect().width());
        QVERIFY(dialog.previewImage().height() <= preview->contentsRect().height());
        dialog.findChild<QComboBox*>("face")->setCurrentText("DejaVu Sans Mono");
        QCOMPARE(used->text(), text(Strings::FontFaceUsed).arg("DejaVu Sans Mono"));
    }

    void choicesMapToTheRenderersFont()
    {
        FontChoice initial;
        initial.font.faceName = "DejaVu Sans";
        initial.font.height = -14;  // 10.5 points: shown as 11
        initial.font.weight = 600;
        FontDialog dialog(initial, QStringLiteral("x"));
        auto* size = dialog.findChild<QComboBox*>("size");
        auto* style = dialog.findChild<QComboBox*>("style");
        QCOMPARE(size->currentText(), QStringLiteral("11"));
        QCOMPARE(style->currentIndex(), 1);  // any weight but normal draws bold
        // Untouched, the height and weight stay exactly as they were.
        QCOMPARE(dialog.choice().font.height, -14);
        QCOMPARE(dialog.choice().font.weight, 600);

        struct Row {
            int style;
            int weight;
            bool italic;
        };
        for (const Row& row :
             {Row{0, 400, false}, Row{1, 700, false}, Row{2, 400, true}, Row{3, 700, true}}) {
            style->setCurrentIndex(row.style);
            emit style->activated(row.style);
            QCOMPARE(dialog.choice().font.weight, row.weight);
            QCOMPARE(dialog.choice().font.italic, row.italic);
        }
        size->setCurrentText(QStringLiteral("36"));
        QCOMPARE(dialog.choice().font.height, -48);
        dialog.findChild<QCheckBox*>("strikeOut")->setChecked(true);
        QVERIFY(dialog.choice().font.strikeOut);
        QVERIFY(!dialog.choice().font.underline);
    }

    void previewIsTheRenderersSampleAndFollowsEveryChange()
    {
        FontChoice initial;
        initial.font.faceName = "DejaVu Sans";
        initial.font.height = -20;
        initial.colour = 0x0000FF;
        const QString text = QStringLiteral("Preview 文字");
        FontDialog dialog(initial, text + QStringLiteral("\n\n"));
        QCOMPARE(dialog.previewImage(), toQImage(fontSample(initial, text.toStdString(), 4)));

        const QImage before = dialog.previewImage();
        dialog.findChild<QCheckBox*>("underline")->setChecked(true);
        QVERIFY(dialog.previewImage() != before);
        FontChoice underlined = initial;
        underlined.font.underline = true;
        QCOMPARE(dialog.previewImage(), toQImage(fontSample(underlined, text.toStdString(), 4)));

        auto* colour = dialog.findChild<ColourButton*>("colour");
        QVERIFY(!colour->noColourAllowed());
        QCOMPARE(colour->colour(), 0x0000FF);
    }
};

QTEST_MAIN(FontDialogTest)
#include "font_dialog_test.moc"
