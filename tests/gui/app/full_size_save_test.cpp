// Saving at full size from the photo page: the size choice, the replay, cancel, the states.
#include "gui/app/full_size_save.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <chrono>
#include <cmath>
#include <filesystem>
#include <functional>

#include "engine/colour_profile.h"
#include "engine/format_dispatch.h"
#include "engine/photoshop_resources.h"
#include "engine/picture_metadata.h"
#include "exif/exif_data.h"
#include "exif/exif_tags.h"
#include "film/film_previews.h"
#include "gui/app/photo_page.h"
#include "gui/app/save_size_dialog.h"
#include "gui/app/working_picture.h"
#include "gui/controls/image_bridge.h"
#include "gui/engine/image_size_dialog.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"
#include "gui/film/film_page.h"
#include "gui/film/film_strip.h"
#include "gui/histogram/histogram_panel_widget.h"
#include "gui/overlay/border_page.h"
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

// Answers the save flow's dialogs as they come, until it is destroyed.
class DialogDriver {
public:
    bool fullSize = true;
    PrintLengths lengths = PrintLengths::Scaled;
    bool cancelProgress = false;
    bool stripMetadata = false;  // ticks the options dialog's removal box
    QStringList sizeTexts;
    bool sizeDialogShown = false;

    DialogDriver()
    {
        m_timer.setInterval(5);
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start();
    }

private:
    void poll()
    {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            if (!widget->isVisible()) {
                continue;
            }
            if (auto* sizes = qobject_cast<SaveSizeDialog*>(widget)) {
                sizeDialogShown = true;
                for (auto* radio : sizes->findChildren<QRadioButton*>()) {
                    sizeTexts << radio->text();
                }
                QVERIFY(sizes->fullSizeChosen());
                QCOMPARE(sizes->printLengths(), PrintLengths::Scaled);
                sizes->chooseFullSize(fullSize);
                sizes->choosePrintLengths(lengths);
                sizeTexts << sizes->findChild<QRadioButton*>("fullSizeChoice")->text();
                sizes->accept();
            } else if (auto* options = qobject_cast<QDialog*>(widget);
                       options && (qobject_cast<JpegOptionsDialog*>(widget) ||
                                   qobject_cast<TiffOptionsDialog*>(widget))) {
                if (stripMetadata)
                    options->findChild<QCheckBox*>("stripMetadata")->click();
                options->accept();
            } else if (auto* progress = qobject_cast<FullSizeProgressDialog*>(widget)) {
                if (cancelProgress && progress->cancelButton()->isEnabled()) {
                    QTest::mouseClick(progress->cancelButton(), Qt::LeftButton);
                }
            }
        }
    }

    QTimer m_timer;
};

// A photograph three times the working size.
QString writeLargePhoto(const QString& folder, int width, int height)
{
    Image photo;
    if (!openImage(TAVELUNE_SAMPLES_DIR "/coffee.jpg", photo) ||
        !photo.resize(width, height, kBicubic)) {
        return {};
    }
    const QString path = folder + "/large.jpg";
    return saveImage(path.toStdString(), photo, ImageFormat::Jpeg, 92) ? path : QString();
}

double meanDifference(const Image& a, const Image& b)
{
    double sums[3] = {0, 0, 0};
    for (size_t i = 0; i < a.pixelCount(); ++i) {
        for (int c = 0; c < 3; ++c) {
            sums[c] += std::abs(int((a.pixels()[i] >> (8 * c)) & 0xFF) -
                                int((b.pixels()[i] >> (8 * c)) & 0xFF));
        }
    }
    return std::max({sums[0], sums[1], sums[2]}) / double(a.pixelCount());
}

Image reducedTo(const QString& path, const Image& like)
{
    Image full;
    if (!openImage(path.toStdString(), full)) {
        return {};
    }
    full.resize(like.width(), like.height(), kBilinear);
    return full;
}

Image placeholder()
{
    return test::makeGradient(64, 48);
}

}  // namespace

