// A build with one made-up format row (tests/tools/fake_format_row.cpp): the row alone puts
// the format into the open and save dialogs' lists and the batch dialog's types.
#include <QComboBox>
#include <QPushButton>
#include <QTest>

#include "gui/app/tavelune_app.h"
#include "gui/batch/batch_dialog.h"
#include "gui/support/file_filters.h"
#include "gui/support/string_table.h"

using namespace tavelune::gui;

class FakeFormatFilterTest : public QObject {
    Q_OBJECT
private slots:
    void rowReachesTheDialogLists()
    {
        setActiveLanguagePack(nullptr);
        const QString open = openPictureFilter();
        QVERIFY2(open.contains(QStringLiteral("*.bmp *.fake *.fk *.webp")), qPrintable(open));
        QVERIFY2(open.contains(QStringLiteral("*.BMP *.FAKE *.FK *.WEBP")), qPrintable(open));
        // The row's own text (a number the table does not have) names it, placed by that number.
        QVERIFY2(open.contains(QStringLiteral(" (*.bmp);;#61199 (*.fake *.fk);;") +
                               text(Strings::FilterWebp)),
                 qPrintable(open));
        const QString save = savePictureFilter();
        QVERIFY2(save.contains(QStringLiteral(" (*.bmp);;#61199 (*.fake *.fk);;")), qPrintable(save));
        QCOMPARE(pictureFileFilter(), open);
        const QString help = startFileDescription();
        QVERIFY2(help.contains(QStringLiteral(" or FAKE).")), qPrintable(help));
    }

    void rowReachesTheBatchTypes()
    {
        setActiveLanguagePack(nullptr);
        BatchDialog dialog;
        auto* type = dialog.findChild<QComboBox*>("typeCombo");
        auto* options = dialog.findChild<QPushButton*>("optionsButton");
        QVERIFY(type && options);
        // Placed by its type text's number, after WebP; it has no options page.
        QCOMPARE(type->count(), 6);
        QCOMPARE(type->itemText(4), text(Strings::BatchTypeWebp));
        QCOMPARE(type->itemText(5), QStringLiteral("#66099"));
        type->setCurrentIndex(5);
        QVERIFY(!options->isEnabled());
        const tavelune::BatchSettings run = dialog.runSettings();
        QCOMPARE(int(run.type), 100);
        QVERIFY(tavelune::batchOutputPath("a/b.jpg", run).ends_with("QX_b.fake"));
    }
};

QTEST_MAIN(FakeFormatFilterTest)
#include "fake_format_filter_test.moc"
