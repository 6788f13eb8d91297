// The single-picture page: layout, the state of its buttons, and the hand-offs between parts.
#include "gui/app/photo_page.h"

#include <QApplication>
#include <QClipboard>
#include <QDragEnterEvent>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPainter>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QToolButton>
#include <QVBoxLayout>
#include <thread>

#include "engine/image_size_model.h"
#include "engine/message_sink.h"
#include "exif/entry_values.h"
#include "exif/exif_entry.h"
#include "film/film_registry.h"
#include "film/film_step.h"
#include "gui/app/conversion_runner.h"
#include "gui/app/save_result.h"
#include "gui/controls/icons.h"
#include "gui/controls/image_bridge.h"
#include "gui/controls/message_box.h"
#include "gui/engine/image_size_dialog.h"
#include "gui/exif/exif_editor_dialog.h"
#include "gui/exif/exif_list_widget.h"
#include "gui/film/film_page.h"
#include "gui/histogram/histogram_panel_widget.h"
#include "gui/overlay/border_page.h"
#include "gui/overlay/overlay_page.h"
#include "gui/support/app_settings.h"
#include "gui/support/string_table.h"
#include "gui/view/compare_window.h"
#include "gui/view/image_view.h"
#include "job/file_conversion.h"

namespace tavelune::gui {

namespace {

constexpr int kWorkingSize = 800;

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
      m_runner(new ConversionRunner(this))
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

    m_tabs = new QTabWidget(this);
    m_filmPage = new FilmPage(m_tabs);
    m_tabs->addTab(m_filmPage, text(Strings::FilmTab));
    m_watermarkPage = new OverlayPage(OverlayPage::Kind::Watermark, m_tabs);
    m_signaturePage = new OverlayPage(OverlayPage::Kind::Signature, m_tabs);
    m_borderPage = new BorderPage(m_tabs);
    m_tabs->addTab(m_watermarkPage, text(Strings::WatermarkTab));
    m_tabs->addTab(m_signaturePage, text(Strings::SignatureTab));
    m_tabs->addTab(m_borderPage, text(Strings::FrameTab));

    auto* panes = new QHBoxLayout;
    panes->setContentsMargins(1, 0, 0, 0);
    panes->setSpacing(2);
    panes->addWidget(m_sourceView, 1);
    panes->addWidget(m_resultView, 1);

    auto* left = new QVBoxLayout;
    left->setContentsMargins(0, 0, 0, 0);
    left->setSpacing(2);
    left->addLayout(panes, 1);
    left->addWidget(buildButtonRow());
    left->addWidget(m_tabs);

    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    layout->addLayout(left, 1);
    layout->addWidget(buildRightColumn());

    connect(m_runner, &ConversionRunner::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_runner, &ConversionRunner::finished, this, &PhotoPage::conversionFinished);

