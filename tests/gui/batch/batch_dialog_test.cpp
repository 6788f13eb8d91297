// The batch dialog: the list and its messages, the options button, the preview, and whole runs
// compared with tavelune-cli.
#include "gui/batch/batch_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProcess>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>
#include <atomic>
#include <chrono>
#include <thread>

#include "engine/format_dispatch.h"
#include "engine/webp_codec.h"
#include "exif/exif_data.h"
#include "gui/app/main_window.h"
#include "gui/batch/batch_runner.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/webp_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"
#include "gui/film/film_page.h"
#include "gui/overlay/overlay_page.h"
#include "gui/support/string_table.h"
#include "gui/view/image_view.h"
#include "job/inks_through_profile.h"
#include "job/settings_file.h"
#include "support/gui_test_support.h"
#include "support/test_colour.h"
#include "view/image_view_model.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

const QString kCamera = QStringLiteral(TAVELUNE_FIXTURES_DIR "/camera/canon-powershot-s40.jpg");

template <typename T>
T* child(QWidget* parent, const char* name)
{
    T* found = parent->findChild<T*>(QLatin1String(name));
    if (!found) {
        qFatal("no %s", name);
    }
    return found;
}

QString writePicture(const QString& folder, const QString& name, int width, int height)
{
    const QString path = folder + "/" + name;
    if (!saveImage(QFile::encodeName(path).toStdString(), test::makeGradient(width, height), {},
                   path.endsWith(".jpg")   ? 90
                   : path.endsWith(".tif") ? 5
                                           : 0)) {
        qFatal("cannot write %s", qPrintable(path));
    }
    return path;
}

/// Eight pictures: six gradients, the camera's JPEG with its EXIF data, and a cut-off JPEG.
QStringList makeEightPictures(const QString& folder)
{
    QStringList files;
    for (int i = 0; i < 6; ++i) {
        files << writePicture(folder, QString("p%1.%2").arg(i).arg(i % 2 ? "tif" : "jpg"),
                              160 + 16 * i, 120);
    }
    QFile::copy(kCamera, folder + "/camera.jpg");
    files.insert(3, folder + "/camera.jpg");
    QFile whole(files[0]);
    whole.open(QIODevice::ReadOnly);
    const QByteArray bytes = whole.readAll();
    QFile cut(folder + "/cut.jpg");
    cut.open(QIODevice::WriteOnly);
    cut.write(bytes.left(bytes.size() / 2));
    files.insert(5, cut.fileName());
    return files;
}

bool samePixels(const QString& left, const QString& right)
{
    Image a, b;
    if (!openImage(QFile::encodeName(left).toStdString(), a) ||
        !openImage(QFile::encodeName(right).toStdString(), b) || a.width() != b.width() ||
        a.height() != b.height()) {
        return false;
    }
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            if ((a.pixelAt(x, y) | 0xFF000000u) != (b.pixelAt(x, y) | 0xFF000000u)) {
                return false;
            }
        }
    }
    return true;
}

bool waitForRun(BatchDialog& dialog)
{
    return QTest::qWaitFor([&] { return !dialog.isRunning(); }, 120000);
}

}  // namespace

class BatchDialogTest : public QObject {
    Q_OBJECT
private slots:
    void init() { setActiveLanguagePack(nullptr); }

    void theMainWindowsBatchButtonOpensTheDialog()
    {
        test::PrivateSettings privateSettings;
        MainWindow window(test::buildProgramFolder(), test::makeGradient(8, 8),
                          test::makeGradient(8, 8));
        window.show();
        auto* button = window.findChild<QToolButton*>("batchButton");
        QVERIFY(button && button->isEnabled());
        QString caption;
        QTimer::singleShot(0, [&] {
            auto* dialog = qobject_cast<BatchDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            caption = dialog->windowTitle();
            dialog->reject();
        });
        button->click();
        QCOMPARE(caption, text(Strings::BatchCaption));
    }

