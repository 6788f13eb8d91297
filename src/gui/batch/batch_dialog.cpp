// The batch dialog's layout, its file list and its preview; the run is in batch_dialog_run.cpp.
#include "gui/batch/batch_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDragEnterEvent>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "engine/format_dispatch.h"
#include "engine/format_number.h"
#include "engine/format_table.h"
#include "engine/picture_metadata.h"
#include "gui/batch/batch_runner.h"
#include "gui/batch/file_type_icons.h"
#include "gui/controls/message_box.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"
#include "gui/engine/webp_options_dialog.h"
#include "gui/support/app_settings.h"
#include "gui/tabs/look_files.h"
#include "gui/support/file_filters.h"
#include "gui/support/string_table.h"
#include "gui/tabs/setting_tabs.h"
#include "gui/view/image_view.h"
#include "exif/exif_data.h"
#include "job/batch_list.h"
#include "job/file_conversion.h"
#include "job/inks_through_profile.h"
#include "job/batch_tally.h"
#include "view/display_colour.h"

namespace tavelune::gui {

namespace {

QByteArray utf8(const QString& value)
{
    return value.toUtf8();
}

}  // namespace

BatchDialog::BatchDialog(QWidget* parent) : QDialog(parent), m_runner(new BatchRunner(this))
{
    setObjectName("batchDialog");
    setWindowTitle(text(Strings::BatchCaption));
    setAcceptDrops(true);
    m_jpegOptions = new JpegOptionsDialog(this);
    m_tiffOptions = new TiffOptionsDialog(this);
    m_webpOptions = new WebpOptionsDialog(this);

    auto* top = new QHBoxLayout;
    top->addWidget(buildListArea(), 1);
    top->addWidget(buildPreviewArea());

    m_tabs = new SettingTabs(this);
    m_tabs->setTagPictureSource([this] {
        return TagPicture{m_preview.isEmpty() ? nullptr : &m_preview, m_previewExif.get()};
    });
    m_tabs->setObjectName("pageTabs");

    auto* middle = new QHBoxLayout;
    middle->addWidget(m_tabs, 1);
    middle->addWidget(buildOutputArea());

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addLayout(middle);
    layout->addWidget(buildProgressArea());

    connect(m_runner, &BatchRunner::fileStarted, this, &BatchDialog::onFileStarted);
    connect(m_runner, &BatchRunner::fileProgress, this, &BatchDialog::onFileProgress);
    connect(m_runner, &BatchRunner::fileFinished, this, &BatchDialog::onFileFinished);
    connect(m_runner, &BatchRunner::finished, this, &BatchDialog::onRunFinished);
    m_lockedDuringRun = {m_list,          m_addButton,   m_clearButton, m_removeButton, m_type,
                         m_optionsButton, m_prefix,      m_folder,      m_browseButton, m_reduce,
                         m_scaleLengths,
                         m_startButton,   m_closeButton, m_tabs, m_saveLookButton, m_loadLookButton};
    typeChanged();
    setRunning(false);
}

BatchDialog::~BatchDialog()
{
    // The runner waits for its worker before the pages and the list go.
    delete m_runner;
    m_runner = nullptr;
}

ConversionSettings BatchDialog::settings() const
{
    return m_tabs->settings();
}

void BatchDialog::setSettings(const ConversionSettings& settings)
{
    m_tabs->setSettings(settings);
}

QWidget* BatchDialog::buildListArea()
{
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* buttons = new QHBoxLayout;
    m_addButton = new QPushButton(text(Strings::BatchAddFiles), area);
    m_addButton->setObjectName("addFilesButton");
    m_clearButton = new QPushButton(text(Strings::BatchClearList), area);
    m_clearButton->setObjectName("clearListButton");
    m_removeButton = new QPushButton(text(Strings::BatchRemove), area);
    m_removeButton->setObjectName("removeButton");
    buttons->addWidget(m_addButton);
    buttons->addWidget(m_clearButton);
    buttons->addWidget(m_removeButton);
    buttons->addStretch(1);
    connect(m_addButton, &QPushButton::clicked, this, &BatchDialog::chooseFiles);
    connect(m_clearButton, &QPushButton::clicked, this, &BatchDialog::clearList);
    connect(m_removeButton, &QPushButton::clicked, this, &BatchDialog::removeSelected);

    m_list = new QTableWidget(0, 3, area);
    m_list->setObjectName("fileList");
    m_list->setHorizontalHeaderLabels(
        {text(Strings::FileNameColumn), text(Strings::FolderColumn), text(Strings::TypeColumn)});
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->setShowGrid(true);
    m_list->setWordWrap(false);
    m_list->setIconSize(QSize(20, 18));
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(20);
    m_list->horizontalHeader()->setHighlightSections(false);
    // The folder takes what the window gives; a long path then shows more of itself.
    m_list->horizontalHeader()->setSectionResizeMode(1, QHeaderView::Stretch);
    m_list->setColumnWidth(0, 160);
    m_list->setColumnWidth(2, 50);
    m_list->setMinimumWidth(480);
    m_list->installEventFilter(this);
    connect(m_list, &QTableWidget::currentCellChanged, this,
            [this](int row, int, int previousRow, int) {
                if (row != previousRow && row >= 0) {
                    previewRow(row);
                }
            });
    layout->addLayout(buttons);
    layout->addWidget(m_list, 1);
    return area;
}

QWidget* BatchDialog::buildPreviewArea()
{
    auto* area = new QWidget(this);
    auto* layout = new QVBoxLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new ImageView(area);
    m_view->setObjectName("preview");
    m_view->setFixedSize(250, 250);
    m_view->setSunkenBorder(true);
    m_info = new QLineEdit(area);
    m_info->setObjectName("infoLine");
    m_info->setReadOnly(true);
    m_info->setFocusPolicy(Qt::NoFocus);
    m_info->setFixedWidth(250);
    QPalette palette = m_info->palette();
    palette.setColor(QPalette::Base, QColor(236, 233, 216));
    palette.setColor(QPalette::Text, Qt::black);
    m_info->setPalette(palette);
    layout->addWidget(m_view);
    layout->addWidget(m_info);
    layout->addStretch(1);
    return area;
}

QWidget* BatchDialog::buildOutputArea()
{
    auto* column = new QWidget(this);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* group = new QGroupBox(text(Strings::BatchOutputGroup), column);
    auto* form = new QFormLayout(group);
    m_type = new QComboBox(group);
    m_type->setObjectName("typeCombo");
    for (ImageFormat format : batchTypes()) {
        m_type->addItem(text(formatRow(format).batchTextId), int(format));
    }
    m_type->setCurrentIndex(0);
    m_optionsButton = new QPushButton(text(Strings::BatchOptions), group);
    m_optionsButton->setObjectName("optionsButton");
    auto* typeRow = new QHBoxLayout;
    typeRow->addWidget(m_type, 1);
    typeRow->addWidget(m_optionsButton);
    form->addRow(text(Strings::BatchTypeLabel), typeRow);
    m_prefix = new QLineEdit(QStringLiteral("QX_"), group);
    m_prefix->setObjectName("prefixEdit");
    form->addRow(text(Strings::BatchPrefixLabel), m_prefix);
    m_folder = new QLineEdit(group);
    m_folder->setObjectName("folderEdit");
    m_folder->setMinimumWidth(200);
    m_browseButton = new QPushButton(text(Strings::BatchBrowse), group);
    m_browseButton->setObjectName("browseButton");
    auto* folderRow = new QHBoxLayout;
    folderRow->addWidget(m_folder, 1);
    folderRow->addWidget(m_browseButton);
    form->addRow(text(Strings::BatchFolderLabel), folderRow);
    m_reduce = new QCheckBox(text(Strings::BatchReduce), group);
    m_reduce->setObjectName("reduceBox");
    form->addRow(m_reduce);
    m_scaleLengths = new QCheckBox(text(Strings::BatchScaleLengths), group);
    m_scaleLengths->setObjectName("scaleLengthsBox");
    m_scaleLengths->setToolTip(text(Strings::BatchScaleLengthsTip));
    form->addRow(m_scaleLengths);
    connect(m_type, &QComboBox::currentIndexChanged, this, &BatchDialog::typeChanged);
    connect(m_optionsButton, &QPushButton::clicked, this, &BatchDialog::showOptions);
    connect(m_browseButton, &QPushButton::clicked, this, &BatchDialog::chooseFolder);

    m_startButton = new QPushButton(text(Strings::BatchStart), column);
    m_startButton->setObjectName("startButton");
    m_startButton->setDefault(true);
    m_cancelButton = new QPushButton(text(Strings::BatchCancel), column);
    m_cancelButton->setObjectName("cancelButton");
    m_closeButton = new QPushButton(text(Strings::BatchClose), column);
    m_closeButton->setObjectName("closeButton");
    m_closeButton->setAutoDefault(false);
    connect(m_startButton, &QPushButton::clicked, this, &BatchDialog::startRun);
    connect(m_cancelButton, &QPushButton::clicked, this, &BatchDialog::cancelRun);
    connect(m_closeButton, &QPushButton::clicked, this, &QDialog::reject);
    m_saveLookButton = new QPushButton(text(Strings::LookSaveItem), column);
    m_saveLookButton->setObjectName("saveLookButton");
    m_loadLookButton = new QPushButton(text(Strings::LookLoadItem), column);
    m_loadLookButton->setObjectName("loadLookButton");
    connect(m_saveLookButton, &QPushButton::clicked, this,
            [this] { saveLookWithDialog(this, m_tabs->settings()); });
    connect(m_loadLookButton, &QPushButton::clicked, this, [this] {
        if (const std::optional<ConversionSettings> look = loadLookWithDialog(this)) {
            m_tabs->setSettings(*look);
        }
    });
    auto* looks = new QHBoxLayout;
    looks->addWidget(m_saveLookButton);
    looks->addWidget(m_loadLookButton);
    looks->addStretch(1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_startButton, 1);
    buttons->addWidget(m_cancelButton);
    buttons->addWidget(m_closeButton);

    layout->addWidget(group);
    layout->addLayout(looks);
    layout->addStretch(1);
    layout->addLayout(buttons);
    return column;
}

QWidget* BatchDialog::buildProgressArea()
{
    auto* area = new QWidget(this);
    auto* layout = new QGridLayout(area);
    layout->setContentsMargins(0, 0, 0, 0);
    m_runBar = new QProgressBar(area);
    m_runBar->setObjectName("runBar");
    m_runBar->setRange(0, 100);
    m_runBar->setValue(0);
    m_fileBar = new QProgressBar(area);
    m_fileBar->setObjectName("fileBar");
    m_fileBar->setRange(0, 1);
    m_fileBar->setValue(0);
    m_fileBar->setTextVisible(false);
    m_fileBar->setMaximumHeight(10);
    m_status = new QLabel(text(Strings::BatchReady), area);
    m_status->setObjectName("statusText");
    m_status->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_log = new QListWidget(area);
    m_log->setObjectName("runLog");
    m_log->setFixedHeight(70);
    m_log->setWordWrap(false);
    layout->addWidget(m_status, 0, 0, 1, 2);
    layout->addWidget(m_runBar, 1, 0);
    layout->addWidget(m_fileBar, 2, 0);
    layout->addWidget(m_log, 3, 0);
    return area;
}

void BatchDialog::chooseFiles()
{
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, text(Strings::BatchAddFiles).remove(QStringLiteral("...")),
        AppSettings::lastFolder("batch"), openPictureFilter(), nullptr,
        QFileDialog::ReadOnly);
    if (paths.isEmpty()) {
        return;
    }
    AppSettings::setLastFolder("batch", QFileInfo(paths.first()).absolutePath());
    addFiles(paths);
}

