// A build with one made-up format row (tests/tools/fake_format_row.cpp): the row alone puts
// the format into the open and save dialogs' lists.
#include <QTest>

#include "gui/app/tavelune_app.h"
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
};

QTEST_MAIN(FakeFormatFilterTest)
#include "fake_format_filter_test.moc"
