// The save path of the main window, from the file dialog to the written file.
#include "gui/app/save_result.h"

#include <QFileDialog>
#include <QFileInfo>

#include "engine/format_dispatch.h"
#include "engine/image.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "exif/keep_exif.h"
#include "gui/app/app_settings.h"
#include "gui/app/string_table.h"
#include "gui/controls/message_box.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"

namespace tavelune::gui {

namespace {

// Texts ids of this file.
constexpr int kNoConversion = 60100;
constexpr int kUnsupportedFormat = 60101;
constexpr int kSaveFailed = 60102;
constexpr int kSaveFilter = 60103;
constexpr int kSaveCaption = 60104;

// The rewritten copy the kept EXIF goes through, so the page's model stays as loaded.
void copyEntries(const ExifData& from, ExifData& to)
{
    to.Clear();
    for (const auto& entry : from.entries()) {
        to.entries().push_back(std::make_unique<ExifEntry>(*entry));
    }
}

}  // namespace

QString proposedSaveName(const QString& sourceFile)
{
    return QStringLiteral("QX_") + (sourceFile.isEmpty() ? QString() : QFileInfo(sourceFile).fileName());
}

bool saveResultWithDialog(QWidget* parent, const Image& result, const ExifData* exif,
                          const QString& sourceFile)
{
    if (result.isEmpty()) {
        showMessageBox(parent, text(kNoConversion));
        return false;
    }
    QFileDialog dialog(parent, text(kSaveCaption), AppSettings::lastFolder("save"), text(kSaveFilter));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.selectFile(proposedSaveName(sourceFile));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QString path = dialog.selectedFiles().first();
    AppSettings::setLastFolder("save", QFileInfo(path).absolutePath());
    return saveResultTo(parent, result, exif, path);
}

bool saveResultTo(QWidget* parent, const Image& result, const ExifData* exif, const QString& path)
{
    if (result.isEmpty()) {
        showMessageBox(parent, text(kNoConversion));
        return false;
    }
    const QString extension = QFileInfo(path).suffix().toLower();
    const std::string file = QFile::encodeName(path).toStdString();
    bool saved = false;
    if (extension == QLatin1String("jpg") || extension == QLatin1String("jpeg")) {
        JpegOptionsDialog dialog(parent);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        saved = saveImage(file, result, "JPG", dialog.quality());
        if (saved && dialog.keepExif() && exif && !exif->IsEmpty()) {
            ExifData kept;
            copyEntries(*exif, kept);
            saved = writeKeptExif(kept, file);
        }
    } else if (extension == QLatin1String("tif") || extension == QLatin1String("tiff")) {
        TiffOptionsDialog dialog(parent);
        if (dialog.exec() != QDialog::Accepted) {
            return false;
        }
        saved = saveImage(file, result, "TIF", dialog.compression());
    } else if (extension == QLatin1String("bmp")) {
        saved = saveImage(file, result, "BMP");
    } else {
        showMessageBox(parent, text(kUnsupportedFormat));
        return false;
    }
    if (!saved) {
        showMessageBox(parent, text(kSaveFailed).arg(path), QMessageBox::Warning);
    }
    return saved;
}

}  // namespace tavelune::gui