bool BatchDialog::appendPath(const QString& path, bool tellUnsupported)
{
    BatchListEntry entry;
    const BatchListCheck check = makeBatchListEntry(QFile::encodeName(path).toStdString(), entry);
    if (check == BatchListCheck::Unsupported && tellUnsupported) {
        showMessageBox(this,
                       QString::asprintf(utf8(text(Strings::BatchSkipUnsupported)).constData(),
                                         utf8(path).constData()));
    }
    if (check != BatchListCheck::Listed) {
        return false;
    }
    const int row = m_list->rowCount();
    m_list->insertRow(row);
    auto* name =
        new QTableWidgetItem(fileTypeIcon(entry.icon), QFile::decodeName(entry.name.c_str()));
    name->setData(Qt::UserRole, entry.icon);
    m_list->setItem(row, 0, name);
    m_list->setItem(row, 1, new QTableWidgetItem(QFile::decodeName(entry.folder.c_str())));
    m_list->setItem(row, 2, new QTableWidgetItem(QString::fromStdString(entry.type)));
    return true;
}

void BatchDialog::addFiles(const QStringList& paths)
{
    if (isRunning()) {
        return;
    }
    for (const QString& path : paths) {
        appendPath(QFileInfo(path).absoluteFilePath(), true);
    }
}