    void listsSupportedFilesWithIconsAndNamesEachSkippedOne()
    {
        test::MessageCollector messages;
        BatchDialog dialog;
        auto* list = child<QTableWidget>(&dialog, "fileList");
        dialog.addFiles({"/photos/a.jpg", "/photos/b.TIFF", "/photos/c.txt", "/photos/README"});
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(0, 0)->text(), QString("a.jpg"));
        QCOMPARE(list->item(0, 1)->text(), QString("/photos/"));
        QCOMPARE(list->item(0, 2)->text(), QString("JPG"));
        QCOMPARE(list->item(0, 0)->data(Qt::UserRole).toInt(), 0);
        QVERIFY(!list->item(0, 0)->icon().isNull());
        QCOMPARE(list->item(1, 2)->text(), QString("TIFF"));
        QCOMPARE(list->item(1, 0)->data(Qt::UserRole).toInt(), 1);
        QCOMPARE(messages.texts(),
                 QStringList{"Skip: No support image format!\n\n\"/photos/c.txt\""});
        // The same file chosen again is listed again.
        dialog.addFiles({"/photos/a.jpg"});
        QCOMPARE(list->rowCount(), 3);
        QCOMPARE(dialog.listedFiles().last(), QString("/photos/a.jpg"));
    }

    void dropsAddFilesAndTheFoldersPictures()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/shoot");
        for (const char* name :
             {"shoot/b.png", "shoot/a.JPG", "shoot/notes.txt", "single.gif", "odd.raw"}) {
            QFile file(dir.path() + "/" + name);
            file.open(QIODevice::WriteOnly);
        }
        BatchDialog dialog;
        QMimeData mime;
        mime.setUrls({QUrl::fromLocalFile(dir.path() + "/single.gif"),
                      QUrl::fromLocalFile(dir.path() + "/shoot"),
                      QUrl::fromLocalFile(dir.path() + "/odd.raw")});
        QVERIFY(dialog.addDropped(&mime));
        QCOMPARE(dialog.listedFiles(),
                 (QStringList{dir.path() + "/single.gif", dir.path() + "/shoot/a.JPG",
                              dir.path() + "/shoot/b.png"}));
        // The folder's text file is passed over quietly; the dropped raw file is named.
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().contains("odd.raw"));
    }

    void optionsFollowTheTypeAndKeepTheirChoices()
    {
        BatchDialog dialog;
        auto* type = child<QComboBox>(&dialog, "typeCombo");
        auto* options = child<QPushButton>(&dialog, "optionsButton");
        QCOMPARE(type->currentIndex(), 0);
        QStringList listed;
        for (int i = 0; i < type->count(); ++i) {
            listed << type->itemText(i);
        }
        QCOMPARE(listed, QStringList({text(Strings::BatchTypeJpeg), text(Strings::BatchTypeTiff),
                                      text(Strings::BatchTypeBmp), text(Strings::BatchTypePng),
                                      text(Strings::BatchTypeWebp)}));
        const auto choose = [type](ImageFormat format) {
            type->setCurrentIndex(type->findData(int(format)));
        };
        QVERIFY(options->isEnabled());
        type->setCurrentIndex(2);
        QVERIFY(!options->isEnabled());
        type->setCurrentIndex(1);
        QVERIFY(options->isEnabled());
        type->setCurrentIndex(0);

        // The JPEG options are chosen through the button and are still there at the next showing.
        int shownQuality = 0;
        auto answer = [&](const QString& typed) {
            QTimer::singleShot(0, [&, typed] {
                auto* jpeg = qobject_cast<JpegOptionsDialog*>(QApplication::activeModalWidget());
                QVERIFY(jpeg);
                auto* edit = jpeg->findChild<QLineEdit*>("quality");
                shownQuality = edit->text().toInt();
                if (typed.isEmpty()) {
                    jpeg->reject();
                    return;
                }
                edit->setFocus();
                edit->selectAll();
                QTest::keyClicks(edit, typed);
                jpeg->accept();
            });
            options->click();
        };
        answer("88");
        QCOMPARE(shownQuality, 75);
        QCOMPARE(dialog.runSettings().conversion.quality, 88);
        answer({});
        QCOMPARE(shownQuality, 88);
        QCOMPARE(dialog.runSettings().conversion.quality, 88);

        // PNG has no options; WebP's lossless box reaches the run with its own EXIF box.
        choose(ImageFormat::Png);
        QVERIFY(!options->isEnabled());
        choose(ImageFormat::Webp);
        QVERIFY(options->isEnabled());
        QTimer::singleShot(0, [] {
            auto* webp = qobject_cast<WebpOptionsDialog*>(QApplication::activeModalWidget());
            QVERIFY(webp);
            webp->findChild<QCheckBox*>("lossless")->setChecked(true);
            webp->findChild<QCheckBox*>("keepExif")->setChecked(false);
            webp->accept();
        });
        options->click();
        const BatchSettings run = dialog.runSettings();
        QCOMPARE(run.type, ImageFormat::Webp);
        QVERIFY(run.conversion.lossless);
        QVERIFY(!run.conversion.keepExif);
        QCOMPARE(outputOptions(run.conversion, run.type), kWebpLossless);

        // The metadata boxes are those of the dialog the chosen type shows.
        TiffOptionsModel tiff;
        tiff.setKeepExif(false);
        tiff.setStripMetadata(true);
        dialog.tiffOptions()->setModel(tiff);
        choose(ImageFormat::Jpeg);
        const FileConversionSettings asJpeg = dialog.runSettings().conversion;
        QVERIFY(asJpeg.keepExif && !asJpeg.stripMetadata);
        choose(ImageFormat::Tiff);
        const FileConversionSettings asTiff = dialog.runSettings().conversion;
        QVERIFY(!asTiff.keepExif && asTiff.stripMetadata);
        type->setCurrentIndex(0);
    }

    void previewShowsTheSelectedPictureAndGoesWithTheLastRow()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        BatchDialog dialog;
        dialog.show();
        auto* list = child<QTableWidget>(&dialog, "fileList");
        auto* info = child<QLineEdit>(&dialog, "infoLine");
        QFile broken(dir.path() + "/broken.jpg");
        broken.open(QIODevice::WriteOnly);
        broken.write("not a picture");
        broken.close();
        dialog.addFiles({writePicture(dir.path(), "one.jpg", 64, 48), broken.fileName(),
                         writePicture(dir.path(), "two.bmp", 30, 20)});
        list->setCurrentCell(0, 0);
        QCOMPARE(dialog.previewPicture().width(), 64);
        QCOMPARE(info->text(), QString("one.jpg -- 64 x 48, 72dpi"));
        // A file that does not open clears the preview and says so in the line, without a box.
        list->setCurrentCell(1, 0);
        QVERIFY(dialog.previewPicture().isEmpty());
        QCOMPARE(info->text(), QString::asprintf(text(Strings::BatchPreviewFailed).toUtf8().constData(),
                                                 "broken.jpg"));
        QVERIFY(messages.texts().isEmpty());
        list->setCurrentCell(2, 0);
        QCOMPARE(info->text(), QString("two.bmp -- 30 x 20, 72dpi"));
        // Removing a row previews the row that becomes current; removing the last clears it.
        list->selectRow(0);
        QCOMPARE(dialog.previewPicture().width(), 64);
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->rowCount(), 2);
        QCOMPARE(list->item(0, 0)->text(), QString("broken.jpg"));
        QVERIFY(dialog.previewPicture().isEmpty());
        list->selectAll();
        QTest::keyClick(list, Qt::Key_Delete);
        QCOMPARE(list->rowCount(), 0);
        QVERIFY(dialog.previewPicture().isEmpty());
        QVERIFY(info->text().isEmpty());

        // The preview is shown through the file's colour profile, as the picture pane is.
        PictureMetadata wide;
        wide.icc = reference::adobeRgbProfile();
        const QString profiled = dir.filePath("wide.tif");
        QVERIFY(saveImage(profiled.toStdString(), reference::patchChart(10), ImageFormat::Tiff, 1,
                          &wide).ok());
        dialog.addFiles({profiled, writePicture(dir.path(), "plain.jpg", 30, 20)});
        const ImageViewModel& view = child<ImageView>(&dialog, "preview")->model();
        list->setCurrentCell(0, 0);
        QVERIFY(view.picture() != &dialog.previewPicture());
        QVERIFY(reference::largestChannelDifference(
                    *view.picture(), reference::lcmsSrgbCopy(dialog.previewPicture(), wide.icc)) <= 2);
        list->setCurrentCell(1, 0);
        QCOMPARE(view.picture(), &dialog.previewPicture());
        // A CMYK photo's inks reach the screen through its profile.
        const std::string inks = dir.filePath("inks.jpg").toStdString();
        QVERIFY(reference::writeCmykJpeg(inks, 60, 40, reference::cmykProfile()));
        dialog.addFiles({QString::fromStdString(inks)});
        list->setCurrentCell(2, 0);
        Image throughProfile;
        ExifData unused;
        bool through = false;
        (void)openThroughCmykProfile(reference::cmykProfile(), through, inks, throughProfile,
                                     unused, 0, true);
        QVERIFY(through && view.picture() != &dialog.previewPicture());
        QCOMPARE(reference::largestChannelDifference(*view.picture(), throughProfile), 0);
        QVERIFY(reference::largestChannelDifference(dialog.previewPicture(), throughProfile) > 8);
    }

    void nothingStartsWithoutFilesOrFolder()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        BatchDialog dialog;
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path());
        QVERIFY(!dialog.startRun());
        dialog.addFiles({writePicture(dir.path(), "a.jpg", 20, 20)});
        child<QLineEdit>(&dialog, "folderEdit")->setText("  ");
        QVERIFY(!dialog.startRun());
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path() + "/out");
        child<QLineEdit>(&dialog, "prefixEdit")->setText("../");
        QVERIFY(!dialog.startRun());
        QCOMPARE(messages.texts(),
                 (QStringList{text(Strings::EmptyFileList), text(Strings::NoOutputFolder),
                              text(Strings::BatchBadPrefix)}));
        QVERIFY(!QDir(dir.path() + "/out").exists());
        // No prefix and the pictures' own folder: the originals would be lost.
        messages.clear();
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path());
        child<QLineEdit>(&dialog, "prefixEdit")->clear();
        QVERIFY(!dialog.startRun());
        QCOMPARE(messages.texts().size(), 1);
        QVERIFY(messages.texts().first().startsWith(
            QString::fromUtf8("1 个输出文件会覆盖列表中的原图, 例如:\na.jpg")));
        QCOMPARE(child<QLabel>(&dialog, "statusText")->text(), QString::fromUtf8("就绪"));
    }

    void outputFolderIsCheckedBeforeAnyFileIsRead_data()
    {
        QTest::addColumn<QString>("folder");  // {tmp} is the test's folder
        QTest::addColumn<int>("answer");      // to the question, if one is asked
        QTest::addColumn<bool>("asked");
        QTest::addColumn<bool>("starts");
        QTest::addColumn<QString>("reason");  // in the one message, when it does not start
        QTest::newRow("missing, not created") << "{tmp}/new/out" << int(QMessageBox::No) << true
                                              << false << QString();
        QTest::newRow("missing, created") << "{tmp}/new/out" << int(QMessageBox::Yes) << true
                                          << true << QString();
        QTest::newRow("a file in the way") << "{tmp}/a.jpg" << int(QMessageBox::Yes) << false
                                           << false << text(Strings::BatchFolderNotAFolder);
        QTest::newRow("under a file") << "{tmp}/a.jpg/out" << int(QMessageBox::Yes) << false
                                      << false << text(Strings::BatchFolderNotAFolder);
        // sysfs refuses new files to every user, root included.
        QTest::newRow("cannot be written") << "/sys" << int(QMessageBox::Yes) << false << false
                                           << text(Strings::BatchFolderNotWritable);
    }

    void outputFolderIsCheckedBeforeAnyFileIsRead()
    {
        QFETCH(QString, folder);
        QFETCH(int, answer);
        QFETCH(bool, asked);
        QFETCH(bool, starts);
        QFETCH(QString, reason);
        if (folder == "/sys" && !QFileInfo("/sys").isDir()) {
            QSKIP("no sysfs here");
        }
        test::PrivateSettings privateSettings;
        test::MessageCollector messages{QMessageBox::StandardButton(answer)};
        QTemporaryDir dir;
        folder.replace("{tmp}", dir.path());
        BatchDialog dialog;
        dialog.addFiles({writePicture(dir.path(), "a.jpg", 20, 20)});
        child<QLineEdit>(&dialog, "folderEdit")->setText(folder);
        QCOMPARE(dialog.startRun(), starts);
        QVERIFY(waitForRun(dialog));
        QCOMPARE(QFileInfo(folder).isDir(), starts || folder == "/sys");
        if (starts) {
            QVERIFY(QFileInfo::exists(folder + "/QX_a.jpg"));
            QVERIFY(QDir(folder).entryList(QDir::Hidden | QDir::Files).size() == 1);
            QCOMPARE(messages.texts().size(), 1);
        } else {
            QCOMPARE(messages.texts().size(), 1);
            QVERIFY(messages.texts().first().contains(folder));
            QVERIFY(messages.texts().first().contains(asked ? QString() : reason));
        }
        QCOMPARE(messages.messages().front().buttons.testFlag(QMessageBox::Yes), asked);
        QVERIFY(child<QListWidget>(&dialog, "runLog")->count() == 0);
    }

    void runWritesWhatTheCommandLineWritesAndReportsTheBrokenFile()
    {
        test::PrivateSettings privateSettings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/in");
        const QStringList files = makeEightPictures(dir.path() + "/in");
        BatchDialog dialog;
        dialog.show();
        dialog.addFiles(files);
        ConversionSettings settings = dialog.settings();
        settings.film.filmType = kFilmTmax;
        settings.film.exposure = 2;
        settings.signature.enabled = true;
        settings.signature.text = "<FileName/>";
        dialog.setSettings(settings);
        QDir().mkpath(dir.path() + "/gui");
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path() + "/gui");
        child<QLineEdit>(&dialog, "prefixEdit")->setText("B_");
        dialog.setJobs(2);
        QSignalSpy finished(&dialog, &BatchDialog::runFinished);
        QVERIFY(dialog.startRun());
        QVERIFY(!child<QPushButton>(&dialog, "startButton")->isEnabled());
        QVERIFY(waitForRun(dialog));
        QCOMPARE(finished.size(), 1);

        const BatchSettings used = dialog.runSettings();
        std::string reason;
        QVERIFY(saveSettingsFile((dir.path() + "/pages.txt").toStdString(), used.conversion.job,
                                 reason));
        QProcess cli;
        cli.start(QStringLiteral(TAVELUNE_CLI_PATH),
                  QStringList{"batch", "--settings", dir.path() + "/pages.txt", "--quality",
                              QString::number(used.conversion.quality), "--prefix", "B_", "-o",
                              dir.path() + "/cli"} +
                      files);
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 1);  // the cut file fails

        const QStringList written = QDir(dir.path() + "/gui").entryList(QDir::Files, QDir::Name);
        QCOMPARE(written.size(), 7);
        QVERIFY(!written.contains("B_cut.jpg"));
        for (const QString& name : written) {
            QVERIFY2(samePixels(dir.path() + "/gui/" + name, dir.path() + "/cli/" + name),
                     qPrintable(name));
        }
        ExifData kept;
        QVERIFY(kept.LoadExif((dir.path() + "/gui/B_camera.jpg").toStdString()) && !kept.IsEmpty());

        auto* log = child<QListWidget>(&dialog, "runLog");
        QCOMPARE(log->count(), 1);
        QVERIFY(log->item(0)->text().startsWith(text(Strings::CouldNotProcess) + ": cut.jpg"));
        QVERIFY(child<QLabel>(&dialog, "statusText")
                    ->text()
                    .startsWith(QString::fromUtf8("完成: 转换 7 个, 跳过 0 个, 失败 1 个")));
        QCOMPARE(child<QProgressBar>(&dialog, "runBar")->value(), 100);
        QVERIFY(messages.texts().isEmpty());
    }

    void scaledLengthsAreThoseOfTheCommandLinesScaleFrom_data()
    {
        QTest::addColumn<bool>("reduce");
        QTest::addColumn<int>("previewRow");  // -1: nothing selected
        QTest::addColumn<QStringList>("cliOptions");
        // The turned cat stands 300 wide; the large gradient is 800 wide once reduced.
        QTest::newRow("the upright preview's width") << false << 0 << QStringList{"--scale-from", "300"};
        QTest::newRow("nothing selected: the first file")
            << false << -1 << QStringList{"--scale-from", "300"};
        QTest::newRow("reduced, the preview as reduced")
            << true << 2 << QStringList{"--fit", "800", "--scale-from", "800"};
    }

    void scaledLengthsAreThoseOfTheCommandLinesScaleFrom()
    {
        QFETCH(bool, reduce);
        QFETCH(int, previewRow);
        QFETCH(QStringList, cliOptions);
        test::PrivateSettings privateSettings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/in");
        QFile::copy(TAVELUNE_SAMPLES_DIR "/chelsea-rotated.jpg", dir.path() + "/in/cat.jpg");
        const QStringList files = {dir.path() + "/in/cat.jpg",
                                   writePicture(dir.path() + "/in", "small.jpg", 150, 100),
                                   writePicture(dir.path() + "/in", "large.jpg", 1200, 900)};
        BatchDialog dialog;
        dialog.show();
        dialog.addFiles(files);
        ConversionSettings settings = dialog.settings();
        settings.border.enabled = true;
        settings.signature.enabled = true;
        settings.signature.text = "<FileName/>";
        dialog.setSettings(settings);
        if (previewRow >= 0) {
            child<QTableWidget>(&dialog, "fileList")->setCurrentCell(previewRow, 0);
        }
        child<QCheckBox>(&dialog, "reduceBox")->setChecked(reduce);
        child<QCheckBox>(&dialog, "scaleLengthsBox")->setChecked(true);
        QDir().mkpath(dir.path() + "/gui");
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path() + "/gui");
        QVERIFY(dialog.startRun());
        QVERIFY(waitForRun(dialog));
        QVERIFY(!dialog.previewPicture().isEmpty());

        std::string reason;
        QVERIFY(saveSettingsFile((dir.path() + "/pages.txt").toStdString(),
                                 dialog.runSettings().conversion.job, reason));
        QProcess cli;
        cli.start(QStringLiteral(TAVELUNE_CLI_PATH),
                  QStringList{"batch", "--settings", dir.path() + "/pages.txt", "-o",
                              dir.path() + "/cli"} +
                      cliOptions + files);
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);
        for (const QString& name : {"QX_cat.jpg", "QX_small.jpg", "QX_large.jpg"}) {
            QVERIFY2(samePixels(dir.path() + "/gui/" + name, dir.path() + "/cli/" + name),
                     qPrintable(name));
        }
        QVERIFY(messages.texts().isEmpty());
    }

    void scalingLengthsWithoutAPictureThatOpensStartsNothing()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        QFile broken(dir.path() + "/broken.jpg");
        broken.open(QIODevice::WriteOnly);
        broken.write("not a picture");
        broken.close();
        BatchDialog dialog;
        dialog.show();
        dialog.addFiles({broken.fileName(), writePicture(dir.path(), "one.jpg", 64, 48)});
        child<QCheckBox>(&dialog, "scaleLengthsBox")->setChecked(true);
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path());
        child<QLineEdit>(&dialog, "prefixEdit")->setText("S_");
        QVERIFY(!dialog.startRun());
        QCOMPARE(messages.texts(), QStringList{text(Strings::BatchScaleNeedsPreview)});
        QVERIFY(!QFile::exists(dir.path() + "/S_one.jpg"));
    }

    void theLogListsFilesInListOrder()
    {
        test::PrivateSettings privateSettings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        QStringList files;
        for (int i = 0; i < 6; ++i) {
            if (i % 2 == 0) {
                // A large good picture between the broken ones keeps one worker busy.
                files << writePicture(dir.path(), QString("good%1.jpg").arg(i), 2400, 1600);
            } else {
                QFile broken(dir.path() + QString("/broken%1.jpg").arg(i));
                QVERIFY(broken.open(QIODevice::WriteOnly) && broken.write("x") == 1);
                files << broken.fileName();
            }
        }
        std::reverse(files.begin(), files.end());
        BatchDialog dialog;
        dialog.addFiles(files);
        QDir().mkpath(dir.path() + "/out");
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path() + "/out");
        dialog.setJobs(2);
        QVERIFY(dialog.startRun());
        QVERIFY(waitForRun(dialog));
        auto* log = child<QListWidget>(&dialog, "runLog");
        QCOMPARE(log->count(), 3);
        for (int row = 0, next = 0; row < log->count(); ++row, ++next) {
            while (!files[next].contains("broken")) {
                ++next;
            }
            QVERIFY2(log->item(row)->toolTip() == files[next], qPrintable(log->item(row)->text()));
        }
    }

    void failureReasonsAreInTheActiveLanguage_data() { test::addLanguageRows(); }

    void failureReasonsAreInTheActiveLanguage()
    {
        QFETCH(QString, language);
        const test::ActiveLanguage active(language);
        QVERIFY2(active.ok(), qPrintable(active.error()));
        test::PrivateSettings privateSettings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        QDir().mkpath(dir.path() + "/a");
        QDir().mkpath(dir.path() + "/b");
        QDir().mkpath(dir.path() + "/out");
        // Two pictures of one name in different folders share an output; the second fails.
        const QStringList files{writePicture(dir.path() + "/a", "x.jpg", 32, 24),
                                writePicture(dir.path() + "/b", "x.jpg", 32, 24)};
        BatchDialog dialog;
        dialog.addFiles(files);
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path() + "/out");
        QVERIFY(dialog.startRun());
        QVERIFY(waitForRun(dialog));
        auto* log = child<QListWidget>(&dialog, "runLog");
        QCOMPARE(log->count(), 1);
        const QString reason = QString::asprintf(
            text(Strings::BatchReasonSameOutput).toUtf8().constData(), qPrintable(files[0]));
        QVERIFY2(log->item(0)->text().endsWith(QStringLiteral(" — ") + reason),
                 qPrintable(log->item(0)->text()));
        QCOMPARE(log->item(0)->text().contains(QStringLiteral("same output file")),
                 language == QLatin1String("en_US"));
    }

    void cancelLeavesOnlyWholeFilesAndTheDialogOpenUntilThen()
    {
        test::PrivateSettings privateSettings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        QStringList files;
        for (int i = 0; i < 12; ++i) {
            files << writePicture(dir.path(), QString("big%1.jpg").arg(i, 2, 10, QChar('0')), 1200,
                                  900);
        }
        BatchDialog dialog;
        dialog.show();
        dialog.addFiles(files);
        QDir().mkpath(dir.path() + "/out");
        child<QLineEdit>(&dialog, "folderEdit")->setText(dir.path() + "/out");
        dialog.setJobs(2);
        // The run is held after its second file until the cancel has been sent, however fast
        // the machine; released in any case before the dialog goes.
        std::atomic<int> done{0};
        std::atomic<bool> cancelSent{false};
        dialog.findChild<BatchRunner*>()->setFileGate([&](size_t) {
            if (++done == 2)
                for (int i = 0; i < 60000 && !cancelSent; ++i)
                    std::this_thread::sleep_for(std::chrono::milliseconds(1));
        });
        const auto release = qScopeGuard([&] { cancelSent = true; });
        QVERIFY(dialog.startRun());
        QVERIFY(QTest::qWaitFor([&] { return done >= 2; }, 60000));
        // Closing is refused while the run goes; Cancel is the way out.
        QVERIFY(!dialog.close());
        QVERIFY(dialog.isVisible());
        QCOMPARE(messages.texts(), QStringList{text(Strings::BatchStillRunning)});
        child<QPushButton>(&dialog, "cancelButton")->click();
        cancelSent = true;
        QVERIFY(waitForRun(dialog));
        const QStringList written =
            QDir(dir.path() + "/out").entryList(QDir::Files | QDir::Hidden, QDir::Name);
        // The two before the cancel, and at most the one the other thread was converting.
        QVERIFY2(written.size() >= 2 && written.size() <= 3, qPrintable(written.join(' ')));
        for (const QString& name : written) {
            QVERIFY2(name.startsWith("QX_big") && name.endsWith(".jpg"), qPrintable(name));
            Image picture;
            QVERIFY2(openImage((dir.path() + "/out/" + name).toStdString(), picture),
                     qPrintable(name));
            QCOMPARE(picture.width(), 1200);
        }
        QVERIFY(
            child<QLabel>(&dialog, "statusText")
                ->text()
                .contains(QString::fromUtf8("未处理 %1 个").arg(files.size() - written.size())));
        QVERIFY(dialog.close());
    }

    void existingOutputsAreAskedAboutOnceForTheWholeRun()
    {
        test::PrivateSettings privateSettings;
        test::MessageCollector messages;
        QTemporaryDir dir;
        QStringList files;
        for (int i = 0; i < 4; ++i) {
            files << writePicture(dir.path(), QString("s%1.jpg").arg(i), 40, 30);
        }
        const QString out = dir.path() + "/out";
        QDir().mkpath(out);
        for (int i : {0, 2, 3}) {
            QFile stale(out + QString("/QX_s%1.jpg").arg(i));
            stale.open(QIODevice::WriteOnly);
            stale.write("old");
        }
        auto staleCount = [&] {
            int count = 0;
            for (const QString& name : QDir(out).entryList(QDir::Files)) {
                count += QFileInfo(out + "/" + name).size() == 3;
            }
            return count;
        };
        BatchDialog dialog;
        dialog.addFiles(files);
        child<QLineEdit>(&dialog, "folderEdit")->setText(out);

        messages.queueAnswers({QMessageBox::Cancel});
        QVERIFY(!dialog.startRun());
        QCOMPARE(messages.messages().size(), size_t(1));
        QVERIFY(messages.messages()[0].text.startsWith(
            QString::fromUtf8("输出文件夹中已有 3 个同名文件")));
        QCOMPARE(messages.messages()[0].buttonTexts.value(QMessageBox::Yes),
                 text(Strings::BatchReplaceAll));
        QCOMPARE(staleCount(), 3);

        messages.clear();
        messages.queueAnswers({QMessageBox::No});
        QVERIFY(dialog.startRun());
        QVERIFY(waitForRun(dialog));
        QCOMPARE(messages.messages().size(), size_t(1));
        QCOMPARE(staleCount(), 3);
        QCOMPARE(child<QListWidget>(&dialog, "runLog")->count(), 3);

        messages.clear();
        messages.queueAnswers({QMessageBox::Yes});
        QVERIFY(dialog.startRun());
        QVERIFY(waitForRun(dialog));
        QCOMPARE(messages.messages().size(), size_t(1));
        QVERIFY(messages.messages()[0].text.startsWith(QString::fromUtf8("输出文件夹中已有 4 个")));
        QCOMPARE(staleCount(), 0);
        QVERIFY(child<QLabel>(&dialog, "statusText")
                    ->text()
                    .startsWith(QString::fromUtf8("完成: 转换 4 个")));
    }
};

QTEST_MAIN(BatchDialogTest)
#include "batch_dialog_test.moc"
