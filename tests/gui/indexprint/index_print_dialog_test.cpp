// The index print dialog through its controls: list, captions, numbering, logo, render, save,
// cancel.
#include "gui/indexprint/index_print_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "engine/format_dispatch.h"
#include "gui/app/main_window.h"
#include "gui/controls/colour_button.h"
#include "gui/indexprint/index_file_list.h"
#include "gui/overlay/picture_preview.h"
#include "gui/support/app_settings.h"
#include "gui/support/string_table.h"
#include "gui/view/image_view.h"
#include "indexprint/index_sheet.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

const QString kAstronaut = QStringLiteral(TAVELUNE_SAMPLES_DIR "/astronaut.jpg");
const QString kRocket = QStringLiteral(TAVELUNE_SAMPLES_DIR "/rocket.jpg");
const QString kCoffee = QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee.png");

template <typename T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (!found)
        qFatal("no %s", name);
    return found;
}

void touch(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    file.write("x");
}

bool renderAndWait(IndexPrintDialog& dialog)
{
    QSignalSpy finished(&dialog, &IndexPrintDialog::renderFinished);
    child<QPushButton>(&dialog, "generate")->click();
    return finished.wait(60000) && !dialog.isRendering() && dialog.sheet();
}

int differingPixels(const Image& a, const Image& b)
{
    if (a.width() != b.width() || a.height() != b.height())
        return -1;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            differing += (a.pixelAt(x, y) | 0xFF000000u) != (b.pixelAt(x, y) | 0xFF000000u);
    return differing;
}

// The core's sheet for the dialog's pictures with the dialog's defaults, to compare against.
Image coreSheet(const std::vector<IndexItem>& items, int64_t numberFrom,
                const Image* logo = nullptr, const std::string& signature = {})
{
    IndexSheet sheet;
    sheet.render(0, 96, "INDEX PRINT", signature, "", kFitFill, numberFrom, logo, items, nullptr);
    return sheet.sheet();
}

// Accepts the next modal dialog (a save's options dialog) as OK would; counts the check boxes
// it shows into shownBoxes when given.
void acceptNextDialog(int* shownBoxes = nullptr)
{
    QTimer::singleShot(0, [shownBoxes] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        for (const QCheckBox* box : dialog->findChildren<QCheckBox*>())
            if (shownBoxes && box->isVisible())
                ++*shownBoxes;
        dialog->accept();
    });
}

}  // namespace

class IndexPrintDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { installEngineMessageSink(); }
    void init() { setActiveLanguagePack(nullptr); }

    void opensWithItsDefaults()
    {
        test::PrivateSettings settings;
        QVERIFY(AppSettings::setUserName(QStringLiteral("Lin Wei")));
        IndexPrintDialog dialog;
        QCOMPARE(child<QLineEdit>(&dialog, "title")->text(), QStringLiteral("INDEX PRINT"));
        QCOMPARE(child<QLineEdit>(&dialog, "signature")->text(), QStringLiteral("Lin Wei"));
        QVERIFY(child<QCheckBox>(&dialog, "fillCells")->isChecked());
        auto* numbering = child<QCheckBox>(&dialog, "numbering");
        auto* number = child<QLineEdit>(&dialog, "numberFrom");
        QVERIFY(!numbering->isChecked());
        QVERIFY(!number->isEnabled());
        QCOMPARE(number->text(), QStringLiteral("1"));
        numbering->setChecked(true);
        QVERIFY(number->isEnabled());
        // Ten digits at most, digits only.
        number->clear();
        QTest::keyClicks(number, "12a345678901234");
        QCOMPARE(number->text(), QStringLiteral("1234567890"));
        auto* style = child<QComboBox>(&dialog, "style");
        auto* precision = child<QComboBox>(&dialog, "precision");
        QCOMPARE(style->count(), 10);
        QCOMPARE(style->currentIndex(), 0);
        QCOMPARE(style->itemText(0), QString::fromUtf8("8 x 5 - 4R 相片"));
        QCOMPARE(style->itemText(9), QStringLiteral("6 x 10 - A4"));
        QCOMPARE(precision->currentData().toInt(), 96);
        QCOMPARE(precision->itemData(4).toInt(), 300);
        QVERIFY(!child<ColourButton>(&dialog, "transparentColour")->isEnabled());
        QVERIFY(!child<QPushButton>(&dialog, "save")->isEnabled());
        QCOMPARE(child<QProgressBar>(&dialog, "progress")->value(), 0);
    }

    void loadingAndDroppingAddPicturesAndSkipOthers()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        for (const char* name : {"a.jpg", "b.TIFF", "c.txt", "d.png"}) touch(dir.filePath(name));
        IndexPrintDialog dialog;
        IndexFileList* list = dialog.fileList();
        QCOMPARE(
            dialog.addFiles({dir.filePath("a.jpg"), dir.filePath("b.TIFF"), dir.filePath("c.txt")}),
            2);
        QCOMPARE(list->topLevelItemCount(), 2);
        QCOMPARE(messages.messages().size(), size_t(1));
        QCOMPARE(
            messages.texts().first(),
            QStringLiteral("Skip: No support image format!\n\n\"%1\"").arg(dir.filePath("c.txt")));
        const QTreeWidgetItem* b = list->topLevelItem(1);
        QCOMPARE(b->text(IndexFileList::kLabel), QStringLiteral("b"));
        QCOMPARE(b->text(IndexFileList::kFileName), QStringLiteral("b.TIFF"));
        QCOMPARE(b->text(IndexFileList::kFolder), dir.path() + "/");
        QCOMPARE(b->text(IndexFileList::kType), QStringLiteral("TIFF"));
        QVERIFY(list->isColumnHidden(IndexFileList::kType));

        // A drop adds by the same rule, in the dropped order.
        messages.clear();
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(dir.filePath("d.png")),
                      QUrl::fromLocalFile(dir.filePath("c.txt"))});
        const QPoint at = list->viewport()->rect().center();
        QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &enter);
        QVERIFY(enter.isAccepted());
        QDropEvent drop(QPointF(at), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(list->viewport(), &drop);
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(2)->text(IndexFileList::kFileName), QStringLiteral("d.png"));
        QCOMPARE(messages.messages().size(), size_t(1));
    }

    void deleteKeyAndButtonsRemoveRows()
    {
        QTemporaryDir dir;
        QStringList paths;
        for (const char* name : {"1.jpg", "2.jpg", "3.jpg", "4.jpg"}) {
            touch(dir.filePath(name));
            paths << dir.filePath(name);
        }
        IndexPrintDialog dialog;
        dialog.show();
        IndexFileList* list = dialog.fileList();
        dialog.addFiles(paths);
        list->topLevelItem(1)->setSelected(true);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->topLevelItemCount(), 3);
        QCOMPARE(list->topLevelItem(1)->text(IndexFileList::kLabel), QStringLiteral("3"));
        list->clearSelection();
        list->topLevelItem(0)->setSelected(true);
        list->topLevelItem(2)->setSelected(true);
        child<QPushButton>(&dialog, "deleteItems")->click();
        QCOMPARE(list->topLevelItemCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(IndexFileList::kLabel), QStringLiteral("3"));
        child<QPushButton>(&dialog, "clearList")->click();
        QCOMPARE(list->topLevelItemCount(), 0);
    }

    void aLabelEditedInPlaceCaptionsTheSheet()
    {
        test::MessageCollector messages;
        IndexPrintDialog dialog;
        dialog.show();
        QVERIFY(QTest::qWaitForWindowExposed(&dialog));
        dialog.addFiles({kAstronaut, kRocket});
        IndexFileList* list = dialog.fileList();
        QTreeWidgetItem* row = list->topLevelItem(0);
        list->setCurrentItem(row, IndexFileList::kLabel);
        list->setFocus();
        QTest::keyClick(list, Qt::Key_F2);
        auto* editor = list->viewport()->findChild<QLineEdit*>();
        QVERIFY(editor);
        editor->selectAll();
        QTest::keyClicks(editor, "Moonwalk");
        QTest::keyClick(editor, Qt::Key_Return);
        // The delegate commits on a queued call.
        QTRY_COMPARE(row->text(IndexFileList::kLabel), QStringLiteral("Moonwalk"));
        // The file name column is not a caption and cannot be edited.
        list->setCurrentItem(row, IndexFileList::kFileName);
        QTest::keyClick(list, Qt::Key_F2);
        QVERIFY(!list->viewport()->findChild<QLineEdit*>() ||
                !list->viewport()->findChild<QLineEdit*>()->isVisible());

        QVERIFY(renderAndWait(dialog));
        std::vector<IndexItem> items = list->items();
        QCOMPARE(items[0].label, std::string("Moonwalk"));
        const Image edited = coreSheet(items, -1);
        QCOMPARE(differingPixels(dialog.sheet()->sheet(), edited), 0);
        items[0].label = "astronaut";
        QVERIFY(differingPixels(dialog.sheet()->sheet(), coreSheet(items, -1)) > 0);
        QVERIFY(messages.messages().empty());
        QCOMPARE(dialog.sheetView()->picture(), &dialog.sheet()->sheet());
    }

    void numberingFromFiveCaptionsTheFirstCell()
    {
        const struct {
            const char* field;
            bool ticked;
            int64_t expected;
        } cases[] = {{"5", true, 5}, {"0", true, -1}, {"", true, -1}, {"5", false, -1}};
        for (const auto& c : cases) {
            IndexPrintDialog dialog;
            dialog.addFiles({kAstronaut, kRocket});
            child<QCheckBox>(&dialog, "numbering")->setChecked(c.ticked);
            child<QLineEdit>(&dialog, "numberFrom")->setText(QString::fromLatin1(c.field));
            QVERIFY(renderAndWait(dialog));
            const std::vector<IndexItem> items = dialog.fileList()->items();
            QVERIFY2(differingPixels(dialog.sheet()->sheet(), coreSheet(items, c.expected)) == 0,
                     c.field);
        }
        // The numbered sheet differs from the plain one exactly in the captions.
        IndexSheet numbered, plain;
        const std::vector<IndexItem> items{
            IndexItem{"astronaut", "astronaut.jpg", TAVELUNE_SAMPLES_DIR "/", "jpg"}};
        numbered.render(0, 96, "", "", "", kFitFill, 5, nullptr, items, nullptr);
        plain.render(0, 96, "", "", "", kFitFill, -1, nullptr, items, nullptr);
        QVERIFY(differingPixels(numbered.sheet(), plain.sheet()) > 0);
        QCOMPARE(indexCaption("label", 5, 0), std::string("5. label"));
    }

    void theLogosTransparentColourIsApplied()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        // Green with a white square: the white is keyed out.
        Image logo;
        logo.setFillColour(0xFF00FF00);
        QVERIFY(logo.create(60, 40, 72.0f));
        logo.drawRectangle(20, 10, 20, 20, 0xFFFFFFFF, 0xFFFFFFFF);
        const QString logoPath = dir.filePath("logo.bmp");
        QVERIFY(saveImage(logoPath.toStdString(), logo, ImageFormat::Bmp, 0));

        IndexPrintDialog dialog;
        dialog.addFiles({kAstronaut});
        QVERIFY(!dialog.loadLogo(dir.filePath("missing.bmp")));
        QVERIFY(!child<QCheckBox>(&dialog, "logo")->isChecked());
        QVERIFY(dialog.loadLogo(logoPath));
        QVERIFY(child<QCheckBox>(&dialog, "logo")->isChecked());
        auto* key = child<ColourButton>(&dialog, "transparentColour");
        QVERIFY(key->isEnabled());
        QCOMPARE(key->colour(), -1);
        key->setColour(0x00FFFFFF);
        emit key->colourChanged(key->colour());
        QCOMPARE(dialog.logo().colourKey().opacity, 0);

        // The preview shows the panel grey through the square.
        const QImage shown = child<PicturePreview>(&dialog, "logoPreview")->shownImage();
        QCOMPARE(shown.pixel(30, 20), qRgb(128, 128, 128));
        QCOMPARE(shown.pixel(5, 5), qRgb(0, 255, 0));

        QVERIFY(renderAndWait(dialog));
        const std::vector<IndexItem> items = dialog.fileList()->items();
        Image keyed = logo;
        keyed.setColourKey(0x00FFFFFF, 0xFFFFFFFF, 0);
        QCOMPARE(differingPixels(dialog.sheet()->sheet(), coreSheet(items, -1, &keyed)), 0);
        QVERIFY(differingPixels(dialog.sheet()->sheet(), coreSheet(items, -1, &logo)) > 0);

        // Unticking lets the logo go: the next sheet has none and the key button is off.
        child<QCheckBox>(&dialog, "logo")->setChecked(false);
        QVERIFY(dialog.logo().isEmpty());
        QVERIFY(!key->isEnabled());
        QVERIFY(renderAndWait(dialog));
        QCOMPARE(differingPixels(dialog.sheet()->sheet(), coreSheet(items, -1)), 0);
    }

    void brokenFilesAreNamedOnceEachInListOrderAndEscapeAsks()
    {
        test::PrivateSettings settings;
        test::MessageCollector messages(QMessageBox::No);
        QTemporaryDir dir;
        const QString empty = dir.filePath("empty.jpg");
        touch(empty);
        const QString notes = dir.filePath("notes.png");
        QFile notesFile(notes);
        QVERIFY(notesFile.open(QIODevice::WriteOnly) && notesFile.write("not a picture\n") > 0);
        notesFile.close();
        IndexPrintDialog dialog;
        dialog.show();
        dialog.addFiles({kAstronaut, empty, kRocket, notes});
        QVERIFY(renderAndWait(dialog));
        QTRY_COMPARE(messages.texts().size(), 2);
        QVERIFY2(messages.texts()[0].endsWith(empty), qPrintable(messages.texts()[0]));
        QVERIFY2(messages.texts()[1].endsWith(notes), qPrintable(messages.texts()[1]));
        QVERIFY(child<QCheckBox>(&dialog, "upright")->isChecked());

        messages.clear();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QCOMPARE(messages.texts(), QStringList{text(Strings::IndexCloseQuestion)});
        QVERIFY(dialog.isVisible());
        messages.queueAnswers({QMessageBox::Yes});
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
    }

    void generatedAndSavedSheetEqualsTheCommandLine()
    {
        test::PrivateSettings settings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        Image logo = test::makeGradient(90, 300);
        const QString logoPath = dir.filePath("logo.bmp");
        QVERIFY(saveImage(logoPath.toStdString(), logo, ImageFormat::Bmp, 0));
        const QString missing = dir.filePath("gone.jpg");
        touch(missing);

        IndexPrintDialog dialog;
        dialog.addFiles({kAstronaut, missing, kRocket, kCoffee});
        child<QComboBox>(&dialog, "style")->setCurrentIndex(1);
        child<QComboBox>(&dialog, "precision")->setCurrentIndex(1);
        child<QCheckBox>(&dialog, "fillCells")->setChecked(false);
        child<QCheckBox>(&dialog, "numbering")->setChecked(true);
        child<QLineEdit>(&dialog, "numberFrom")->setText("7");
        child<QLineEdit>(&dialog, "title")->setText(QString::fromUtf8("春游 2024"));
        child<QLineEdit>(&dialog, "signature")->setText("M. Ortega");
        child<QPlainTextEdit>(&dialog, "content")->setPlainText("Roll 12\nDeveloped in-house");
        QVERIFY(dialog.loadLogo(logoPath));
        auto* key = child<ColourButton>(&dialog, "transparentColour");
        key->setColour(0x00000000);
        emit key->colourChanged(key->colour());
        QVERIFY(renderAndWait(dialog));
        QVERIFY(child<QPushButton>(&dialog, "save")->isEnabled());
        QCOMPARE(dialog.proposedFileName(), QString::fromUtf8("春游 2024"));
        // The unreadable file is reported by the engine's reader, not passed over in silence.
        QVERIFY(!messages.messages().empty());

        const QString bmp = dir.filePath("sheet.bmp");
        QVERIFY(dialog.saveSheetTo(bmp));
        // A sheet has no metadata of its own: neither options dialog offers to keep or remove it.
        int shownBoxes = 0;
        const QString tif = dir.filePath("sheet.tif");
        acceptNextDialog(&shownBoxes);
        QVERIFY(dialog.saveSheetTo(tif));
        acceptNextDialog(&shownBoxes);
        QVERIFY(dialog.saveSheetTo(dir.filePath("sheet.jpg")));
        QCOMPARE(shownBoxes, 0);

        const QString cliOut = dir.filePath("cli.bmp");
        QProcess cli;
        cli.start(QStringLiteral(TAVELUNE_CLI_PATH), {"index",
                                                      "--style",
                                                      "1",
                                                      "--dpi",
                                                      "120",
                                                      "--no-fit",
                                                      "--number-from",
                                                      "7",
                                                      "--title",
                                                      QString::fromUtf8("春游 2024"),
                                                      "--signature",
                                                      "M. Ortega",
                                                      "--content",
                                                      "Roll 12\nDeveloped in-house",
                                                      "--logo",
                                                      logoPath,
                                                      "--logo-key",
                                                      "000000",
                                                      kAstronaut,
                                                      missing,
                                                      kRocket,
                                                      kCoffee,
                                                      "-o",
                                                      cliOut});
        QVERIFY(cli.waitForFinished(60000));
        // 1: the unreadable picture is named as missing from the sheet.
        QCOMPARE(cli.exitCode(), 1);
        Image expected, savedBmp, savedTif;
        QVERIFY(openImage(cliOut.toStdString(), expected));
        QVERIFY(openImage(bmp.toStdString(), savedBmp));
        QVERIFY(openImage(tif.toStdString(), savedTif));
        QCOMPARE(expected.width(), 720);
        QCOMPARE(differingPixels(savedBmp, expected), 0);
        QCOMPARE(differingPixels(savedTif, expected), 0);

        // An options dialog cancelled writes nothing; an unknown type is refused with a message.
        QTimer::singleShot(0, [] {
            if (auto* d = qobject_cast<QDialog*>(QApplication::activeModalWidget()))
                d->reject();
        });
        QVERIFY(!dialog.saveSheetTo(dir.filePath("cancelled.jpg")));
        QVERIFY(!QFile::exists(dir.filePath("cancelled.jpg")));
        messages.clear();
        QVERIFY(!dialog.saveSheetTo(dir.filePath("sheet.gif")));
        QCOMPARE(messages.messages().size(), size_t(1));
        QVERIFY(!QFile::exists(dir.filePath("sheet.gif")));
    }

    void cancelDuringALongRenderLeavesThePreviousSheet()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        const QString big = dir.filePath("big.jpg");
        QVERIFY(saveImage(big.toStdString(), test::makeGradient(4000, 3000), ImageFormat::Jpeg, 90));

        IndexPrintDialog dialog;
        dialog.show();
        dialog.addFiles({kAstronaut});
        QVERIFY(renderAndWait(dialog));
        const IndexSheet* before = dialog.sheet();
        const Image shownBefore = before->sheet();

        QStringList many;
        for (int i = 0; i < 40; ++i) many << big;
        dialog.addFiles(many);
        QSignalSpy finished(&dialog, &IndexPrintDialog::renderFinished);
        auto* progress = child<QProgressBar>(&dialog, "progress");
        child<QPushButton>(&dialog, "generate")->click();
        QVERIFY(dialog.isRendering());
        QCOMPARE(progress->maximum(), 41 + 5);
        // The controls are off while the worker runs; Cancel is the way out.
        QVERIFY(!dialog.fileList()->isEnabled());
        QVERIFY(!child<QPushButton>(&dialog, "generate")->isEnabled());
        QVERIFY(!child<QPushButton>(&dialog, "exit")->isEnabled());
        auto* cancel = child<QPushButton>(&dialog, "cancelRender");
        QVERIFY(cancel->isEnabled());
        QVERIFY(QTest::qWaitFor([&] { return progress->value() >= 3; }, 30000));
        cancel->click();
        QVERIFY(finished.wait(30000));
        QCOMPARE(finished.first().first().value<IndexRenderRunner::Outcome>(),
                 IndexRenderRunner::Outcome::Cancelled);
        QVERIFY(!dialog.isRendering());
        QCOMPARE(dialog.sheet(), before);
        QCOMPARE(dialog.sheetView()->picture(), &before->sheet());
        QCOMPARE(differingPixels(before->sheet(), shownBefore), 0);
        QVERIFY(dialog.fileList()->isEnabled());
        QVERIFY(!cancel->isEnabled());
        QVERIFY(messages.messages().empty());

        // Escape during a render stops it and keeps the dialog open.
        child<QPushButton>(&dialog, "generate")->click();
        QVERIFY(dialog.isRendering());
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(QTest::qWaitFor([&] { return !dialog.isRendering(); }, 30000));
        QVERIFY(dialog.isVisible());
        QCOMPARE(dialog.sheet(), before);
    }

    void theMainWindowsIndexButtonOpensTheDialog()
    {
        test::PrivateSettings settings;
        MainWindow window(test::buildProgramFolder(), test::makeGradient(16, 16),
                          test::makeGradient(16, 16));
        window.show();
        auto* button = child<QToolButton>(&window, "indexButton");
        QVERIFY(button->isEnabled());
        bool opened = false;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<IndexPrintDialog*>(QApplication::activeModalWidget());
            opened = dialog != nullptr;
            if (dialog)
                child<QPushButton>(dialog, "exit")->click();
        });
        button->click();
        QVERIFY(opened);
    }
};

QTEST_MAIN(IndexPrintDialogTest)
#include "index_print_dialog_test.moc"