void BatchDialog::addPaths(const QStringList& paths)
{
    if (isRunning()) {
        return;
    }
    for (const QString& path : paths) {
        const QFileInfo info(path);
        if (!info.isDir()) {
            appendPath(info.absoluteFilePath(), true);
            continue;
        }
        // A folder brings only its pictures; its other files are no mistake of the user.
        for (const std::string& picture :
             picturesInFolder(QFile::encodeName(info.absoluteFilePath()).toStdString())) {
            appendPath(QFile::decodeName(picture.c_str()), false);
        }
    }
}

void BatchDialog::clearList()
{
    if (isRunning()) {
        return;
    }
    m_list->setRowCount(0);
    clearPreview();
}

void BatchDialog::removeSelected()
{
    if (isRunning()) {
        return;
    }
    QList<int> rows;
    for (const QModelIndex& index : m_list->selectionModel()->selectedRows()) {
        rows << index.row();
    }
    std::sort(rows.begin(), rows.end(), std::greater<int>());
    for (int row : rows) {
        m_list->removeRow(row);
        if (row == m_previewRow) {
            m_previewRow = -1;
        } else if (row < m_previewRow) {
            --m_previewRow;
        }
    }
    if (m_list->rowCount() == 0) {
        clearPreview();
    }
}

QStringList BatchDialog::listedFiles() const
{
    QStringList files;
    for (int row = 0; row < m_list->rowCount(); ++row) {
        files << m_list->item(row, 1)->text() + m_list->item(row, 0)->text();
    }
    return files;
}

