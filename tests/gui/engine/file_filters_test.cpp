// The file dialogs' filter lists made from the format table, against the lists the dialogs
// have always shown, in each language.
#include "gui/support/file_filters.h"

#include <QTest>
#include <memory>

#include "gui/support/string_table.h"
#include "support/gui_test_support.h"

using namespace tavelune;
using namespace tavelune::gui;

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
                   "所有图像文件 (*.jpg *.jpeg *.tif *.tiff *.gif *.psd *.png *.bmp *.JPG *.JPEG "
                   "*.TIF *.TIFF *.GIF *.PSD *.PNG *.BMP);;JPEG 文件 (*.jpg *.jpeg);;TIFF 文件 "
                   "(*.tif *.tiff);;GIF 文件 (*.gif);;PhotoShop 文件 (*.psd);;PNG 文件 (*.png);;"
                   "BMP 文件 (*.bmp);;所有文件 (*)")
            << QString::fromUtf8(
                   "JPEG 文件 (*.jpg *.jpeg);;TIFF 文件 (*.tif *.tiff);;BMP 文件 (*.bmp)");
        QTest::newRow("zh_TW")
            << QStringLiteral("zh_TW")
            << QString::fromUtf8(
                   "所有影像檔案 (*.jpg *.jpeg *.tif *.tiff *.gif *.psd *.png *.bmp *.JPG *.JPEG "
                   "*.TIF *.TIFF *.GIF *.PSD *.PNG *.BMP);;JPEG 檔案 (*.jpg *.jpeg);;TIFF 檔案 "
                   "(*.tif *.tiff);;GIF 檔案 (*.gif);;PhotoShop 檔案 (*.psd);;PNG 檔案 (*.png);;"
                   "BMP 檔案 (*.bmp);;所有檔案 (*)")
            << QString::fromUtf8(
                   "JPEG 檔案 (*.jpg *.jpeg);;TIFF 檔案 (*.tif *.tiff);;BMP 檔案 (*.bmp)");
        QTest::newRow("en_US")
            << QStringLiteral("en_US")
            << QStringLiteral(
                   "All pictures (*.jpg *.jpeg *.tif *.tiff *.gif *.psd *.png *.bmp *.JPG *.JPEG "
                   "*.TIF *.TIFF *.GIF *.PSD *.PNG *.BMP);;JPEG files (*.jpg *.jpeg);;TIFF files "
                   "(*.tif *.tiff);;GIF files (*.gif);;Photoshop files (*.psd);;PNG files "
                   "(*.png);;BMP files (*.bmp);;All files (*)")
            << QStringLiteral("JPEG files (*.jpg *.jpeg);;TIFF files (*.tif *.tiff);;BMP files "
                              "(*.bmp)");
    }
    void listsMatchEveryLanguage()
    {
        QFETCH(QString, code);
        QFETCH(QString, open);
        QFETCH(QString, save);
        std::unique_ptr<LanguagePack> pack;
        if (!code.isEmpty()) {
            QString error;
            pack.reset(LanguagePack::load(test::buildProgramFolder(), code, &error));
            QVERIFY2(pack, qPrintable(error));
        }
        setActiveLanguagePack(pack.get());
        QCOMPARE(openPictureFilter(), open);
        QCOMPARE(savePictureFilter(), save);
        setActiveLanguagePack(nullptr);
    }

    void overlayListKeepsTheEngineNames()
    {
        QCOMPARE(pictureFileFilter(),
                 QStringLiteral("All Image Files (*.jpg *.jpeg *.tif *.tiff *.gif *.psd *.png "
                                "*.bmp);;JPEG Files (*.jpg *.jpeg);;TIFF Files (*.tif *.tiff);;"
                                "GIF Files (*.gif);;PhotoShop Files (*.psd);;PNG Files (*.png);;"
                                "BMP Files (*.bmp);;All Files (*.*)"));
    }
};

QTEST_MAIN(FileFiltersTest)
#include "file_filters_test.moc"
