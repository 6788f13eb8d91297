// The single-picture page: layout, the state of its buttons, and the hand-offs between parts.
#include "gui/app/photo_page.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QVBoxLayout>

#include "film/film_registry.h"
#include "film/film_step.h"
#include "gui/app/conversion_runner.h"
#include "gui/app/page_button_row.h"
#include "gui/app/page_info_column.h"
#include "gui/app/page_status.h"
#include "gui/app/pane_pair.h"
#include "gui/app/result_loupe.h"
#include "gui/app/save_result.h"
#include "gui/controls/image_bridge.h"
#include "gui/controls/message_box.h"
#include "gui/engine/image_size_dialog.h"
#include "gui/exif/exif_editor_dialog.h"
#include "gui/exif/exif_list_widget.h"
#include "gui/histogram/histogram_panel_widget.h"
#include "gui/support/app_settings.h"
#include "gui/support/background_job.h"
#include "gui/support/file_filters.h"
#include "gui/support/string_table.h"
#include "gui/tabs/setting_tabs.h"
#include "gui/view/compare_window.h"
#include "gui/view/image_view.h"
#include "view/display_colour.h"

namespace tavelune::gui {

namespace {

QString localPath(const QString& path)
{
    return QFileInfo(path).absoluteFilePath();
}

}  // namespace

PhotoPage::PhotoPage(Image leftPlaceholder, Image rightPlaceholder, QWidget* parent)
    : QWidget(parent),
      m_leftPlaceholder(std::move(leftPlaceholder)),
      m_rightPlaceholder(std::move(rightPlaceholder)),
      m_exif(std::make_unique<ExifData>()),
      m_runner(new ConversionRunner(this)),
      m_openJob(new BackgroundJob(this))
{
    setAcceptDrops(true);

    m_sourceView = new ImageView(this);
    m_resultView = new ImageView(this);
    m_sourceView->setObjectName("sourcePane");
    m_resultView->setObjectName("resultPane");
    m_sourceView->setPasteEnabled(true);
    m_sourceView->setCopyEnabled(true);
    m_resultView->setCopyEnabled(true);
    m_sourceView->setPlaceholder(m_leftPlaceholder);
    m_resultView->setPlaceholder(m_rightPlaceholder);
    connect(m_sourceView, &ImageView::pasteRequested, this, &PhotoPage::pastePicture);
    m_panes = new PanePair(m_sourceView, m_resultView, this);

    m_tabs = new SettingTabs(this);
    m_tabs->setTagPictureSource([this] {
        return TagPicture{m_source.isEmpty() ? nullptr : &m_source, m_exif.get()};
    });
    m_commands = std::make_unique<PageCommands>(this, [this](Command command) { run(command); });
    m_loupe = new ResultLoupe(m_resultView, action(Command::Loupe));

    auto* panes = new QHBoxLayout;
    panes->setContentsMargins(1, 0, 0, 0);
    panes->setSpacing(2);
    panes->addWidget(m_sourceView, 1);
    panes->addWidget(m_resultView, 1);

    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(2);
    left->addLayout(panes, 1);
    auto* buttons = new PageButtonRow(*m_commands, this);
    m_progress = buttons->progressBar();
    left->addWidget(buttons);
    left->addWidget(m_tabs);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(left, 1);
    auto* info = new PageInfoColumn(action(Command::EditExif), this);
    m_panel = info->panel();
    m_exifList = info->exifList();
    layout->addWidget(info);

    connect(m_runner, &ConversionRunner::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_runner, &ConversionRunner::finished, this, &PhotoPage::conversionFinished);

    refreshPage();
    restartHistogram();
}

PhotoPage::~PhotoPage()
{
    m_panel->stopCalculation();
    m_runner->wait();
    m_openJob->wait();
}

void PhotoPage::run(Command command)
{
    switch (command) {
        case Command::Open:
            return openWithDialog();
        case Command::Save:
            return saveWithDialog();
        case Command::Apply:
            (void)startConversion();
            return;
        case Command::Rotate:
            return rotatePicture();
        case Command::Mirror:
            return mirrorPicture();
        case Command::Flip:
            return flipPicture();
        case Command::Close:
            return closePicture();
        case Command::PictureSize:
            return resizePicture();
        case Command::EditExif:
            return editExif();
        case Command::ActualPixels:
            return actualPixels();
        case Command::FitWindow:
            return fitWindow();
        case Command::MatchPanes:
            return matchPanes();
        case Command::FullScreen:
            return showCompare();
        case Command::Copy:
            return copyResult();
        case Command::Paste:
            return pastePicture();
        case Command::Loupe:
            return;  // ResultLoupe follows its toggle
    }
}

QAction* PhotoPage::action(Command command) const
{
    return m_commands->action(command);
}

Rect PhotoPage::photoRect() const
{
    return m_panes->photoRect();
}

ConversionSettings PhotoPage::settings() const
{
    return m_tabs->settings();
}

void PhotoPage::setSettings(const ConversionSettings& settings)
{
    m_tabs->setSettings(settings);
}

int PhotoPage::progress() const
{
    return m_progress->value();
}

bool PhotoPage::isHistogramCalculating() const
{
    return m_panel->isCalculating();
}

bool PhotoPage::isConverting() const
{
    return m_runner->isRunning();
}

bool PhotoPage::isBusy() const
{
    return m_loading || m_runner->isRunning();
}

void PhotoPage::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    painter.setPen(QColor(48, 48, 48));
    painter.drawLine(0, 0, 0, height() - 1);
}

