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
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>
#include <functional>
#include <iterator>

#include "engine/fit_within.h"
#include "engine/image_size_model.h"
#include "engine/message_sink.h"
#include "exif/entry_values.h"
#include "exif/exif_entry.h"
#include "film/film_registry.h"
#include "film/film_step.h"
#include "gui/app/conversion_runner.h"
#include "gui/app/result_loupe.h"
#include "gui/app/save_result.h"
#include "gui/controls/icons.h"
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
#include "job/file_conversion.h"
#include "view/display_colour.h"

namespace tavelune::gui {

namespace {

constexpr int kWorkingSize = 800;

// A push button with its own text and icon that triggers action and follows its enabled state.
void bindButton(QPushButton* button, QAction* action)
{
    button->setEnabled(action->isEnabled());
    QObject::connect(button, &QPushButton::clicked, action, &QAction::trigger);
    QObject::connect(action, &QAction::enabledChanged, button, &QWidget::setEnabled);
}

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
    // Zooming, panning or resizing one pane moves the other alike, so both show one detail.
    connect(m_sourceView, &ImageView::viewChanged, this,
            [this] { followPane(m_sourceView, m_resultView); });
    connect(m_resultView, &ImageView::viewChanged, this,
            [this] { followPane(m_resultView, m_sourceView); });