    refreshPage();
    restartHistogram();
}

PhotoPage::~PhotoPage()
{
    m_panel->stopCalculation();
    m_runner->wait();
}

QToolButton* PhotoPage::makeButton(int icon, int tooltipId, void (PhotoPage::*slot)(),
                                   const char* name)
{
    auto* button = new QToolButton(this);
    button->setObjectName(QLatin1String(name));
    // The row sits on the page's black surround.
    button->setIcon(buttonIcon(static_cast<ButtonIcon>(icon), IconBackground::Dark));
    button->setIconSize(QSize(24, 24));
    button->setAutoRaise(true);
    button->setToolTip(text(tooltipId));
    connect(button, &QToolButton::clicked, this, slot);
    return button;
}

QWidget* PhotoPage::buildButtonRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    m_open = makeButton(int(ButtonIcon::Open), Strings::OpenTip, &PhotoPage::openWithDialog,
                        "openButton");
    m_save = makeButton(int(ButtonIcon::Save), Strings::SaveTip, &PhotoPage::saveWithDialog,
                        "saveButton");
    layout->addWidget(m_open);
    layout->addWidget(m_save);
    layout->addSpacing(8);
    struct PictureButton {
        ButtonIcon icon;
        int tooltip;
        void (PhotoPage::*slot)();
        const char* name;
    };
    const PictureButton pictureButtons[] = {
        {ButtonIcon::Rotate, Strings::RotateTip, &PhotoPage::rotatePicture, "rotateButton"},
        {ButtonIcon::MirrorLeftRight, Strings::MirrorTip, &PhotoPage::mirrorPicture,
         "mirrorButton"},
        {ButtonIcon::FlipTopBottom, Strings::FlipTip, &PhotoPage::flipPicture, "flipButton"},
        {ButtonIcon::Close, Strings::CloseTip, &PhotoPage::closePicture, "closeButton"},
        {ButtonIcon::PictureSize, Strings::PictureSizeTip, &PhotoPage::resizePicture, "sizeButton"},
    };
    for (const auto& b : pictureButtons) {
        QToolButton* button = makeButton(int(b.icon), b.tooltip, b.slot, b.name);
        m_pictureButtons << button;
        layout->addWidget(button);
    }
    layout->addSpacing(8);
    const PictureButton viewButtons[] = {
        {ButtonIcon::ActualPixels, Strings::ActualPixelsTip, &PhotoPage::actualPixels,
         "actualButton"},
        {ButtonIcon::FitWindow, Strings::FitWindowTip, &PhotoPage::fitWindow, "fitButton"},
        {ButtonIcon::Same, Strings::SameViewTip, &PhotoPage::matchPanes, "sameButton"},
        {ButtonIcon::FullScreen, Strings::FullScreenTip, &PhotoPage::showCompare,
         "fullScreenButton"},
    };
    for (const auto& b : viewButtons) {
        layout->addWidget(makeButton(int(b.icon), b.tooltip, b.slot, b.name));
    }
    layout->addSpacing(8);
    m_progress = new QProgressBar(row);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(12);
    layout->addWidget(m_progress, 1);
    m_apply = new QPushButton(buttonIcon(ButtonIcon::Apply), text(Strings::ApplyButton), row);
    m_apply->setObjectName("applyButton");
    m_apply->setToolTip(text(Strings::ApplyTip));
    connect(m_apply, &QPushButton::clicked, this, &PhotoPage::startConversion);
    m_pictureButtons << m_apply;
    layout->addWidget(m_apply);
    return row;
}

QWidget* PhotoPage::buildRightColumn()
{
    auto* column = new QWidget(this);
    column->setFixedWidth(260);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    m_panel = new HistogramPanelWidget(column);
    m_exifEditor = new QPushButton(buttonIcon(ButtonIcon::ExifEditor),
                                   text(Strings::ExifEditorButton), column);
    m_exifEditor->setObjectName("exifEditorButton");
    m_exifEditor->setToolTip(text(Strings::ExifEditorTip));
    connect(m_exifEditor, &QPushButton::clicked, this, &PhotoPage::editExif);
    m_exifList = new ExifListWidget(column);
    connect(m_exifList, &ExifListWidget::exifChanged, m_panel,
            &HistogramPanelWidget::refreshSummary);
    layout->addWidget(m_panel);
    layout->addWidget(m_exifEditor);
    layout->addWidget(m_exifList, 1);
    return column;
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
        this, text(Strings::OpenCaption), AppSettings::lastFolder("open"),
        text(Strings::OpenFilter), nullptr, QFileDialog::ReadOnly);
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
    // A large photograph takes a while to decode: the worker decodes it while this loop keeps
    // the window painted. User input waits in the queue, so nothing can change meanwhile.
    struct Loaded {
        Image picture;
        std::unique_ptr<ExifData> exif = std::make_unique<ExifData>();
        Rect fullSize;
        bool ok = false;
    };
    auto loaded = std::make_shared<Loaded>();
    const std::string file = QFile::encodeName(localPath(path)).toStdString();
    auto load = [loaded, file] {
        // The engine's own open message names no file; the page shows one that does.
        ThreadMessageSink quiet([](const std::string&, const std::string&, MessageIcon) {});
        loaded->ok = openWorkingPicture(file, loaded->picture, *loaded->exif, kWorkingSize, true,
                                        &loaded->fullSize);
    };
    m_loading = true;
    setBusy(true);
    try {
        QEventLoop loop;
        std::thread worker([&load, &loop] {
            load();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        });
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        worker.join();
    } catch (const std::system_error&) {
        load();  // no thread to spare: decode here, the window waits
    }
    m_loading = false;
    setBusy(false);
    const bool ok = loaded->ok;
    Image picture = std::move(loaded->picture);
    const Rect fullSize = loaded->fullSize;
    m_result = Image();
    if (!ok) {
        showMessageBox(this, text(Strings::OpenFailed) + ": \n" + path);
        m_source = Image();
        m_geometry = GeometryRecord();
        m_fileName.clear();
        replaceExif(std::make_unique<ExifData>());
    } else {
        // Only a reduced picture has a larger original worth converting again.
        const bool reduced = fullSize.right > picture.width() || fullSize.bottom > picture.height();
        m_geometry = reduced ? GeometryRecord(fullSize.right, fullSize.bottom) : GeometryRecord();
        m_source = std::move(picture);
        m_fileName = localPath(path);
        replaceExif(std::move(loaded->exif));
    }
    refreshPage();
    m_exifList->fillExifList(m_source.isEmpty() ? nullptr : m_exif.get());
    restartHistogram();
    emit fileNameChanged(m_fileName);
    return ok;
}

