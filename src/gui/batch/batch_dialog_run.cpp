// The batch dialog's run: the checks before it, the overwrite question, progress and summary.
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>

#include "engine/fit_within.h"
#include "engine/format_number.h"
#include "film/film_step.h"
#include "gui/batch/batch_dialog.h"
#include "gui/batch/batch_reason_text.h"
#include "gui/batch/batch_runner.h"
#include "gui/controls/message_box.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"
#include "gui/engine/webp_options_dialog.h"
#include "gui/support/app_settings.h"
#include "gui/support/string_table.h"
#include "gui/tabs/setting_tabs.h"
#include "job/batch_tally.h"
#include "job/output_folder.h"

namespace tavelune::gui {

namespace {

constexpr int kWorkingSize = 800;
// Enough names for the user to recognise the files the question is about.
constexpr size_t kNamesInQuestion = 5;

QByteArray utf8(const QString& value)
{
    return value.toUtf8();
}

QString fileNameOf(const std::string& path)
{
    return QFileInfo(QFile::decodeName(path.c_str())).fileName();
}

// The first few output names of the files at indices, for a question about them.
QString someNames(const std::vector<std::string>& files, const std::vector<size_t>& indices,
                  const BatchSettings& settings)
{
    QStringList names;
    for (size_t i = 0; i < indices.size() && i < kNamesInQuestion; ++i) {
        names << fileNameOf(batchOutputPath(files[indices[i]], settings));
    }
    if (indices.size() > kNamesInQuestion) {
        names << QStringLiteral("...");
    }
    return names.join('\n');
}

}  // namespace

bool BatchDialog::isRunning() const
{
    return m_runner && m_runner->isRunning();
}

BatchSettings BatchDialog::runSettings() const
{
    BatchSettings settings;
    ConversionSettings& job = settings.conversion.job;
    job = m_tabs->settings();
    job.tags.userName = AppSettings::userName().toStdString();
    job.tags.language = activeLanguageCode().toStdString();
    settings.type = chosenType();
    settings.conversion.quality = m_jpegOptions->quality();
    settings.conversion.compression = m_tiffOptions->compression();
    settings.conversion.webpQuality = m_webpOptions->quality();
    settings.conversion.lossless = m_webpOptions->lossless();
    // The boxes of the dialog the chosen type shows; BMP and PNG carry no metadata choice.
    const bool tiff = settings.type == ImageFormat::Tiff;
    settings.conversion.keepExif = settings.type == ImageFormat::Webp ? m_webpOptions->keepExif()
                                   : tiff ? m_tiffOptions->keepExif()
                                          : m_jpegOptions->keepExif();
    settings.conversion.stripMetadata =
        tiff ? m_tiffOptions->stripMetadata() : m_jpegOptions->stripMetadata();
    settings.conversion.fit = m_reduce->isChecked() ? kWorkingSize : 0;
    settings.conversion.orient = true;
    // Lengths chosen on the preview keep their share of each picture's width, as the run
    // sees it (reduced when asked).
    if (m_scaleLengths->isChecked() && !m_preview.isEmpty()) {
        int width = m_preview.width();
        int height = m_preview.height();
        if (settings.conversion.fit > 0) {
            fitWithinSize(m_preview.width(), m_preview.height(), settings.conversion.fit, width,
                          height);
        }
        settings.conversion.scaleFrom = width;
    }
    settings.outputFolder = QFile::encodeName(m_folder->text().trimmed()).toStdString();
    settings.prefix = QFile::encodeName(m_prefix->text()).toStdString();
    settings.jobs = m_jobs;
    return settings;
}

bool BatchDialog::startRun()
{
    if (isRunning()) {
        return false;
    }
    if (m_list->rowCount() == 0) {
        showMessageBox(this, text(Strings::EmptyFileList), QMessageBox::Warning);
        return false;
    }
    const QString folderText = m_folder->text().trimmed();
    if (folderText.isEmpty()) {
        showMessageBox(this, text(Strings::NoOutputFolder), QMessageBox::Warning);
        m_folder->setFocus();
        return false;
    }
    // A separator in the prefix would write outside the chosen folder.
    if (m_prefix->text().contains(QLatin1Char('/'))) {
        showMessageBox(this, text(Strings::BatchBadPrefix), QMessageBox::Warning);
        m_prefix->setFocus();
        return false;
    }
    if (!lengthsReferenceReady()) {
        return false;
    }
    const QString folder = QFileInfo(folderText).absoluteFilePath();
    if (!outputFolderReady(folder)) {
        m_folder->setFocus();
        return false;
    }
    BatchSettings settings = runSettings();
    settings.outputFolder = QFile::encodeName(folder).toStdString();
    if (settings.conversion.job.film.enabled &&
        !hasFilmRecipe(settings.conversion.job.film.filmType)) {
        showMessageBox(this, text(Strings::BatchNoRecipe), QMessageBox::Warning);
        return false;
    }
    m_runFiles = listedFiles();
    std::vector<std::string> files;
    for (const QString& file : m_runFiles) {
        files.push_back(QFile::encodeName(file).toStdString());
    }
    if (const std::vector<size_t> replacing = batchOutputsReplacingInputs(files, settings);
        !replacing.empty()) {
        showMessageBox(this,
                       QString::asprintf(utf8(text(Strings::BatchReplacesSource)).constData(),
                                         int(replacing.size()),
                                         utf8(someNames(files, replacing, settings)).constData()),
                       QMessageBox::Warning);
        return false;
    }
    if (!confirmOverwrite(files, settings)) {
        return false;
    }
    m_tally = std::make_unique<BatchTally>(files.size());
    if (!m_runner->start(std::move(files), settings)) {
        showMessageBox(this, QStringLiteral("Failed to create thread"), QMessageBox::Critical);
        return false;
    }
    m_clock.start();
    m_log->clear();
    m_runBar->setValue(0);
    m_fileBar->setRange(0, 100);
    m_fileBar->setValue(0);
    setRunning(true);
    return true;
}

bool BatchDialog::lengthsReferenceReady()
{
    if (!m_scaleLengths->isChecked() || !m_preview.isEmpty()) {
        return true;
    }
    // Without a chosen picture the first one is the reference, shown so the user sees which.
    m_list->setCurrentCell(0, 0);
    if (m_preview.isEmpty()) {
        previewRow(0);
    }
    if (m_preview.isEmpty()) {
        showMessageBox(this, text(Strings::BatchScaleNeedsPreview), QMessageBox::Warning);
        return false;
    }
    return true;
}

bool BatchDialog::outputFolderReady(const QString& folder)
{
    // Checked before the first file: a run into a folder it cannot write would fail every
    // file with a message that blames the pictures.
    const std::string path = QFile::encodeName(folder).toStdString();
    Status<OutputFolderError> ready = checkOutputFolder(path);
    if (!ready && ready.code() == OutputFolderError::Missing) {
        const QMessageBox::StandardButton answer =
            askQuestion(this, text(Strings::BatchCreateFolderQuestion).arg(folder),
                        QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
        if (answer != QMessageBox::Yes) {
            return false;
        }
        ready = createOutputFolder(path);
        if (!ready) {
            showMessageBox(this,
                           QString::asprintf(utf8(text(Strings::BatchCannotCreateFolder)).constData(),
                                             utf8(folder).constData()) +
                               QStringLiteral("\n\n") + QString::fromStdString(ready.detail()),
                           QMessageBox::Warning);
            return false;
        }
    }
    if (!ready) {
        const QString reason = ready.code() == OutputFolderError::NotAFolder
                                   ? text(Strings::BatchFolderNotAFolder)
                                   : text(Strings::BatchFolderNotWritable);
        showMessageBox(this,
                       text(Strings::BatchFolderUnusable)
                           .arg(folder, reason, QString::fromStdString(ready.detail())),
                       QMessageBox::Warning);
        return false;
    }
    return true;
}

bool BatchDialog::confirmOverwrite(const std::vector<std::string>& files, BatchSettings& settings)
{
    const std::vector<size_t> existing = existingBatchOutputs(files, settings);
    settings.overwrite = false;
    if (existing.empty()) {
        return true;
    }
    const QString question = QString::asprintf(
        utf8(text(Strings::BatchOverwriteQuestion)).constData(), int(existing.size()),
        utf8(someNames(files, existing, settings)).constData());
    const QMessageBox::StandardButton answer =
        askQuestion(this, question, QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel,
                    QMessageBox::No, QMessageBox::Question,
                    {{QMessageBox::Yes, text(Strings::BatchReplaceAll)},
                     {QMessageBox::No, text(Strings::BatchSkipExisting)},
                     {QMessageBox::Cancel, text(Strings::BatchCancel)}});
    if (answer == QMessageBox::Yes) {
        settings.overwrite = true;
        return true;
    }
    return answer == QMessageBox::No;
}

void BatchDialog::cancelRun()
{
    if (!isRunning()) {
        return;
    }
    m_runner->cancel();
    m_cancelButton->setEnabled(false);
    m_status->setText(text(Strings::BatchCancelling));
}

void BatchDialog::setRunning(bool running)
{
    for (QWidget* widget : m_lockedDuringRun) {
        widget->setEnabled(!running);
    }
    m_cancelButton->setEnabled(running);
    if (!running) {
        typeChanged();
    }
}

void BatchDialog::onFileStarted(int index)
{
    if (!m_tally) {
        return;
    }
    m_tally->fileStarted(size_t(index));
    if (!m_runner->isCancelling()) {
        m_status->setText(QString::asprintf(
            utf8(text(Strings::BatchFileOfFiles)).constData(), index + 1, int(m_tally->fileCount()),
            utf8(QFileInfo(m_runFiles.value(index)).fileName()).constData()));
    }
    showRunProgress();
}

void BatchDialog::onFileProgress(int index, int percent)
{
    if (!m_tally) {
        return;
    }
    m_tally->fileProgress(size_t(index), percent);
    showRunProgress();
}

void BatchDialog::onFileFinished(int index, const BatchFileResult& result)
{
    if (!m_tally) {
        return;
    }
    m_tally->fileFinished(size_t(index), result);
    const QString name = QFileInfo(m_runFiles.value(index)).fileName();
    if (result.status == BatchFileStatus::Failed) {
        auto* item =
            new QListWidgetItem(text(Strings::CouldNotProcess) + QStringLiteral(": ") + name +
                                QStringLiteral(" — ") + batchReasonText(result.reason));
        item->setForeground(QColor(0xb0, 0x1c, 0x1c));
        item->setToolTip(m_runFiles.value(index));
        addToLog(index, item);
    } else if (result.status == BatchFileStatus::Skipped) {
        auto* item = new QListWidgetItem(text(Strings::BatchSkipped) + QStringLiteral(": ") + name +
                                         QStringLiteral(" — ") + text(Strings::BatchSkippedReason));
        item->setToolTip(m_runFiles.value(index));
        addToLog(index, item);
    }
    showRunProgress();
}

void BatchDialog::addToLog(int index, QListWidgetItem* item)
{
    // Files finish in any order on several workers; the log reads in the list's order.
    item->setData(Qt::UserRole, index);
    int at = m_log->count();
    while (at > 0 && m_log->item(at - 1)->data(Qt::UserRole).toInt() > index) {
        --at;
    }
    m_log->insertItem(at, item);
    m_log->scrollToItem(item);
}

void BatchDialog::showRunProgress()
{
    m_runBar->setValue(m_tally->overallPercent());
    m_fileBar->setValue(m_tally->currentPercent());
}

void BatchDialog::onRunFinished()
{
    const std::string seconds = formatNumber(double(m_clock.elapsed()) / 1000.0, 1);
    const BatchTally& tally = *m_tally;
    QString summary;
    if (tally.notProcessed() > 0) {
        summary = QString::asprintf(
            utf8(text(Strings::BatchCancelled)).constData(), int(tally.converted()),
            int(tally.skipped()), int(tally.failed()), int(tally.notProcessed()), seconds.c_str());
    } else {
        summary =
            QString::asprintf(utf8(text(Strings::BatchDone)).constData(), int(tally.converted()),
                              int(tally.skipped()), int(tally.failed()), seconds.c_str());
    }
    m_status->setText(summary);
    m_runBar->setValue(tally.notProcessed() > 0 ? tally.overallPercent() : 100);
    setRunning(false);
    emit runFinished();
}

void BatchDialog::reject()
{
    if (isRunning()) {
        showMessageBox(this, text(Strings::BatchStillRunning));
        return;
    }
    QDialog::reject();
}

void BatchDialog::closeEvent(QCloseEvent* event)
{
    if (isRunning()) {
        event->ignore();
        showMessageBox(this, text(Strings::BatchStillRunning));
        return;
    }
    QDialog::closeEvent(event);
}

}  // namespace tavelune::gui