void PhotoPage::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && isEnabled()) {
        event->acceptProposedAction();
    }
}

void PhotoPage::dropEvent(QDropEvent* event)
{
    if (openDropped(event->mimeData())) {
        event->acceptProposedAction();
    }
}

bool PhotoPage::openDropped(const QMimeData* mime)
{
    if (!isEnabled()) {
        return false;
    }
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            openPicture(url.toLocalFile());
            return true;
        }
    }
    return false;
}

void PhotoPage::openWithDialog()
{
    const QString path = QFileDialog::getOpenFileName(
        this, text(Strings::OpenCaption), AppSettings::startFolder("open", m_fileName),
        openPictureFilter(), nullptr, QFileDialog::ReadOnly);
    if (path.isEmpty()) {
        return;
    }
    AppSettings::setLastFolder("open", QFileInfo(path).absolutePath());
    openPicture(path);
}

bool PhotoPage::openPicture(const QString& path)
{
    if (isBusy()) {
        return false;
    }
    m_panel->stopCalculation();
    // A large photograph takes a while to decode: a worker decodes it while the page waits,
    // disabled, so nothing can change meanwhile.
    const QString local = localPath(path);
    const std::string file = QFile::encodeName(local).toStdString();
    m_loading = true;
    setBusy(true);
    m_openJob->start<OpenedPicture>([file](JobControl&) { return readWorkingPicture(file); },
                                    [this, path, local](OpenedPicture opened) {
                                        openFinished(path, local, std::move(opened));
                                    });
    return true;
}

void PhotoPage::openFinished(const QString& path, const QString& local, OpenedPicture opened)
{
    m_loading = false;
    setBusy(false);
    showOpenBoxes(this, path, opened);
    if (!opened.ok) {
        // A file that does not open changes nothing: the picture, its EXIF and the result
        // that were there stay, and so does what the status line says about them.
        restartHistogram();
        updateStatus();
        emit pictureOpened(false);
        return;
    }
    m_result = Image();
    // Only a reduced picture has a larger original worth converting again.
    const Rect fullSize = opened.fullSize;
    const bool reduced =
        fullSize.right > opened.picture.width() || fullSize.bottom > opened.picture.height();
    m_geometry = reduced ? GeometryRecord(fullSize.right, fullSize.bottom) : GeometryRecord();
    m_source = std::move(opened.picture);
    m_fileName = local;
    m_metadata = std::move(opened.metadata);
    m_sourceShown = std::move(opened.shown);
    m_sourceInks = std::move(opened.inks);
    m_inksRead = std::move(opened.inksRead);
    replaceExif(std::move(opened.exif));
    refreshPage(true);
    m_exifList->fillExifList(m_exif.get());
    restartHistogram();
    emit fileNameChanged(m_fileName);
    emit pictureOpened(true);
}

void PhotoPage::pastePicture()
{
    if (isConverting()) {
        return;
    }
    // Files copied in a file manager come as their names: opened as a drop would open them.
    if (const QMimeData* mime = QApplication::clipboard()->mimeData();
        mime && mime->hasUrls() && !mime->hasImage() && openDropped(mime)) {
        return;
    }
    m_panel->stopCalculation();
    Image source;
    if (!pastedWorkingPicture(QApplication::clipboard()->image(), source)) {
        restartHistogram();
        return;
    }
    m_metadata = {};
    showUnfiledPicture(std::move(source));
}

