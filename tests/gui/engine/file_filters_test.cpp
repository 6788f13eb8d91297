// The file dialogs' filter lists made from the format table, in each language: the kinds
// the dialogs have always shown, then the newer ones, the camera raws as one entry.
#include "gui/support/file_filters.h"

#include <QTest>
#include <memory>

#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

namespace {

// The camera raw kinds share one entry.
const QString kRaw = QStringLiteral(
    "*.dng *.cr2 *.cr3 *.crw *.nef *.nrw *.arw *.srf *.sr2 *.raf *.orf *.rw2 *.rwl *.pef *.srw "
    "*.3fr *.fff *.iiq *.erf *.mef *.mos *.dcr *.kdc *.k25 *.mrw *.x3f");
const QString kNewLower = QStringLiteral("*.webp *.heic *.heif *.hif *.avif ") + kRaw;
const QString kNewUpper = kNewLower.toUpper();

}  // namespace

class FileFiltersTest : public QObject {
    Q_OBJECT
private slots:
    void listsMatchEveryLanguage_data()
    {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QString>("open");
        QTest::addColumn<QString>("save");
        QTest::newRow("zh_CN")
            << QString()
            << QString::fromUtf8(
                   "所有图像文件 (*.jpg *.jpeg *.tif *.tiff *.gif *.psd *.png *.bmp %1 *.JPG *.JPEG "
                   "*.TIF *.TIFF *.GIF *.PSD *.PNG *.BMP %2);;JPEG 文件 (*.jpg *.jpeg);;TIFF 文件 "
                   "(*.tif *.tiff);;GIF 文件 (*.gif);;PhotoShop 文件 (*.psd);;PNG 文件 (*.png);;"
                   "BMP 文件 (*.bmp);;WebP 文件 (*.webp);;HEIF 文件 (*.heic *.heif *.hif);;"
                   "AVIF 文件 (*.avif);;相机 RAW 文件 (%3);;所有文件 (*)")
                   .arg(kNewLower, kNewUpper, kRaw)
            << QString::fromUtf8("JPEG 文件 (*.jpg *.jpeg);;TIFF 文件 (*.tif *.tiff);;PNG 文件 "
                                 "(*.png);;BMP 文件 (*.bmp);;WebP 文件 (*.webp)");
        QTest::newRow("zh_TW")
            << QStringLiteral("zh_TW")
            << QString::fromUtf8(
                   "所有影像檔案 (*.jpg *.jpeg *.tif *.tiff *.gif *.psd *.png *.bmp %1 *.JPG *.JPEG "
                   "*.TIF *.TIFF *.GIF *.PSD *.PNG *.BMP %2);;JPEG 檔案 (*.jpg *.jpeg);;TIFF 檔案 "
                   "(*.tif *.tiff);;GIF 檔案 (*.gif);;PhotoShop 檔案 (*.psd);;PNG 檔案 (*.png);;"
                   "BMP 檔案 (*.bmp);;WebP 檔案 (*.webp);;HEIF 檔案 (*.heic *.heif *.hif);;"
                   "AVIF 檔案 (*.avif);;相機 RAW 檔案 (%3);;所有檔案 (*)")
                   .arg(kNewLower, kNewUpper, kRaw)
            << QString::fromUtf8("JPEG 檔案 (*.jpg *.jpeg);;TIFF 檔案 (*.tif *.tiff);;PNG 檔案 "
                                 "(*.png);;BMP 檔案 (*.bmp);;WebP 檔案 (*.webp)");
        QTest::newRow("en_US")
            << QStringLiteral("en_US")
            << QStringLiteral(
                   "All pictures (*.jpg *.jpeg *.tif *.tiff *.gif *.psd *.png *.bmp %1 *.JPG *.JPEG "
                   "*.TIF *.TIFF *.GIF *.PSD *.PNG *.BMP %2);;JPEG files (*.jpg *.jpeg);;TIFF files "
                   "(*.tif *.tiff);;GIF files (*.gif);;Photoshop files (*.psd);;PNG files "
                   "(*.png);;BMP files (*.bmp);;WebP files (*.webp);;HEIF files (*.heic *.heif "
                   "*.hif);;AVIF files (*.avif);;Camera raw files (%3);;All files (*)")
                   .arg(kNewLower, kNewUpper, kRaw)
            << QStringLiteral("JPEG files (*.jpg *.jpeg);;TIFF files (*.tif *.tiff);;PNG files "
                              "(*.png);;BMP files (*.bmp);;WebP files (*.webp)");
    }
    void listsMatchEveryLanguage()
    {
        QFETCH(QString, code);
        QFETCH(QString, open);
        QFETCH(QString, save);
        const test::ActiveLanguage active(code.isEmpty() ? QStringLiteral("zh_CN") : code);
        QVERIFY2(active.ok(), qPrintable(active.error()));
        QCOMPARE(openPictureFilter(), open);
        QCOMPARE(savePictureFilter(), save);
        // The watermark, mat, batch and index dialogs name the kinds as the open dialog does.
        QCOMPARE(pictureFileFilter(), open);
    }
};

QTEST_MAIN(FileFiltersTest)
#include "file_filters_test.moc"
