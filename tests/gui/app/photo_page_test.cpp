// The photo page through its real widgets: button states, opening, the job, saving.
#include "gui/app/photo_page.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QTabWidget>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include "engine/colour_profile.h"
#include "engine/format_dispatch.h"
#include "exif/entry_values.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "film/film_registry.h"
#include "gui/app/save_size_dialog.h"
#include "gui/engine/image_size_dialog.h"
#include "gui/exif/exif_list_widget.h"
#include "gui/film/film_page.h"
#include "gui/film/film_strip.h"
#include "gui/histogram/histogram_panel_widget.h"
#include "gui/overlay/border_page.h"
#include "gui/support/string_table.h"
#include "gui/view/image_view.h"
#include "view/image_view_model.h"
#include "job/conversion_job.h"
#include "job/file_conversion.h"
#include "support/gui_test_support.h"
#include "support/test_colour.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

constexpr uint32_t kRed = 0xFFFF0000;
constexpr uint32_t kGrey = 0xFF808080;

int channelDifference(QRgb a, uint32_t b)
{
    return std::max({std::abs(qRed(a) - int((b >> 16) & 0xFF)),
                     std::abs(qGreen(a) - int((b >> 8) & 0xFF)), std::abs(qBlue(a) - int(b & 0xFF))});
}

bool isReddish(uint32_t pixel)
{
    const int r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
    return r > 200 && g < 60 && b < 60;
}

// A grey camera picture with a red block in its stored top-left corner and the given EXIF
// Orientation, as a camera held upright on its side writes it.
QString writeOrientedJpeg(const QString& folder, int width, int height, int orientation)
{
    Image picture;
    picture.create(width, height, 72.0f);
    picture.fill(kGrey);
    picture.drawRectangle(0, 0, width / 5, height / 5, kRed, kRed);
    const QString path = folder + "/camera.jpg";
    const std::string file = path.toStdString();
    if (!saveImage(file, picture, ImageFormat::Jpeg, 90)) {
        return {};
    }
    ExifData exif;
    exif.CreateDefaultEntries(width, height, 72, 72);
    setShortValue(exif.FindEntry(kIfd0, 274, EntryLookup::Create), uint16_t(orientation));
    return exif.SaveExif(file) ? path : QString();
}

Image placeholder()
{
    return test::makeGradient(64, 48);
}

bool waitForJob(PhotoPage& page)
{
    return QTest::qWaitFor([&] { return !page.isConverting(); }, 20000);
}

// Accepts the next modal dialog (the options dialog of a save) as OK would.
void acceptNextDialog()
{
    QTimer::singleShot(0, [] {
        if (auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget())) {
            dialog->accept();
        }
    });
}

// The picture above is larger than the working size, so the save asks for the size first:
// this test is about the working picture.
void chooseWorkingSizeThenAccept()
{
    QTimer::singleShot(0, [] {
        if (auto* sizes = qobject_cast<SaveSizeDialog*>(QApplication::activeModalWidget())) {
            sizes->chooseFullSize(false);
            acceptNextDialog();
            sizes->accept();
        }
    });
}

}  // namespace

class PhotoPageTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_page = std::make_unique<PhotoPage>(placeholder(), placeholder());
        m_page->resize(1000, 600);
        m_page->show();
    }
    void cleanup() { m_page.reset(); }

    void buttonsFollowTheStateMachine()
    {
        PhotoPage& page = *m_page;
        auto enabled = [&](const char* name) {
            return page.findChild<QWidget*>(name)->isEnabled();
        };
        QVERIFY(!enabled("applyButton") && !enabled("saveButton") && !enabled("rotateButton"));
        QVERIFY(enabled("openButton") && enabled("actualButton") && enabled("sameButton"));

        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee.jpg")));
        QVERIFY(enabled("applyButton") && enabled("rotateButton") && enabled("sizeButton"));
        QVERIFY(!enabled("saveButton"));

        QVERIFY(page.startConversion());
        QVERIFY(waitForJob(page));
        QVERIFY(enabled("saveButton"));
        QCOMPARE(page.progress(), 100);

        QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000));
        page.mirrorPicture();
        QVERIFY(!enabled("saveButton"));
        QVERIFY(!page.result().isEmpty());  // still shown, just no longer current

        page.closePicture();
        QVERIFY(!enabled("applyButton") && !enabled("saveButton") && !enabled("closeButton"));
        QVERIFY(page.source().isEmpty() && page.result().isEmpty() && page.fileName().isEmpty());
    }

    void openingALargeSidewaysJpegGivesAnUprightWorkingPicture()
    {
        QTemporaryDir dir;
        const QString path = writeOrientedJpeg(dir.path(), 3000, 2000, 6);
        QVERIFY(!path.isEmpty());
        QVERIFY(test::openAndWait(*m_page, path));
        const Image& source = m_page->source();
        QCOMPARE(source.width(), 533);
        QCOMPARE(source.height(), 800);
        // A quarter turn clockwise carries the stored top-left corner to the top right.
        QVERIFY(isReddish(source.pixelAt(source.width() - 10, 10)));
        QVERIFY(!isReddish(source.pixelAt(10, 10)));
    }

    void aFailedOpenKeepsWhatWasOpenAndNamesTheFile_data()
    {
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("firstCaption");  // of the decoder's own box, if any
        QTest::newRow("missing") << "missing.jpg" << QString();
        QTest::newRow("text named .jpg") << "notes.jpg" << "JPEG Fatal Error";
        QTest::newRow("truncated JPEG") << "cut.jpg" << "JPEG Fatal Error";
    }

    void aFailedOpenKeepsWhatWasOpenAndNamesTheFile()
    {
        QFETCH(QString, file);
        QFETCH(QString, firstCaption);
        QTemporaryDir dir;
        QFile notes(dir.filePath("notes.jpg"));
        QVERIFY(notes.open(QIODevice::WriteOnly) && notes.write("shopping list\n") > 0);
        notes.close();
        QFile whole(QStringLiteral(TAVELUNE_SAMPLES_DIR "/rocket.jpg"));
        QVERIFY(whole.open(QIODevice::ReadOnly));
        QFile cut(dir.filePath("cut.jpg"));
        QVERIFY(cut.open(QIODevice::WriteOnly) && cut.write(whole.read(whole.size() / 3)) > 0);
        cut.close();

        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg")));
        QVERIFY(page.startConversion() && waitForJob(page));
        const Image source = page.source();
        const Image result = page.result();
        const QString status = page.statusText();
        test::MessageCollector messages;
        const QString path = dir.filePath(file);
        QVERIFY(!test::openAndWait(page, path));

        QVERIFY(page.fileName().endsWith("coffee-exif.jpg"));
        QVERIFY(std::equal(source.pixels(), source.pixels() + source.pixelCount(),
                           page.source().pixels()));
        QVERIFY(std::equal(result.pixels(), result.pixels() + result.pixelCount(),
                           page.result().pixels()));
        QVERIFY(!page.exif().IsEmpty());
        QVERIFY(page.action(PhotoPage::Command::Save)->isEnabled());
        QCOMPARE(page.statusText(), status);
        QVERIFY(!messages.messages().empty());
        for (const MessageRecord& box : messages.messages()) {
            QVERIFY2(box.text.contains(path), qPrintable(box.text));
        }
        if (!firstCaption.isEmpty()) {
            QCOMPARE(messages.messages().front().caption, firstCaption);
            QVERIFY(messages.messages().back().text.startsWith("Open image file error !"));
        }
    }

    void statusLineAndResultPaneSayWhatIsTrueNow()
    {
        PhotoPage& page = *m_page;
        auto* result = page.findChild<ImageView*>("resultPane");
        QSignalSpy said(&page, &PhotoPage::statusMessage);
        QCOMPARE(page.statusText(), text(Strings::StatusNoPicture));
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee.jpg")));
        const QString opened = page.statusText();
        QVERIFY2(opened.contains("coffee.jpg") && opened.contains("600 x 400"), qPrintable(opened));
        QVERIFY(page.startConversion() && waitForJob(page));
        QCOMPARE(page.statusText(),
                 text(Strings::ConvertedSize).arg(page.result().width()).arg(page.result().height()));
        QVERIFY(result->outOfDateNote().isEmpty());

        QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000));
        page.rotatePicture();
        QCOMPARE(page.statusText(), text(Strings::StatusStale));
        QCOMPARE(result->outOfDateNote(), text(Strings::ResultStaleNote));
        QCOMPARE(said.last().at(0).toString(), page.statusText());

        QVERIFY(page.startConversion() && waitForJob(page));
        QVERIFY(result->outOfDateNote().isEmpty());
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/rocket.jpg")));
        QVERIFY(page.statusText().contains("rocket.jpg"));
        QVERIFY(result->outOfDateNote().isEmpty());
        QCOMPARE(said.last().at(0).toString(), page.statusText());
        page.closePicture();
        QCOMPARE(said.last().at(0).toString(), text(Strings::StatusNoPicture));
    }

    void deletingExifKeepsTheFileRowsAndTheFileTime()
    {
        QTemporaryDir dir;
        const QString path = dir.filePath("photo.jpg");
        QVERIFY(QFile::copy(QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg"), path));
        QFile::setPermissions(path, QFile::ReadOwner | QFile::WriteOwner);
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, path));
        QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000));
        test::MessageCollector messages(QMessageBox::Yes);
        QTimer::singleShot(0, [] {
            auto* editor = qobject_cast<QDialog*>(QApplication::activeModalWidget());
            QVERIFY(editor);
            editor->findChild<QPushButton*>("deleteButton")->click();
        });
        page.editExif();
        QVERIFY(page.exif().IsEmpty());
        auto* list = page.findChild<ExifListWidget*>();
        QCOMPARE(list->rowCount(), 4);
        QCOMPARE(list->item(1, 1)->text(), QString("photo.jpg"));
        // The histogram's second line ends with the file's time, drawn at the right.
        QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000));
        const Image canvas = page.findChild<HistogramPanelWidget*>()->model().copyAll();
        int lit = 0;
        for (int y = 121; y < 134; ++y) {
            for (int x = 160; x < 256; ++x) {
                lit += (canvas.pixelAt(x, y) & 0xFF) > 128;
            }
        }
        QVERIFY2(lit > 20, "no file time at the right of the second line");
    }

    void exifListNamesFitOrShowWhole()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_FIXTURES_DIR
                                                       "/camera/canon-powershot-s40.jpg")));
        auto* list = page.findChild<ExifListWidget*>();
        const QFontMetrics metrics(list->font());
        int shown = 0;
        for (int row = 0; row < list->rowCount(); ++row) {
            QTableWidgetItem* name = list->item(row, 0);
            if (list->columnSpan(row, 0) > 1 || !name) {
                continue;
            }
            const QString value = list->item(row, 1)->text();
            const bool fits = metrics.horizontalAdvance(name->text()) + list->iconSize().width() +
                                  10 <= list->columnWidth(0);
            QVERIFY2(fits || name->toolTip() == name->text() + ": " + value,
                     qPrintable(name->text()));
            QVERIFY(value.isEmpty() || list->item(row, 1)->toolTip().endsWith(value));
            shown += fits;
        }
        QVERIFY(list->columnWidth(0) > ExifListWidget::kNameWidth);
        QVERIFY(shown > list->rowCount() / 2);
    }

    void theJobDisablesThePageAndRefusesASecondApply()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/rocket.jpg")));
        QSignalSpy busy(&page, &PhotoPage::busyChanged);
        QVERIFY(page.startConversion());
        QVERIFY(!page.isEnabled());
        QVERIFY(!page.startConversion());
        QVERIFY(waitForJob(page));
        QVERIFY(page.isEnabled());
        QCOMPARE(busy.count(), 2);
        QCOMPARE(busy.at(0).at(0).toBool(), true);
        QCOMPARE(busy.at(1).at(0).toBool(), false);
    }

    void applyingTwiceGivesTheSamePicture()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee.jpg")));
        QVERIFY(page.startConversion() && waitForJob(page));
        const Image first = page.result();
        QVERIFY(page.startConversion() && waitForJob(page));
        const Image& second = page.result();
        QCOMPARE(second.width(), first.width());
        QCOMPARE(second.height(), first.height());
        QVERIFY(std::equal(first.pixels(), first.pixels() + first.pixelCount(), second.pixels()));
    }

    void savingWritesTheJobsPixelsWithOrientationOne()
    {
        QTemporaryDir dir;
        const QString camera = writeOrientedJpeg(dir.path(), 1200, 900, 6);
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, camera));
        QVERIFY(page.startConversion() && waitForJob(page));
        const QString saved = dir.path() + "/QX_camera.jpg";
        chooseWorkingSizeThenAccept();
        QVERIFY(page.saveTo(saved));

        // The same conversion through the core alone, saved at the options dialog's default.
        Image source, expected;
        ExifData exif;
        QVERIFY(openWorkingPicture(camera.toStdString(), source, exif, 800, true));
        Rect margins;
        QVERIFY(runConversionJob(source, &exif, ConversionSettings{}, nullptr, expected, margins));
        const std::string reference = (dir.path() + "/reference.jpg").toStdString();
        QVERIFY(saveImage(reference, expected, ImageFormat::Jpeg, 75));

        Image written, referenceImage;
        QVERIFY(openImage(saved.toStdString(), written));
        QVERIFY(openImage(reference, referenceImage));
        QCOMPARE(written.width(), referenceImage.width());
        QCOMPARE(written.height(), referenceImage.height());
        QVERIFY(std::equal(written.pixels(), written.pixels() + written.pixelCount(),
                           referenceImage.pixels()));
        ExifData writtenExif;
        QVERIFY(writtenExif.LoadExif(saved.toStdString()));
        QCOMPARE(writtenExif.GetNumber(kIfd0, 274, 0), 1.0);
    }

    void saveRefusesAnUnknownExtensionAndAnUnconvertedPicture()
    {
        test::MessageCollector messages;
        QTemporaryDir dir;
        QVERIFY(!m_page->saveTo(dir.path() + "/a.jpg"));
        QVERIFY(test::openAndWait(*m_page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee.jpg")));
        QVERIFY(m_page->startConversion() && waitForJob(*m_page));
        QVERIFY(!m_page->saveTo(dir.path() + "/a.gif"));
        QCOMPARE(messages.messages().size(), size_t(2));
        QVERIFY(!QFile::exists(dir.path() + "/a.gif"));
    }

    void everyListedFilmGivesItsOwnLook()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee.jpg")));
        std::vector<Image> looks;
        for (int film : {kFilmVelvia, kFilmTmax, kFilmE100Vs, kFilmAstia}) {
            ConversionSettings settings = page.settings();
            settings.film.filmType = film;
            page.setSettings(settings);
            QCOMPARE(page.settings().film.filmType, film);
            QVERIFY(page.startConversion() && waitForJob(page));
            for (const Image& other : looks) {
                QVERIFY(!std::equal(other.pixels(), other.pixels() + other.pixelCount(),
                                    page.result().pixels()));
            }
            looks.push_back(page.result());
        }
    }

    void aDroppedFileOpensAndOtherDropsAreIgnored()
    {
        QMimeData text;
        text.setText("not a file");
        QVERIFY(!m_page->openDropped(&text));
        QMimeData files;
        files.setUrls({QUrl("https://example.org/a.jpg"),
                       QUrl::fromLocalFile(QStringLiteral(TAVELUNE_SAMPLES_DIR "/rocket.jpg"))});
        QVERIFY(m_page->openDropped(&files));
        QVERIFY(QTest::qWaitFor([&] { return !m_page->isBusy(); }, 60000));
        QVERIFY(m_page->fileName().endsWith("rocket.jpg"));
        QCOMPARE(m_page->source().width(), 640);
    }

    void resizeDialogResamplesTheWorkingPicture()
    {
        QVERIFY(
            test::openAndWait(*m_page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg")));
        QVERIFY(QTest::qWaitFor([&] { return !m_page->isHistogramCalculating(); }, 5000));
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<ImageSizeDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QLineEdit* width = dialog->edit(SizeField::PixelWidth);
            width->setFocus();
            width->selectAll();
            QTest::keyClicks(width, "300");
            dialog->accept();
        });
        m_page->resizePicture();
        QCOMPARE(m_page->source().width(), 300);
        QCOMPARE(m_page->source().height(), 200);
        QVERIFY(!m_page->action(PhotoPage::Command::Save)->isEnabled());
    }

    void panesShowTheSameDetailOfAFramedResult()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/rocket.jpg")));
        auto* border = page.findChild<BorderPage*>("borderPage");
        border->findChild<QCheckBox*>("enable")->setChecked(true);
        border->applyPreset(1);
        QVERIFY(page.startConversion() && waitForJob(page));
        const Rect frame = page.photoRect();
        QVERIFY(frame.left > 0 && frame.top > 0);
        auto* source = page.findChild<ImageView*>("sourcePane");
        auto* result = page.findChild<ImageView*>("resultPane");
        // One zoom, and the follower's scroll is the leader's moved by the frame, as far as
        // the follower's picture reaches.
        auto reach = [](const ImageView* view, QPoint wanted) {
            const ImageViewModel& model = view->model();
            return QPoint(
                std::clamp(wanted.x(), 0,
                           std::max(0, model.zoomedRect().width() - model.clientWidth())),
                std::clamp(wanted.y(), 0,
                           std::max(0, model.zoomedRect().height() - model.clientHeight())));
        };
        const ImageView* leader = result;
        auto inStep = [&] {
            const QPoint offset(int(std::lround(result->zoom() * frame.left)),
                                int(std::lround(result->zoom() * frame.top)));
            const bool fromSource = leader == source;
            const ImageView* follower = fromSource ? result : source;
            const QPoint wanted = fromSource ? source->scroll() + offset : result->scroll() - offset;
            return result->zoom() == source->zoom() && follower->scroll() == reach(follower, wanted);
        };
        // The conversion's new picture fits its pane, and the source falls in step.
        QVERIFY(inStep());

        page.actualPixels();
        source->setScroll(40, 30, false);
        leader = source;
        QVERIFY(!inStep());
        page.matchPanes();
        QCOMPARE(result->scroll(), QPoint(40 + frame.left, 30 + frame.top));
        QVERIFY(inStep());

        struct Move {
            const char* name;
            const ImageView* leader;
            std::function<void()> run;
        };
        const Move moves[] = {
            {"zoom in on the source", source, [&] { source->zoomIn(QPoint(30, 40)); }},
            {"pan the result", result,
             [&] { result->setScroll(result->scroll().x() + 25, 60, true); }},
            {"zoom out on the result", result, [&] { result->zoomOut(); }},
            {"zoom in twice on the result", result,
             [&] {
                 result->zoomIn();
                 result->zoomIn();
             }},
            {"pan the source", source, [&] { source->setScroll(0, 0, true); }},
            {"narrow the window", result, [&] { page.resize(700, 500); }},
            {"widen the window", result, [&] { page.resize(1200, 700); }},
        };
        for (const auto& [name, moveLeader, move] : moves) {
            leader = moveLeader;
            move();
            QApplication::processEvents();
            QVERIFY2(inStep(), name);
        }
    }

    // The screen gets a picture's colours through its profile; everything else keeps the
    // file's numbers, and a picture without a profile is shown as its numbers.
    void panesShowAPictureThroughItsProfile()
    {
        QTemporaryDir dir;
        const Image chart = reference::patchChart(20);
        PictureMetadata wide;
        wide.icc = reference::adobeRgbProfile();
        const QString profiled = dir.filePath("wide.tif");
        const QString plain = dir.filePath("plain.tif");
        QVERIFY(saveImage(profiled.toStdString(), chart, ImageFormat::Tiff, 1, &wide).ok());
        QVERIFY(saveImage(plain.toStdString(), chart, ImageFormat::Tiff, 1).ok());
        PhotoPage& page = *m_page;
        auto* sourcePane = page.findChild<ImageView*>("sourcePane");
        auto* resultPane = page.findChild<ImageView*>("resultPane");

        QVERIFY(test::openAndWait(page, profiled));
        QVERIFY(reference::largestChannelDifference(page.source(), chart) == 0);
        const Image expected = reference::lcmsSrgbCopy(chart, wide.icc);
        QVERIFY(!expected.isEmpty());
        QVERIFY(reference::largestChannelDifference(expected, chart) > 8);
        const Image* shown = sourcePane->model().picture();
        QVERIFY(shown && shown != &page.source());
        QCOMPARE(sourcePane->picture(), &page.source());
        QVERIFY(reference::largestChannelDifference(*shown, expected) <= 2);
        // What is painted: at actual pixels the pane's centre falls on a patch's edge, half a
        // patch right of it on the patch's middle.
        sourcePane->actualPixels();
        const QImage painted = sourcePane->grab().toImage();
        const QPoint middle = sourcePane->contentsRect().center() + QPoint(10, 0);
        const uint32_t patch = expected.rowFromTop(chart.height() / 2)[chart.width() / 2 + 10];
        QVERIFY(channelDifference(painted.pixel(middle), patch) <= 2);

        QVERIFY(page.startConversion() && waitForJob(page));
        const Image* shownResult = resultPane->model().picture();
        QVERIFY(shownResult && shownResult != &page.result());
        QVERIFY(reference::largestChannelDifference(
                    *shownResult, reference::lcmsSrgbCopy(page.result(), wide.icc)) <= 2);

        // The film strip: each film drawn on the numbers the conversion would give it (the
        // file's, or with "to sRGB" the sRGB ones), shown through the profile they are in.
        const FilmStrip& strip = page.findChild<FilmPage*>()->filmStrip();
        auto stripDrawn = [&] { return QTest::qWaitFor([&] { return !strip.isDrawing(); }, 10000); };
        for (const bool intoSrgb : {false, true}) {
            ConversionSettings look = page.settings();
            look.film.toSrgb = intoSrgb;
            page.setSettings(look);
            QVERIFY(stripDrawn());
            Image numbers = strip.previewSource();
            QVERIFY(!intoSrgb || convertToSrgb(numbers, wide.icc));
            QByteArray failure;
            QVERIFY2(test::stripDrawsFilmsOn(strip, numbers, look.film, failure), failure);
            for (int i = 0; i < strip.previewCount(); ++i) {
                const Image& drawn = strip.preview(i);
                const Image onScreen = intoSrgb ? drawn : reference::lcmsSrgbCopy(drawn, wide.icc);
                QVERIFY2(reference::largestChannelDifference(strip.shownPreview(i), onScreen) <= 2,
                         filmRows()[size_t(i)].cliName);
            }
        }

        QVERIFY(test::openAndWait(page, plain));
        QCOMPARE(sourcePane->model().picture(), &page.source());
        QVERIFY(stripDrawn());
        QCOMPARE(&strip.shownPreview(0), &strip.preview(0));
    }

    void rotateIsRefusedWhileTheHistogramRuns()
    {
        test::MessageCollector messages;
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QStringLiteral(TAVELUNE_SAMPLES_DIR "/coffee.jpg")));
        if (!page.isHistogramCalculating()) {
            QSKIP("the histogram finished before the click could land");
        }
        const int width = page.source().width();
        page.rotatePicture();
        QCOMPARE(page.source().width(), width);
        QCOMPARE(messages.messages().size(), size_t(1));
    }

private:
    test::PrivateSettings m_settings;
    std::unique_ptr<PhotoPage> m_page;
};

QTEST_MAIN(PhotoPageTest)
#include "photo_page_test.moc"