void PhotoPage::replaceExif(std::unique_ptr<ExifData> exif)
{
    // The list and the panel point into the model; they let go before it goes. A fresh model
    // also forgets the old file, which an editor Write would otherwise target.
    m_panel->stopCalculation();
    m_panel->startCalculation(Image(), nullptr);
    m_exifList->fillExifList(nullptr);
    m_exif = std::move(exif);
}

const std::vector<std::uint8_t>& PhotoPage::resultProfile() const
{
    static const std::vector<std::uint8_t> srgb;
    return m_resultSettings.film.toSrgb ? srgb : m_metadata.icc;
}

void PhotoPage::refreshPage(bool sourceShownCurrent)
{
    if (!sourceShownCurrent)
        m_sourceShown = m_sourceInks.isEmpty() ? srgbDisplayCopy(m_source, m_metadata.icc)
                                               : m_sourceInks;
    m_resultShown = srgbDisplayCopy(m_result, resultProfile());
    // Before the pictures are set: the panes fall in step through it.
    m_panes->setPhotoRect(Rect());
    m_sourceView->setPicture(m_source.isEmpty() ? nullptr : &m_source, &m_sourceShown);
    m_resultView->setPicture(m_result.isEmpty() ? nullptr : &m_result, &m_resultShown);
    m_tabs->setPreviewPicture(m_source.isEmpty() ? nullptr : &m_source, m_metadata.icc,
                              m_sourceInks.isEmpty() ? nullptr : &m_sourceInks);
    m_sourceView->setToolTip(m_fileName);
    m_progress->setValue(0);
    m_resultCurrent = false;
    m_loupe->clear();
    updateStatus();
    // The pages convert lengths in inches and centimetres at the picture's resolution.
    const double dpi = m_source.isEmpty() ? 72.0 : m_source.dpi();
    m_tabs->setCurrentImageDpi(dpi);
    updateActions();
}

void PhotoPage::updateActions()
{
    m_commands->update({m_busy, !m_source.isEmpty(), !m_result.isEmpty() && m_resultCurrent});
}

QString PhotoPage::statusText() const
{
    return pageStatusText(m_source, m_fileName, m_result, m_resultCurrent);
}

void PhotoPage::updateStatus()
{
    const bool stale = !m_result.isEmpty() && !m_resultCurrent;
    m_resultView->setOutOfDateNote(stale ? text(Strings::ResultStaleNote) : QString());
    emit statusMessage(statusText());
}

void PhotoPage::restartHistogram()
{
    // A model without entries still knows its file: the panel then shows the file's time.
    const bool knowsFile = !m_exif->IsEmpty() || m_exif->fileStatus().HasPath();
    m_panel->startCalculation(m_source, m_source.isEmpty() || !knowsFile ? nullptr : m_exif.get());
}

bool PhotoPage::refuseWhileHistogram()
{
    if (m_panel->isCalculating()) {
        showMessageBox(this, text(Strings::HistogramBusy));
        return true;
    }
    return false;
}

bool PhotoPage::startConversion()
{
    if (m_source.isEmpty() || isConverting()) {
        return false;
    }
    ConversionSettings settings = m_tabs->settings();
    settings.tags.userName = AppSettings::userName().toStdString();
    settings.tags.language = activeLanguageCode().toStdString();
    if (settings.film.enabled && !hasFilmRecipe(settings.film.filmType)) {
        // Without a recipe the job would end silently; say why nothing happens instead.
        const FilmRow* film = findFilm(settings.film.filmType);
        emit statusMessage(
            text(Strings::FilmHasNoRecipe)
                .arg(film ? text(film->textId) : QString::number(settings.film.filmType)));
        return false;
    }
    m_progress->setValue(0);
    m_runSettings = settings;
    if (!m_runner->start(
            m_source, m_exif->IsEmpty() ? nullptr : m_exif.get(), settings, &m_metadata.icc,
            {QFile::encodeName(m_fileName).toStdString(), kWorkingSize, m_geometry, m_inksRead})) {
        return false;
    }
    setBusy(true);
    return true;
}

void PhotoPage::setBusy(bool busy)
{
    if (busy == m_busy) {
        return;
    }
    m_busy = busy;
    setEnabled(!busy);
    updateActions();
    if (busy) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
    } else {
        QApplication::restoreOverrideCursor();
    }
    emit busyChanged(busy);
}