void PhotoPage::pastePicture()
{
    if (isConverting()) {
        return;
    }
    m_panel->stopCalculation();
    const QImage pasted = QApplication::clipboard()->image();
    Image picture;
    if (!importQImage(pasted, picture)) {
        restartHistogram();
        return;
    }
    int width = picture.width();
    int height = picture.height();
    if (width > height && width > kWorkingSize) {
        height = int(int64_t(height) * kWorkingSize / width);
        width = kWorkingSize;
    } else if (height >= width && height > kWorkingSize) {
        width = int(int64_t(width) * kWorkingSize / height);
        height = kWorkingSize;
    }
    Image source;
    if (!source.create(std::max(1, width), std::max(1, height), 72.0f)) {
        restartHistogram();
        return;
    }
    source.drawImage({0, 0, source.width(), source.height()}, picture,
                     {0, 0, picture.width(), picture.height()}, kBilinear, 0x00FFFFFF);
    m_source = std::move(source);
    m_geometry = GeometryRecord();
    m_result = Image();
    m_fileName.clear();
    replaceExif(std::make_unique<ExifData>());
    refreshPage();
    m_exifList->fillExifList(nullptr);
    restartHistogram();
    emit fileNameChanged(m_fileName);
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

void PhotoPage::refreshPage()
{
    m_sourceView->setPicture(m_source.isEmpty() ? nullptr : &m_source);
    m_resultView->setPicture(m_result.isEmpty() ? nullptr : &m_result);
    m_sourceView->setToolTip(m_fileName);
    m_progress->setValue(0);
    m_photoRect = Rect();
    m_resultCurrent = false;
    // The pages convert lengths in inches and centimetres at the picture's resolution.
    const double dpi = m_source.isEmpty() ? 72.0 : m_source.dpi();
    m_watermarkPage->setCurrentImageDpi(dpi);
    m_signaturePage->setCurrentImageDpi(dpi);
    m_borderPage->setCurrentImageDpi(dpi);
    updateButtons();
}

void PhotoPage::updateButtons()
{
    const bool hasSource = !m_source.isEmpty();
    for (QWidget* button : m_pictureButtons) {
        button->setEnabled(hasSource);
    }
    m_exifEditor->setEnabled(hasSource);
    m_save->setEnabled(hasSource && !m_result.isEmpty() && m_resultCurrent);
}

void PhotoPage::restartHistogram()
{
    m_panel->startCalculation(m_source,
                              m_source.isEmpty() || m_exif->IsEmpty() ? nullptr : m_exif.get());
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
    ConversionSettings settings;
    settings.film = m_filmPage->settings();
    settings.watermark = m_watermarkPage->settings();
    settings.signature = m_signaturePage->settings();
    settings.border = m_borderPage->settings();
    settings.tags.userName = AppSettings::userName().toStdString();
    settings.tags.language = activeLanguageCode().toStdString();
    if (settings.film.enabled && !hasFilmRecipe(settings.film.filmType)) {
        // Without a recipe the job would end silently; say why nothing happens instead.
        const FilmRow* film = findFilm(settings.film.filmType);
        emit statusMessage(text(Strings::FilmHasNoRecipe)
                               .arg(film ? text(film->textId)
                                         : QString::number(settings.film.filmType)));
        return false;
    }
    m_progress->setValue(0);
    m_runSettings = settings;
    if (!m_runner->start(m_source, m_exif->IsEmpty() ? nullptr : m_exif.get(), settings)) {
        showMessageBox(this, QStringLiteral("Failed to create thread"), QMessageBox::Critical);
        return false;
    }
    setBusy(true);
    return true;
}

void PhotoPage::setBusy(bool busy)
{
    if (busy == !isEnabled()) {
        return;
    }
    setEnabled(!busy);
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
    m_photoRect = m_runner->margins();
    m_resultSettings = std::move(m_runSettings);
    m_resultView->setPicture(&m_result);
    m_progress->setValue(100);
    m_resultCurrent = true;
    updateButtons();
    emit statusMessage(text(Strings::ConvertedSize).arg(m_result.width()).arg(m_result.height()));
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
    switch (step) {
        case GeometryStep::Rotate:
            m_source.rotate(90);
            break;
        case GeometryStep::Mirror:
            m_source.mirrorHorizontal();
            break;
        case GeometryStep::Flip:
            m_source.flipVertical();
            break;
    }
    m_geometry.record(step);
    refreshPage();
    // Only a quarter turn changes what the histogram panel reports (the size).
    if (step == GeometryStep::Rotate) {
        restartHistogram();
    }
}

void PhotoPage::closePicture()
{
    m_panel->stopCalculation();
    m_source = Image();
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
    const ImageSizeValues values = dialog.getValues();
    if ((values.width != m_source.width() || values.height != m_source.height()) &&
        values.width <= kWorkingSize && values.height <= kWorkingSize) {
        m_source.resize(values.width, values.height, kBicubic);
        m_geometry.markNotFullSize();
    }
    if (float(values.dpi) != m_source.dpi()) {
        m_source.setDpi(float(values.dpi));
        ExifEntry* x = m_exif->FindEntry(kIfd0, kTagXResolution);
        ExifEntry* y = m_exif->FindEntry(kIfd0, kTagYResolution);
        if (x && y) {
            setRationalValue(x, values.dpi);
            setRationalValue(y, values.dpi);
        }
    }
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
        m_exifList->fillExifList(m_exif->IsEmpty() ? nullptr : m_exif.get());
        restartHistogram();
    }
}

void PhotoPage::actualPixels()
{
    m_sourceView->actualPixels();
    m_resultView->actualPixels();
}

void PhotoPage::fitWindow()
{
    m_sourceView->fitWindow();
    m_resultView->fitWindow();
}

void PhotoPage::matchPanes()
{
    if (m_source.isEmpty()) {
        return;
    }
    const float zoom = m_sourceView->zoom();
    const QPoint scroll = m_sourceView->scroll();
    m_resultView->setZoom(zoom);
    m_resultView->setScroll(int(std::lround(zoom * m_photoRect.left + scroll.x())),
                            int(std::lround(zoom * m_photoRect.top + scroll.y())), false);
}

void PhotoPage::showCompare()
{
    if (m_source.isEmpty()) {
        return;
    }
    CompareWindow window(&m_source, m_result.isEmpty() ? nullptr : &m_result, this);
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
