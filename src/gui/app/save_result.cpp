// The save path of the main window, from the file dialog to the written file.
#include "gui/app/save_result.h"

#include <QFileDialog>
#include <QFileInfo>
#include <optional>

#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image.h"
#include "exif/exif_data.h"
#include "exif/exif_entry.h"
#include "exif/keep_exif.h"
#include "gui/app/full_size_save.h"
#include "gui/app/save_size_dialog.h"
#include "gui/controls/message_box.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"
#include "gui/engine/webp_options_dialog.h"
#include "gui/support/app_settings.h"
#include "gui/support/file_filters.h"
#include "gui/support/shown_boxes.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

namespace {

// The rewritten copy the kept EXIF goes through, so the page's model stays as loaded.
void copyEntries(const ExifData& from, ExifData& to)
{
    to.Clear();
    for (const auto& entry : from.entries()) {
        to.entries().push_back(std::make_unique<ExifEntry>(*entry));
    }
}

// The format's options dialog; nothing when it was cancelled. BMP and PNG have none.
std::optional<FullSizeOutput> askFormatOptions(QWidget* parent, ImageFormat format)
{
    if (format == ImageFormat::Jpeg) {
        JpegOptionsDialog dialog(parent);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return FullSizeOutput{ImageFormat::Jpeg, dialog.quality(), dialog.keepExif(),
                              dialog.stripMetadata()};
    }
    if (format == ImageFormat::Tiff) {
        TiffOptionsDialog dialog(parent);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return FullSizeOutput{ImageFormat::Tiff, dialog.compression(), dialog.keepExif(),
                              dialog.stripMetadata()};
    }
    if (format == ImageFormat::Webp) {
        WebpOptionsDialog dialog(parent);
        if (dialog.exec() != QDialog::Accepted) {
            return std::nullopt;
        }
        return FullSizeOutput{ImageFormat::Webp, dialog.codecOptions(), dialog.keepExif()};
    }
    return FullSizeOutput{format, 0, false};
}

}  // namespace

QString proposedSaveName(const QString& sourceFile)
{
    return QStringLiteral("QX_") +
           (sourceFile.isEmpty() ? QString() : QFileInfo(sourceFile).fileName());
}

bool saveResultWithDialog(QWidget* parent, const Image& result, const ExifData* exif,
                          const QString& sourceFile, const FullSizeJob* fullSize)
{
    if (result.isEmpty()) {
        showMessageBox(parent, text(Strings::NoConversion));
        return false;
    }
    QFileDialog dialog(parent, text(Strings::SaveCaption),
                       AppSettings::startFolder("save", sourceFile), savePictureFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    dialog.selectFile(proposedSaveName(sourceFile));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) {
        return false;
    }
    const QString path = dialog.selectedFiles().first();
    AppSettings::setLastFolder("save", QFileInfo(path).absolutePath());
    return saveResultTo(parent, result, exif, path, fullSize);
}

bool saveResultTo(QWidget* parent, const Image& result, const ExifData* exif, const QString& path,
                  const FullSizeJob* fullSize)
{
    if (result.isEmpty()) {
        showMessageBox(parent, text(Strings::NoConversion));
        return false;
    }
    const FormatRow* format = findFormat(QFileInfo(path).suffix().toStdString());
    const std::string file = QFile::encodeName(path).toStdString();
    if (!format || !format->writes) {
        showMessageBox(parent, text(Strings::UnsupportedSaveFormat));
        return false;
    }
    bool full = false;
    FullSizeJob job = fullSize ? *fullSize : FullSizeJob();
    if (fullSize && fullSize->geometry.hasFullSize()) {
        const Rect size = fullSizeOutputSize(job);
        job.printLengths = PrintLengths::KeptAtSize;
        const Rect keptSize = fullSizeOutputSize(job);
        SaveSizeDialog sizes(QSize(result.width(), result.height()), QSize(size.right, size.bottom),
                             QSize(keptSize.right, keptSize.bottom), parent);
        if (sizes.exec() != QDialog::Accepted) {
            return false;
        }
        full = sizes.fullSizeChosen();
        job.printLengths = sizes.printLengths();
    }
    const std::optional<FullSizeOutput> how = askFormatOptions(parent, format->format);
    if (!how) {
        return false;
    }
    if (full) {
        return saveFullSizeWithProgress(parent, job, file, *how) == FullSizeOutcome::Saved;
    }
    const std::optional<PictureMetadata> metadata =
        fullSize ? fullSizeMetadata(*fullSize, *how, result.width(), result.height()) : std::nullopt;
    const ImageStatus written =
        saveImage(file, result, how->format, how->options, metadata ? &*metadata : nullptr);
    showNotices(imageNotices(written));
    bool saved = written.ok();
    if (saved && how->keepExif && !how->stripMetadata && exif && !exif->IsEmpty()) {
        ExifData kept;
        copyEntries(*exif, kept);
        saved = writeKeptExif(kept, file, result);
        showNotices(exifNotices(kept.warnings()));
    }
    if (!saved) {
        showMessageBox(parent, text(Strings::SaveFailed).arg(path), QMessageBox::Warning);
    }
    return saved;
}

}  // namespace tavelune::gui