void PhotoPage::conversionFinished(bool ok)
{
    setBusy(false);
    if (!ok) {
        return;
    }
    m_result = m_runner->takeResult();
    m_panes->setPhotoRect(m_runner->margins());
    m_resultSettings = std::move(m_runSettings);
    m_resultShown = srgbDisplayCopy(m_result, resultProfile());
    m_resultView->setPicture(&m_result, &m_resultShown);
    m_progress->setValue(100);
    m_resultCurrent = true;
    m_loupe->setResult(fullSizeJob(), m_result, resultProfile());
    updateActions();
    updateStatus();
}

void PhotoPage::lookThroughLoupe(QPoint resultPanePoint)
{
    m_loupe->lookAt(resultPanePoint);
}

FullSizeJob PhotoPage::fullSizeJob() const
{
    FullSizeJob job;
    job.path = QFile::encodeName(m_fileName).toStdString();
    job.geometry = m_fileName.isEmpty() ? GeometryRecord() : m_geometry;
    job.workingWidth = m_source.width();
    job.workingHeight = m_source.height();
    job.dpi = m_source.dpi();
    job.settings = m_resultSettings;
    job.exif = m_exif->IsEmpty() ? nullptr : m_exif.get();
    job.metadata = &m_metadata;
    return job;
}

void PhotoPage::saveWithDialog()
{
    const FullSizeJob job = fullSizeJob();
    saveResultWithDialog(this, m_result, m_exif->IsEmpty() ? nullptr : m_exif.get(), m_fileName,
                         &job);
}

bool PhotoPage::saveTo(const QString& path)
{
    const FullSizeJob job = fullSizeJob();
    return saveResultTo(this, m_result, m_exif->IsEmpty() ? nullptr : m_exif.get(), path, &job);
}

void PhotoPage::rotatePicture()
{
    transformSource(GeometryStep::Rotate);
}

void PhotoPage::mirrorPicture()
{
    transformSource(GeometryStep::Mirror);
}

void PhotoPage::flipPicture()
{
    transformSource(GeometryStep::Flip);
}

void PhotoPage::transformSource(GeometryStep step)
{
    if (m_source.isEmpty() || refuseWhileHistogram()) {
        return;
    }
    turnWorkingPicture(m_source, m_geometry, step);
    turnScreenInks(m_sourceInks, step);
    refreshPage();
    // Only a quarter turn changes what the histogram panel reports (the size).
    if (step == GeometryStep::Rotate) {
        restartHistogram();
    }
}

void PhotoPage::closePicture()
{
    m_panel->stopCalculation();
    showUnfiledPicture(Image());
}

void PhotoPage::showUnfiledPicture(Image source)
{
    m_source = std::move(source);
    m_sourceInks = Image();
    m_inksRead.reset();
    m_geometry = GeometryRecord();
    m_result = Image();
    m_fileName.clear();
    replaceExif(std::make_unique<ExifData>());
    refreshPage();
    m_exifList->fillExifList(nullptr);
    restartHistogram();
    emit fileNameChanged(m_fileName);
}

void PhotoPage::resizePicture()
{
    if (m_source.isEmpty()) {
        return;
    }
    ImageSizeDialog dialog(this);
    dialog.setValues(m_source.width(), m_source.height(), m_source.dpi());
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    m_panel->stopCalculation();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    resizeWorkingPicture(m_source, *m_exif, m_geometry, dialog.getValues());
    resizeScreenInks(m_sourceInks, dialog.getValues(), m_source);
    QApplication::restoreOverrideCursor();
    refreshPage();
    m_exifList->fillExifList(m_source.isEmpty() ? nullptr : m_exif.get());
    restartHistogram();
}

void PhotoPage::editExif()
{
    if (m_source.isEmpty() || isConverting()) {
        return;
    }
    if (ExifEditorDialog::editPicture(this, *m_exif, m_source)) {
        // After a delete the list keeps its file rows.
        m_exifList->fillExifList(m_exif.get());
        restartHistogram();
    }
}

void PhotoPage::actualPixels()
{
    m_panes->actualPixels();
}

void PhotoPage::fitWindow()
{
    m_panes->fitWindow();
}

void PhotoPage::matchPanes()
{
    m_panes->follow(m_sourceView);
}

void PhotoPage::showCompare()
{
    if (m_source.isEmpty()) {
        return;
    }
    CompareWindow window(&m_source, m_result.isEmpty() ? nullptr : &m_result, this, &m_sourceShown,
                         &m_resultShown);
    window.exec();
}

void PhotoPage::copyResult()
{
    const Image& picture = m_result.isEmpty() ? m_source : m_result;
    if (!picture.isEmpty()) {
        QApplication::clipboard()->setImage(toQImage(picture));
    }
}

}  // namespace tavelune::gui