class FullSizeSaveTest : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        m_page = std::make_unique<PhotoPage>(placeholder(), placeholder());
        m_page->resize(1000, 600);
        m_page->show();
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        m_photo = writeLargePhoto(m_dir->path(), 2400, 1600);
        QVERIFY(!m_photo.isEmpty());
    }
    void cleanup() { m_page.reset(); }

    void fullSizeIsTheDefaultAndLooksLikeThePreview()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, m_photo));
        ConversionSettings settings = page.settings();
        settings.border.enabled = true;
        settings.signature.enabled = true;
        settings.signature.text = "Tavelune";
        settings.signature.font.height = -15;
        page.setSettings(settings);
        QVERIFY(apply(page));

        const QString saved = m_dir->path() + "/QX_large.jpg";
        DialogDriver driver;
        QVERIFY(page.saveTo(saved));
        QVERIFY(driver.sizeDialogShown);
        // Both sizes in pixels: the framed preview and the framed original.
        QVERIFY2(driver.sizeTexts.join('|').contains("834") &&
                     driver.sizeTexts.join('|').contains("2502"),
                 qPrintable(driver.sizeTexts.join('|')));
        Image written;
        QVERIFY(openImage(saved.toStdString(), written));
        QCOMPARE(written.width(), 2400 + 6 * 17);
        QCOMPARE(written.height(), 1600 + 3 * 17 + 3 * 32);
        QVERIFY(meanDifference(reducedTo(saved, page.result()), page.result()) < 3.0);
    }

    void keptLengthsKeepTheirPrintSizeAndTheDialogSaysWhichSize()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, m_photo));
        QCOMPARE(page.source().dpi(), 72.0f);
        ConversionSettings settings = page.settings();
        settings.border.enabled = true;
        settings.border.mat = {{5, 5, 10, 10}, 3, false};  // mm
        page.setSettings(settings);
        QVERIFY(apply(page));

        const QString saved = m_dir->path() + "/QX_large.jpg";
        DialogDriver driver;
        driver.lengths = PrintLengths::KeptAtSize;
        QVERIFY(page.saveTo(saved));
        // 5 mm and 10 mm at 72 dpi are 15 and 29 pixels on the working picture and the original
        // alike; grown with the picture they would be three times as wide.
        Image written;
        QVERIFY(openImage(saved.toStdString(), written));
        QCOMPARE(written.width(), 2400 + 2 * 29);
        QCOMPARE(written.height(), 1600 + 2 * 15);
        QCOMPARE(driver.sizeTexts.last(),
                 text(Strings::SaveFullSize).arg(2400 + 2 * 29).arg(1600 + 2 * 15));
        QVERIFY(driver.sizeTexts.join('|').contains(QString::number(2400 + 6 * 29)));
    }

    void turnsAndMirrorsSinceOpeningAreReplayed()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, m_photo));
        QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000));
        auto settled = [&] {
            return QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000);
        };
        page.rotatePicture();
        QVERIFY(settled());
        page.mirrorPicture();
        QVERIFY(settled());
        page.rotatePicture();
        QVERIFY(settled());
        QVERIFY(apply(page));
        const QString saved = m_dir->path() + "/turned.jpg";
        DialogDriver driver;
        QVERIFY(page.saveTo(saved));
        Image written;
        QVERIFY(openImage(saved.toStdString(), written));
        QCOMPARE(written.width(), 2400);  // two quarter turns: landscape again
        const Image& result = page.result();
        const double replayed = meanDifference(reducedTo(saved, result), result);
        Image wrong = reducedTo(saved, result);
        wrong.mirrorHorizontal();
        QVERIFY2(replayed < 5.0 && meanDifference(wrong, result) > 3 * replayed,
                 qPrintable(QString::number(replayed)));
    }

    void cancelLeavesNoFileAndTheWindowUsable()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, m_photo));
        QVERIFY(apply(page));
        const QString saved = m_dir->path() + "/cancelled.jpg";
        {
            DialogDriver driver;
            driver.cancelProgress = true;
            QVERIFY(!page.saveTo(saved));
        }
        QVERIFY(!QFile::exists(saved));
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files).size(), 1);  // only the photograph
        QVERIFY(page.isEnabled() && page.action(PhotoPage::Command::Save)->isEnabled());
        QVERIFY(QApplication::activeModalWidget() == nullptr);
        // Still usable: the working size saves at once.
        DialogDriver driver;
        driver.fullSize = false;
        QVERIFY(page.saveTo(saved));
        Image written;
        QVERIFY(openImage(saved.toStdString(), written));
        QCOMPARE(written.width(), page.result().width());
    }

    void profileXmpAndIptcReachBothSizes()
    {
        // The photograph again, now carrying a two-chunk profile, XMP and IPTC.
        PictureMetadata carried;
        carried.icc.resize(70000);
        for (size_t i = 0; i < carried.icc.size(); ++i) carried.icc[i] = uint8_t(i * 13);
        carried.xmp = "<?xpacket begin='' id='W5M0MpCehiHzreSzNTczkc9d'?><x:xmpmeta "
                      "xmlns:x='adobe:ns:meta/'><rdf:RDF "
                      "xmlns:rdf='http://www.w3.org/1999/02/22-rdf-syntax-ns#'><rdf:Description "
                      "rdf:about='' xmlns:xmp='http://ns.adobe.com/xap/1.0/' "
                      "xmp:Rating='4'/></rdf:RDF></x:xmpmeta><?xpacket end='w'?>";
        const std::vector<uint8_t> iptc{0x1C, 2, 120, 0, 4, 'B', 'o', 'a', 't'};
        QVERIFY(setPhotoshopResource(carried.photoshop, kResourceIptc, iptc));
        Image photo;
        QVERIFY(openImage(m_photo.toStdString(), photo));
        QVERIFY(saveImage(m_photo.toStdString(), photo, ImageFormat::Jpeg, 92, &carried));
        ExifData camera;
        QVERIFY(camera.LoadExif(TAVELUNE_SAMPLES_DIR "/coffee-exif.jpg").ok());
        QVERIFY(camera.SaveExif(m_photo.toStdString()).ok());

        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, m_photo));
        QVERIFY(apply(page));
        for (const bool full : {true, false})
            for (const char* type : {"jpg", "tif"})
                for (const bool strip : {false, true}) {
                    const QString saved = m_dir->path() + QStringLiteral("/%1%2.%3")
                                                              .arg(full ? "full" : "working")
                                                              .arg(strip ? "-bare" : "")
                                                              .arg(type);
                    const QByteArray trace = saved.toUtf8();
                    DialogDriver driver;
                    driver.fullSize = full;
                    driver.stripMetadata = strip;
                    QVERIFY2(page.saveTo(saved), trace);
                    const MetadataRead read = readPictureMetadata(saved.toStdString());
                    QVERIFY2(read.metadata.icc == carried.icc, trace);  // colour, never removed
                    ExifData kept;
                    (void)kept.LoadExif(saved.toStdString());
                    const ExifEntry* make = kept.FindEntry(kIfd0, kTagMake);
                    QVERIFY2((make != nullptr) == !strip, trace);
                    if (strip) {
                        QVERIFY2(read.metadata.xmp.empty() && read.metadata.photoshop.empty(),
                                 trace);
                        continue;
                    }
                    QVERIFY2(kept.FindEntry(kExifIfd, kTagExifVersion), trace);
                    // A TIFF's IPTC tag is padded to whole longs.
                    auto records = photoshopResource(read.metadata.photoshop, kResourceIptc);
                    QVERIFY2(records && records->size() >= iptc.size() &&
                                 records->size() <= ((iptc.size() + 3) & ~std::size_t(3)),
                             trace);
                    records->resize(iptc.size());
                    QVERIFY2(*records == iptc, trace);
                    QVERIFY(read.metadata.xmp.find("Rating>4<") != std::string::npos ||
                            read.metadata.xmp.find("Rating=\"4\"") != std::string::npos);
                    QVERIFY(read.metadata.xmp.find("Tavelune") != std::string::npos);
                }
    }

    // With the film page's sRGB box a CMYK photo's inks go through its own profile, at the
    // working size and at full size, as the command line's --to-srgb reads them; without it
    // through the built-in formula as before. The box counts from the next run, file open.
    void theSrgbBoxReadsACmykPhotoThroughItsProfile()
    {
        const std::string inks = (m_dir->path() + "/inks.jpg").toStdString();
        QVERIFY(reference::writeCmykJpeg(inks, 1200, 900, reference::cmykProfile()));
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QString::fromStdString(inks)));
        // The source pane shows the inks through the profile whatever the box says, and
        // follows the page's turns; the page's numbers stay the formula's.
        Image throughProfile;
        {
            ExifData unused;
            bool through = false;
            (void)openThroughCmykProfile(reference::cmykProfile(), through, inks, throughProfile,
                                         unused, kWorkingSize, true);
            QVERIFY(through);
        }
        auto sourceShownIsThroughProfile = [&] {
            const Image* shown = page.findChild<ImageView*>("sourcePane")->model().picture();
            return shown && reference::largestChannelDifference(*shown, throughProfile) == 0 &&
                   reference::largestChannelDifference(page.source(), throughProfile) > 8;
        };
        QVERIFY(sourceShownIsThroughProfile());
        const std::string look = (m_dir->path() + "/look.txt").toStdString();
        const std::string full = (m_dir->path() + "/full.tif").toStdString();
        const std::string cliOut = (m_dir->path() + "/cli.tif").toStdString();
        auto cliPicture = [&](const QStringList& options) {
            QProcess cli;
            cli.start(QStringLiteral(TAVELUNE_CLI_PATH),
                      QStringList{"convert", "--settings", QString::fromStdString(look)} + options +
                          QStringList{QString::fromStdString(inks), QString::fromStdString(cliOut)});
            Image picture;
            return cli.waitForFinished(60000) && cli.exitCode() == 0 && openImage(cliOut, picture)
                       ? picture
                       : Image();
        };
        Image formula;
        const struct {
            bool toSrgb;
            bool turn;
        } runs[] = {{false, false}, {true, false}, {false, false}, {true, true}};
        for (const auto& run : runs) {
            const QByteArray trace = QByteArray(run.toSrgb ? "sRGB" : "formula") +
                                     (run.turn ? ", turned" : "");
            if (run.turn) {
                QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000));
                page.rotatePicture();
                turnScreenInks(throughProfile, GeometryStep::Rotate);
                QVERIFY(sourceShownIsThroughProfile());
            }
            ConversionSettings settings = page.settings();
            settings.film.toSrgb = run.toSrgb;
            page.setSettings(settings);
            // The film strip redraws with the box: on it, from the inks as the result pane,
            // shown as they are; off it, from the formula's numbers as before.
            const FilmStrip& strip = page.findChild<FilmPage*>()->filmStrip();
            Image stripNumbers;
            QVERIFY(filmPreviewSource(throughProfile, FilmStrip::kPreviewSide, stripNumbers));
            QByteArray failure;
            QVERIFY2(
                test::stripDrawsFilmsOn(strip, run.toSrgb ? stripNumbers : strip.previewSource(),
                                        settings.film, failure),
                trace + ": " + failure);
            QVERIFY2(!run.toSrgb || &strip.shownPreview(0) == &strip.preview(0), trace);
            QVERIFY2(apply(page), trace);
            std::string reason;
            QVERIFY(saveSettingsFile(look, page.settings(), reason));
            const QStringList turn = run.turn ? QStringList{"--rotate", "90"} : QStringList();
            const Image working = cliPicture(QStringList{"--fit", "800"} + turn);
            const Image original = cliPicture(turn);
            QVERIFY2(!working.isEmpty() && !original.isEmpty(), trace);
            const int tolerance = run.toSrgb ? 1 : 0;
            QVERIFY2(reference::largestChannelDifference(page.result(), working) <= tolerance,
                     trace);
            {
                DialogDriver driver;
                QVERIFY2(page.saveTo(QString::fromStdString(full)), trace);
            }
            Image saved;
            QVERIFY2(openImage(full, saved).ok(), trace);
            QVERIFY2(reference::largestChannelDifference(saved, original) <= tolerance, trace);
            // An RGB file never carries the inks' profile; through it, the numbers are sRGB.
            const std::vector<uint8_t> tag = readPictureMetadata(full).metadata.icc;
            QVERIFY2(tag == (run.toSrgb ? srgbProfile() : std::vector<uint8_t>()), trace);
            if (run.turn)
                continue;
            if (formula.isEmpty())
                formula = page.result();
            QVERIFY2((reference::largestChannelDifference(page.result(), formula) > 8) ==
                         run.toSrgb,
                     trace);
        }
    }

    // The sRGB box's first run takes the inks the page read at the open, and a file written
    // since is read again: told apart by contents changed behind an unchanged stamp.
    void theSrgbRunTakesTheInksReadAtTheOpenUntilTheFileIsWritten()
    {
        const std::string path = (m_dir->path() + "/stamped.jpg").toStdString();
        QVERIFY(reference::writeCmykJpeg(path, 1200, 900, reference::cmykProfile()));
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, QString::fromStdString(path)));
        ConversionSettings settings = page.settings();
        settings.film.toSrgb = true;
        page.setSettings(settings);

        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray photo = file.readAll();
        file.close();
        const auto stamp = std::filesystem::last_write_time(path);
        auto rewrite = [&](const QByteArray& bytes, std::filesystem::file_time_type written) {
            QFile out(QString::fromStdString(path));
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
                out.write(bytes) != bytes.size())
                return false;
            out.close();
            std::error_code failed;
            std::filesystem::last_write_time(path, written, failed);
            return !failed;
        };
        const QByteArray noise(photo.size(), '\x5a');
        QVERIFY(rewrite(noise, stamp));
        QVERIFY(apply(page));
        const Image fromOpen = page.result();

        QVERIFY(rewrite(photo, stamp + std::chrono::seconds(2)));
        QVERIFY(apply(page));
        QCOMPARE(reference::largestChannelDifference(page.result(), fromOpen), 0);
        QVERIFY(rewrite(noise, stamp + std::chrono::seconds(4)));
        QVERIFY(apply(page));
        QVERIFY(reference::largestChannelDifference(page.result(), fromOpen) > 8);
    }

    void onlyAnUntouchedLargerOriginalOffersFullSize()
    {
        PhotoPage& page = *m_page;
        QVERIFY(test::openAndWait(page, m_photo));
        QVERIFY(page.geometry().hasFullSize());
        QCOMPARE(page.geometry().fullWidth(), 2400);

        // Resampled in the size dialog: the original no longer matches.
        QVERIFY(QTest::qWaitFor([&] { return !page.isHistogramCalculating(); }, 5000));
        QTimer::singleShot(0, [] {
            auto* dialog = qobject_cast<ImageSizeDialog*>(QApplication::activeModalWidget());
            QVERIFY(dialog);
            QLineEdit* width = dialog->edit(SizeField::PixelWidth);
            width->setFocus();
            width->selectAll();
            QTest::keyClicks(width, "400");
            dialog->accept();
        });
        page.resizePicture();
        QCOMPARE(page.source().width(), 400);
        QVERIFY(!page.geometry().hasFullSize());
        QVERIFY(apply(page));
        {
            DialogDriver driver;
            QVERIFY(page.saveTo(m_dir->path() + "/resized.jpg"));
            QVERIFY(!driver.sizeDialogShown);
        }

        // A picture at or below the working size, and a pasted one, have no larger original.
        QVERIFY(test::openAndWait(page, TAVELUNE_SAMPLES_DIR "/coffee.jpg"));
        QVERIFY(!page.geometry().hasFullSize());
        QVERIFY(test::openAndWait(page, m_photo));
        QApplication::clipboard()->setImage(toQImage(test::makeGradient(1600, 1000)));
        page.pastePicture();
        QCOMPARE(page.source().width(), 800);
        QVERIFY(!page.geometry().hasFullSize());
    }

private:
    static bool apply(PhotoPage& page)
    {
        return page.startConversion() &&
               QTest::qWaitFor([&] { return !page.isConverting(); }, 20000) &&
               page.action(PhotoPage::Command::Save)->isEnabled();
    }

    std::unique_ptr<PhotoPage> m_page;
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_photo;
};

QTEST_MAIN(FullSizeSaveTest)
#include "full_size_save_test.moc"