void BatchDialog::previewRow(int row)
{
    if (row < 0 || row >= m_list->rowCount()) {
        return;
    }
    const QString path = m_list->item(row, 1)->text() + m_list->item(row, 0)->text();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    Image picture;
    PictureMetadata metadata;
    auto exif = std::make_unique<ExifData>();
    // A file that does not open says so in the info line, without a box; its EXIF boxes wait
    // for the run. Opened as the run opens it, so the lengths chosen on it mean the same there.
    const bool ok =
        openWorkingPicture(QFile::encodeName(path).toStdString(), picture, *exif, 0, true,
                           nullptr, &metadata)
            .ok();
    QApplication::restoreOverrideCursor();
    if (!ok) {
        // The preview shows the selected row or nothing: another file's picture would pass
        // for this one's.
        clearPreview();
        m_info->setText(QString::asprintf(utf8(text(Strings::BatchPreviewFailed)).constData(),
                                          utf8(m_list->item(row, 0)->text()).constData()));
        m_info->setCursorPosition(0);
        return;
    }
    m_view->setPicture(nullptr);
    m_preview = std::move(picture);
    // A CMYK photo's inks go to the screen through its profile, as on the photo page.
    m_previewShown = cmykScreenCopy(QFile::encodeName(path).toStdString(), metadata.icc, 0,
                                    m_preview);
    if (m_previewShown.isEmpty())
        m_previewShown = srgbDisplayCopy(m_preview, metadata.icc);
    m_previewExif = std::move(exif);
    m_previewRow = row;
    m_view->setPicture(&m_preview, &m_previewShown);
    m_view->fitWindow();
    m_info->setText(QString::asprintf(utf8(text(Strings::BatchInfoLine)).constData(),
                                      utf8(m_list->item(row, 0)->text()).constData(),
                                      m_preview.width(), m_preview.height(),
                                      formatNumber(m_preview.dpi(), -1).c_str()));
    m_info->setCursorPosition(0);
}

void BatchDialog::clearPreview()
{
    m_view->setPicture(nullptr);
    m_preview = Image();
    m_previewShown = Image();
    m_previewExif.reset();
    m_previewRow = -1;
    m_info->clear();
}

void BatchDialog::chooseFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(
        this, text(Strings::ChooseOutputFolder), m_folder->text());
    if (!folder.isEmpty()) {
        m_folder->setText(folder);
    }
}

void BatchDialog::typeChanged()
{
    m_optionsButton->setEnabled(optionsPage(chosenType()) && !isRunning());
}

ImageFormat BatchDialog::chosenType() const
{
    return ImageFormat(m_type->currentData().toInt());
}

QDialog* BatchDialog::optionsPage(ImageFormat format) const
{
    switch (format) {
        case ImageFormat::Jpeg:
            return m_jpegOptions;
        case ImageFormat::Tiff:
            return m_tiffOptions;
        case ImageFormat::Webp:
            return m_webpOptions;
        default:
            return nullptr;
    }
}

void BatchDialog::showOptions()
{
    if (QDialog* page = optionsPage(chosenType())) {
        page->exec();
    }
}

bool BatchDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_list && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        removeSelected();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void BatchDialog::dragEnterEvent(QDragEnterEvent* event)
{
    if (event->mimeData()->hasUrls() && !isRunning()) {
        event->acceptProposedAction();
    }
}

void BatchDialog::dropEvent(QDropEvent* event)
{
    if (addDropped(event->mimeData())) {
        event->acceptProposedAction();
    }
}

bool BatchDialog::addDropped(const QMimeData* mime)
{
    QStringList paths;
    for (const QUrl& url : mime->urls()) {
        if (url.isLocalFile()) {
            paths << url.toLocalFile();
        }
    }
    if (paths.isEmpty() || isRunning()) {
        return false;
    }
    addPaths(paths);
    return true;
}

}  // namespace tavelune::gui