    m_tabs = new SettingTabs(this);
    m_tabs->setTagPictureSource([this] {
        return TagPicture{m_source.isEmpty() ? nullptr : &m_source, m_exif.get()};
    });
    makeActions();
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
    m_openJob->wait();
}

void PhotoPage::makeActions()
{
    struct Row {
        Command command;
        int text;
        std::function<void()> run;
    };
    const Row rows[] = {
        {Command::Open, Strings::OpenTip, [this] { openWithDialog(); }},
        {Command::Save, Strings::SaveTip, [this] { saveWithDialog(); }},
        {Command::Apply, Strings::ApplyTip, [this] { startConversion(); }},
        {Command::Rotate, Strings::RotateTip, [this] { rotatePicture(); }},
        {Command::Mirror, Strings::MirrorTip, [this] { mirrorPicture(); }},
        {Command::Flip, Strings::FlipTip, [this] { flipPicture(); }},
        {Command::Close, Strings::CloseTip, [this] { closePicture(); }},
        {Command::PictureSize, Strings::PictureSizeTip, [this] { resizePicture(); }},
        {Command::EditExif, Strings::ExifEditorTip, [this] { editExif(); }},
        {Command::ActualPixels, Strings::ActualPixelsTip, [this] { actualPixels(); }},
        {Command::FitWindow, Strings::FitWindowTip, [this] { fitWindow(); }},
        {Command::MatchPanes, Strings::SameViewTip, [this] { matchPanes(); }},
        {Command::FullScreen, Strings::FullScreenTip, [this] { showCompare(); }},
        {Command::Copy, Strings::ViewCopy, [this] { copyResult(); }},
        {Command::Paste, Strings::ViewPaste, [this] { pastePicture(); }},
        {Command::Loupe, Strings::LoupeTip, [] {}},  // ResultLoupe follows its toggle
    };
    m_actions.resize(std::size(rows));
    for (const Row& row : rows) {
        auto* action = new QAction(text(row.text), this);
        action->setToolTip(text(row.text));
        connect(action, &QAction::triggered, this, row.run);
        // Shortcuts given to an action work wherever the page's window is active.
        addAction(action);
        m_actions[size_t(row.command)] = action;
    }
}

QAction* PhotoPage::action(Command command) const
{
    return m_actions[size_t(command)];
}

QWidget* PhotoPage::buildButtonRow()
{
    auto* row = new QWidget(this);
    auto* layout = new QHBoxLayout(row);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->setSpacing(2);
    auto addButton = [this, row, layout](Command command, ButtonIcon icon, const char* name) {
        QAction* command_action = action(command);
        // The row sits on the page's black surround.
        command_action->setIcon(buttonIcon(icon, IconBackground::Dark));
        auto* button = new QToolButton(row);
        button->setObjectName(QLatin1String(name));
        button->setIconSize(QSize(24, 24));
        button->setAutoRaise(true);
        button->setDefaultAction(command_action);
        layout->addWidget(button);
    };
    addButton(Command::Open, ButtonIcon::Open, "openButton");
    addButton(Command::Save, ButtonIcon::Save, "saveButton");
    layout->addSpacing(8);
    addButton(Command::Rotate, ButtonIcon::Rotate, "rotateButton");
    addButton(Command::Mirror, ButtonIcon::MirrorLeftRight, "mirrorButton");
    addButton(Command::Flip, ButtonIcon::FlipTopBottom, "flipButton");
    addButton(Command::Close, ButtonIcon::Close, "closeButton");
    addButton(Command::PictureSize, ButtonIcon::PictureSize, "sizeButton");
    layout->addSpacing(8);
    addButton(Command::ActualPixels, ButtonIcon::ActualPixels, "actualButton");
    addButton(Command::FitWindow, ButtonIcon::FitWindow, "fitButton");
    addButton(Command::MatchPanes, ButtonIcon::Same, "sameButton");
    addButton(Command::FullScreen, ButtonIcon::FullScreen, "fullScreenButton");
    layout->addSpacing(8);
    m_progress = new QProgressBar(row);
    m_progress->setRange(0, 100);
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_progress->setMaximumHeight(12);
    // Its own width hint (room for "100%", not shown here) would hold the window wider than
    // its smallest size.
    m_progress->setMinimumWidth(24);
    layout->addWidget(m_progress, 1);
    auto* apply = new QPushButton(buttonIcon(ButtonIcon::Apply), text(Strings::ApplyButton), row);
    apply->setObjectName("applyButton");
    apply->setToolTip(text(Strings::ApplyTip));
    bindButton(apply, action(Command::Apply));
    layout->addWidget(apply);
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
    auto* exifEditor = new QPushButton(buttonIcon(ButtonIcon::ExifEditor),
                                       text(Strings::ExifEditorButton), column);
    exifEditor->setObjectName("exifEditorButton");
    exifEditor->setToolTip(text(Strings::ExifEditorTip));
    bindButton(exifEditor, action(Command::EditExif));
    m_exifList = new ExifListWidget(column);
    connect(m_exifList, &ExifListWidget::exifChanged, m_panel,
            &HistogramPanelWidget::refreshSummary);
    layout->addWidget(m_panel);
    layout->addWidget(exifEditor);
    layout->addWidget(m_exifList, 1);
    return column;
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
    m_openJob->start<OpenedPicture>(
        [file](JobControl&) {
            OpenedPicture opened;
            opened.exif = std::make_unique<ExifData>();
            // The engine's boxes name no file; the page shows them once it knows the outcome.
            WorkingPictureOpen read =
                openWorkingPicture(file, opened.picture, *opened.exif, kWorkingSize, true,
                                   &opened.fullSize, &opened.metadata);
            opened.boxes = std::move(read.notices);
            opened.ok = read.ok();
            if (opened.ok)
                opened.shown = srgbDisplayCopy(opened.picture, opened.metadata.icc);
            return opened;
        },
        [this, path, local](OpenedPicture opened) {
            openFinished(path, local, std::move(opened));
        });
    return true;
}

void PhotoPage::openFinished(const QString& path, const QString& local, OpenedPicture opened)
{
    m_loading = false;
    setBusy(false);
    showOpenBoxes(path, opened);
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
    replaceExif(std::move(opened.exif));
    refreshPage(true);
    m_exifList->fillExifList(m_exif.get());
    restartHistogram();
    emit fileNameChanged(m_fileName);
    emit pictureOpened(true);
}

void PhotoPage::showOpenBoxes(const QString& path, const OpenedPicture& opened)
{
    for (const Notice& notice : opened.boxes) {
        const NoticeBox box = noticeBox(notice);
        showMessageBox(this, QString::fromStdString(box.text) + QStringLiteral("\n\n") + path,
                       messageBoxIcon(box.icon), QString::fromStdString(box.caption));
    }
    if (!opened.ok && opened.boxes.empty()) {
        showMessageBox(this, text(Strings::OpenFailed) + ": \n" + path);
    }
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
    const QImage pasted = QApplication::clipboard()->image();
    Image picture;
    if (!importQImage(pasted, picture)) {
        restartHistogram();
        return;
    }
    int width = picture.width();
    int height = picture.height();
    fitWithinSize(picture.width(), picture.height(), kWorkingSize, width, height);
    Image source;
    if (!source.create(width, height, 72.0f)) {
        restartHistogram();
        return;
    }
    source.drawImage({0, 0, source.width(), source.height()}, picture,
                     {0, 0, picture.width(), picture.height()}, kBilinear, 0x00FFFFFF);
    m_source = std::move(source);
    m_geometry = GeometryRecord();
    m_result = Image();
    m_fileName.clear();
    m_metadata = {};
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

const std::vector<std::uint8_t>& PhotoPage::resultProfile() const
{
    static const std::vector<std::uint8_t> srgb;
    return m_resultSettings.film.toSrgb ? srgb : m_metadata.icc;
}

void PhotoPage::refreshPage(bool sourceShownCurrent)
{
    if (!sourceShownCurrent)
        m_sourceShown = srgbDisplayCopy(m_source, m_metadata.icc);
    m_resultShown = srgbDisplayCopy(m_result, resultProfile());
    // Before the pictures are set: the panes fall in step through it.
    m_photoRect = Rect();
    m_sourceView->setPicture(m_source.isEmpty() ? nullptr : &m_source, &m_sourceShown);
    m_resultView->setPicture(m_result.isEmpty() ? nullptr : &m_result, &m_resultShown);
    m_tabs->setPreviewPicture(m_source.isEmpty() ? nullptr : &m_source);
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
    const bool idle = !m_busy;
    const bool hasSource = idle && !m_source.isEmpty();
    for (Command c : {Command::Open, Command::ActualPixels, Command::FitWindow, Command::MatchPanes,
                      Command::FullScreen, Command::Copy, Command::Paste}) {
        action(c)->setEnabled(idle);
    }
    for (Command c : {Command::Apply, Command::Rotate, Command::Mirror, Command::Flip,
                      Command::Close, Command::PictureSize, Command::EditExif}) {
        action(c)->setEnabled(hasSource);
    }
    action(Command::Save)->setEnabled(hasSource && !m_result.isEmpty() && m_resultCurrent);
    action(Command::Loupe)->setEnabled(hasSource && !m_result.isEmpty() && m_resultCurrent);
}

QString PhotoPage::statusText() const
{
    if (m_source.isEmpty()) {
        return text(Strings::StatusNoPicture);
    }
    if (!m_result.isEmpty()) {
        return m_resultCurrent
                   ? text(Strings::ConvertedSize).arg(m_result.width()).arg(m_result.height())
                   : text(Strings::StatusStale);
    }
    const QString name =
        m_fileName.isEmpty() ? text(Strings::PastedPicture) : QFileInfo(m_fileName).fileName();
    return text(Strings::StatusPicture).arg(name).arg(m_source.width()).arg(m_source.height());
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
        emit statusMessage(text(Strings::FilmHasNoRecipe)
                               .arg(film ? text(film->textId)
                                         : QString::number(settings.film.filmType)));
        return false;
    }
    m_progress->setValue(0);
    m_runSettings = settings;
    if (!m_runner->start(m_source, m_exif->IsEmpty() ? nullptr : m_exif.get(), settings,
                         &m_metadata.icc)) {
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
    m_photoRect = m_runner->margins();
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
        // After a delete the list keeps its file rows.
        m_exifList->fillExifList(m_exif.get());
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
    followPane(m_sourceView, m_resultView);
}

void PhotoPage::followPane(const ImageView* leader, ImageView* follower)
{
    if (m_followingPane || !leader->picture() || !follower->picture()) {
        return;
    }
    m_followingPane = true;
    const float zoom = leader->zoom();
    const QPoint scroll = leader->scroll();
    const int sign = leader == m_sourceView ? 1 : -1;
    follower->setZoom(zoom);
    follower->setScroll(int(std::lround(sign * zoom * m_photoRect.left + scroll.x())),
                        int(std::lround(sign * zoom * m_photoRect.top + scroll.y())), false);
    m_followingPane = false;
}

void PhotoPage::showCompare()
{
    if (m_source.isEmpty()) {
        return;
    }
    CompareWindow window(&m_source, m_result.isEmpty() ? nullptr : &m_result, this,
                         &m_sourceShown, &m_resultShown);
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
