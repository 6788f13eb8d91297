// The EXIF list widget: columns and colours, the menu's state, copy, select all and deleting.
#include "gui/exif/exif_list_widget.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QHeaderView>
#include <QSignalSpy>
#include <QTest>
#include <memory>

#include "exif/byte_order.h"
#include "exif/exif_data.h"
#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

constexpr std::uint16_t kMake = 271;
constexpr std::uint16_t kDateTime = 306;
constexpr std::uint16_t kExifVersion = 0x9000;
constexpr std::uint16_t kDateTimeDigitized = 0x9004;
constexpr std::uint16_t kColorSpace = 0xA001;
constexpr std::uint16_t kInteropIndex = 1;

std::uint32_t item(std::uint16_t ifd, std::uint16_t tag)
{
    return std::uint32_t(ifd) << 16 | tag;
}

// The sample's data plus one Interoperability entry, which the sample lacks.
std::unique_ptr<ExifData> sampleExif()
{
    auto exif = std::make_unique<ExifData>();
    if (!exif->LoadExif(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg"))
        return nullptr;
    auto entry = std::make_unique<ExifEntry>();
    const std::uint8_t index[] = {'R', '9', '8', 0};
    if (!entry->SetFromRaw(kInteropIfd, kInteropIndex, kAscii, 4, index, exif::kIntel))
        return nullptr;
    exif->entries().push_back(std::move(entry));
    return exif;
}

int rowOf(const ExifListWidget& list, std::uint32_t value)
{
    for (int row = 0; row < list.rowCount(); ++row)
        if (list.item(row, 0)->data(Qt::UserRole).toUInt() == value)
            return row;
    return -1;
}

void selectRows(ExifListWidget& list, const QList<int>& rows)
{
    list.clearSelection();
    for (int row : rows) {
        const QModelIndex index = list.model()->index(row, 0);
        list.selectionModel()->select(index,
                                      QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }
}

// What a reader sees in the list, in the copy format.
QString shownText(const ExifListWidget& list, const QList<int>& rows)
{
    QString text;
    for (int row : rows) {
        text += list.item(row, 0)->text();
        if (list.item(row, 0)->data(Qt::UserRole).toUInt() != 0)
            text += ": " + list.item(row, 1)->text();
        text += "\r\n";
    }
    return text;
}

}  // namespace

class ExifListWidgetTest : public QObject {
    Q_OBJECT

private slots:
    void columnsAndRowsOfARealFile();
    void rowColours();
    void deleteFollowsTheRules_data();
    void deleteFollowsTheRules();
    void deleteExifLeavesOnlyTheFileRows();
    void selectAllAndCopyGiveWhatIsShown_data();
    void selectAllAndCopyGiveWhatIsShown();
    void withoutDataNothingCanBeDeletedOrCopied();
    void keysCopyAndDeleteTheSelection();
};

void ExifListWidgetTest::columnsAndRowsOfARealFile()
{
    ExifListWidget list;
    list.resize(200, 300);  // narrower than the two columns
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    QCOMPARE(list.columnCount(), 2);
    QCOMPARE(list.horizontalHeaderItem(0)->text(), QString::fromUtf8("名称"));
    QCOMPARE(list.horizontalHeaderItem(1)->text(), QString::fromUtf8("信息"));
    QCOMPARE(list.columnWidth(0), 105);
    QCOMPARE(list.columnWidth(1), 148);
    QVERIFY(list.showGrid());
    QCOMPARE(list.selectionBehavior(), QAbstractItemView::SelectRows);
    QCOMPARE(list.editTriggers(), QAbstractItemView::NoEditTriggers);

    auto exif = sampleExif();
    QVERIFY(exif);
    list.fillExifList(exif.get());
    QCOMPARE(list.columnWidth(1), 131);
    QCOMPARE(list.item(0, 0)->text(), QString::fromUtf8("文件信息"));
    QCOMPARE(list.item(1, 0)->data(Qt::UserRole).toUInt(), 0x9002u << 16 | 57362u);
    QCOMPARE(list.item(1, 1)->text(), QString("coffee-exif.jpg"));
    const int make = rowOf(list, item(kIfd0, kMake));
    QVERIFY(make > 0);
    QCOMPARE(list.item(make, 1)->text(), QString("Canon"));
    QVERIFY(rowOf(list, item(kInteropIfd, kInteropIndex)) > 0);

    int headers = 0;
    for (int row = 0; row < list.rowCount(); ++row) {
        const bool header = list.item(row, 0)->data(Qt::UserRole).toUInt() == 0;
        headers += header;
        QCOMPARE(!list.item(row, 0)->icon().isNull(), header);
    }
    QCOMPARE(headers, 4);
    QCOMPARE(list.columnSpan(0, 0), 2);  // a group title may use the whole width
    QCOMPARE(list.columnSpan(make, 0), 1);

    // A wider list gives the room to the values; the names keep their width.
    list.resize(420, 300);
    QCoreApplication::processEvents();
    QCOMPARE(list.columnWidth(0), 105);
    QCOMPARE(list.columnWidth(1), list.viewport()->width() - 105);
    QVERIFY(list.columnWidth(1) > 131);
}

void ExifListWidgetTest::rowColours()
{
    auto exif = sampleExif();
    QVERIFY(exif);
    ExifListWidget list;
    list.resize(260, 600);
    list.fillExifList(exif.get());
    list.clearSelection();
    list.setCurrentItem(nullptr);
    const QImage shown = list.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const int make = rowOf(list, item(kIfd0, kMake));
    const struct {
        int row;
        QColor background;
    } cases[] = {{0, QColor(0, 0, 255)}, {make, QColor(48, 48, 48)}};
    for (const auto& c : cases) {
        for (int column = 0; column < 2; ++column) {
            QTableWidgetItem* cell = list.item(c.row, column);
            QCOMPARE(cell->background().color(), c.background);
            QCOMPARE(cell->foreground().color(), QColor(Qt::white));
        }
        // A pixel in the value cell's empty right end is the row's colour as painted.
        const QRect cell = list.visualItemRect(list.item(c.row, 1));
        QCOMPARE(QColor(shown.pixel(cell.right() - 2, cell.center().y())), c.background);
    }
}

void ExifListWidgetTest::deleteFollowsTheRules_data()
{
    QTest::addColumn<QList<std::uint32_t>>("selected");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QList<std::uint32_t>>("removed");
    QTest::addColumn<QList<std::uint32_t>>("kept");
    QTest::newRow("digitized date goes")
        << QList<std::uint32_t>{item(kExifIfd, kDateTimeDigitized)} << true
        << QList<std::uint32_t>{item(kExifIfd, kDateTimeDigitized)} << QList<std::uint32_t>{};
    QTest::newRow("Exif version stays")
        << QList<std::uint32_t>{item(kExifIfd, kExifVersion)} << false << QList<std::uint32_t>{}
        << QList<std::uint32_t>{item(kExifIfd, kExifVersion)};
    QTest::newRow("IFD0 date alone cannot enable it")
        << QList<std::uint32_t>{item(kIfd0, kDateTime)} << false << QList<std::uint32_t>{}
        << QList<std::uint32_t>{item(kIfd0, kDateTime)};
    QTest::newRow("make enables it, date goes along")
        << QList<std::uint32_t>{item(kIfd0, kMake), item(kIfd0, kDateTime)} << true
        << QList<std::uint32_t>{item(kIfd0, kMake), item(kIfd0, kDateTime)}
        << QList<std::uint32_t>{};
    QTest::newRow("interoperability goes, colour space stays")
        << QList<std::uint32_t>{item(kInteropIfd, kInteropIndex), item(kExifIfd, kColorSpace)}
        << true << QList<std::uint32_t>{item(kInteropIfd, kInteropIndex)}
        << QList<std::uint32_t>{item(kExifIfd, kColorSpace)};
    QTest::newRow("file row and header")
        << QList<std::uint32_t>{0x9002u << 16 | 57362u, 0u} << false << QList<std::uint32_t>{}
        << QList<std::uint32_t>{0x9002u << 16 | 57362u};
}

void ExifListWidgetTest::deleteFollowsTheRules()
{
    QFETCH(QList<std::uint32_t>, selected);
    QFETCH(bool, enabled);
    QFETCH(QList<std::uint32_t>, removed);
    QFETCH(QList<std::uint32_t>, kept);
    auto exif = sampleExif();
    QVERIFY(exif);
    ExifListWidget list;
    list.fillExifList(exif.get());
    QSignalSpy changed(&list, &ExifListWidget::exifChanged);
    const int rowsBefore = list.rowCount();
    QList<int> rows;
    for (std::uint32_t value : selected) {
        rows << rowOf(list, value);
        QVERIFY(rows.last() >= 0);
    }
    selectRows(list, rows);
    QCOMPARE(list.deleteSelectedAction()->isEnabled(), enabled);
    QVERIFY(list.deleteExifAction()->isEnabled());

    list.deleteSelectedAction()->trigger();
    list.deleteSelection();  // called directly too: a disabled command must not act
    QCOMPARE(changed.count(), removed.isEmpty() ? 0 : 1);
    QCOMPARE(list.rowCount(), rowsBefore - int(removed.size()));
    QCOMPARE(int(list.listRows().size()), list.rowCount());
    for (std::uint32_t value : removed) {
        QCOMPARE(rowOf(list, value), -1);
        QVERIFY(exif->FindEntry(std::uint16_t(value >> 16), std::uint16_t(value)) == nullptr);
    }
    for (std::uint32_t value : kept) {
        QVERIFY(rowOf(list, value) >= 0);
        if (value >> 16 != 0x9002)
            QVERIFY(exif->FindEntry(std::uint16_t(value >> 16), std::uint16_t(value)) != nullptr);
    }
}

void ExifListWidgetTest::deleteExifLeavesOnlyTheFileRows()
{
    auto exif = sampleExif();
    QVERIFY(exif);
    ExifListWidget list;
    list.fillExifList(exif.get());
    QSignalSpy changed(&list, &ExifListWidget::exifChanged);
    list.deleteExifAction()->trigger();
    QVERIFY(exif->IsEmpty());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(list.rowCount(), 4);
    QCOMPARE(list.item(0, 0)->text(), QString::fromUtf8("文件信息"));
    list.selectAllAction()->trigger();
    QVERIFY(!list.deleteSelectedAction()->isEnabled());
    QVERIFY(!list.deleteExifAction()->isEnabled());
    list.deleteExif();
    QCOMPARE(changed.count(), 1);
}

void ExifListWidgetTest::selectAllAndCopyGiveWhatIsShown_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("zh_CN") << "zh_CN";
    QTest::newRow("zh_TW") << "zh_TW";
    QTest::newRow("en_US") << "en_US";
}

void ExifListWidgetTest::selectAllAndCopyGiveWhatIsShown()
{
    QFETCH(QString, language);
    const test::ActiveLanguage active(language);
    QVERIFY2(active.ok(), qPrintable(active.error()));
    auto exif = sampleExif();
    QVERIFY(exif);
    ExifListWidget list;
    list.fillExifList(exif.get());

    const QList<QAction*> menu = list.contextMenuActions();
    QCOMPARE(menu.size(), 6);
    QVERIFY(menu[2]->isSeparator() && menu[4]->isSeparator());
    QCOMPARE(menu[0]->text(), text(Strings::CopyItem));
    QCOMPARE(menu[1]->text(), text(Strings::DeleteItem));
    QCOMPARE(menu[3]->text(), text(Strings::DeleteItem) + " Exif");
    QCOMPARE(menu[5]->text(), text(Strings::SelectAllItem));

    QVERIFY(!list.copyAction()->isEnabled());
    list.selectAllAction()->trigger();
    QCOMPARE(list.selectionModel()->selectedRows().size(), list.rowCount());
    QVERIFY(list.copyAction()->isEnabled());
    list.copyAction()->trigger();
    QList<int> all;
    for (int row = 0; row < list.rowCount(); ++row) all << row;
    QCOMPARE(QGuiApplication::clipboard()->text(), shownText(list, all));

    // A part of the list, picked out of order, copies in list order.
    const QList<int> some = {rowOf(list, item(kIfd0, kMake)), 0, 2};
    selectRows(list, some);
    list.copyAction()->trigger();
    QCOMPARE(QGuiApplication::clipboard()->text(), shownText(list, {0, 2, some[0]}));
}

void ExifListWidgetTest::withoutDataNothingCanBeDeletedOrCopied()
{
    ExifListWidget list;
    list.fillExifList(nullptr);
    QCOMPARE(list.rowCount(), 0);
    list.selectAllAction()->trigger();
    for (QAction* action :
         {list.copyAction(), list.deleteSelectedAction(), list.deleteExifAction()})
        QVERIFY(!action->isEnabled());

    // A model without a file and without entries: an empty list, nothing to delete.
    ExifData empty;
    list.fillExifList(&empty);
    QCOMPARE(list.rowCount(), 0);
    QVERIFY(!list.deleteExifAction()->isEnabled());
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText("kept");
    list.copySelection();
    QCOMPARE(clipboard->text(), QString("kept"));
}

void ExifListWidgetTest::keysCopyAndDeleteTheSelection()
{
    auto exif = sampleExif();
    QVERIFY(exif);
    ExifListWidget list;
    list.fillExifList(exif.get());
    list.show();
    QVERIFY(QTest::qWaitForWindowExposed(&list));
    list.setFocus();
    const QList<int> rows = {rowOf(list, item(kIfd0, kMake)), rowOf(list, item(kIfd0, kDateTime))};
    selectRows(list, rows);
    const QString expected = shownText(list, rows);
    QTest::keySequence(&list, QKeySequence::Copy);
    QCOMPARE(QGuiApplication::clipboard()->text(), expected);

    QSignalSpy changed(&list, &ExifListWidget::exifChanged);
    QTest::keyClick(&list, Qt::Key_Delete);
    QCOMPARE(changed.count(), 1);
    QVERIFY(exif->FindEntry(kIfd0, kMake) == nullptr);
    QVERIFY(exif->FindEntry(kIfd0, kDateTime) == nullptr);
}

QTEST_MAIN(ExifListWidgetTest)
#include "exif_list_widget_test.moc"
