// The index print dialog binds its controls to the core's sheet renderer and the save path.
#include "gui/indexprint/index_print_dialog.h"

#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QToolButton>
#include <QVBoxLayout>

#include "engine/format_dispatch.h"
#include "engine/format_table.h"
#include "engine/image_codec.h"
#include "engine/safe_write.h"
#include "engine/colour_profile.h"
#include "gui/controls/colour_button.h"
#include "gui/controls/message_box.h"
#include "gui/engine/jpeg_options_dialog.h"
#include "gui/engine/tiff_options_dialog.h"
#include "gui/engine/webp_options_dialog.h"
#include "gui/indexprint/index_file_list.h"
#include "gui/overlay/open_picture.h"
#include "gui/overlay/picture_preview.h"
#include "gui/support/app_settings.h"
#include "gui/support/file_filters.h"
#include "gui/support/shown_boxes.h"
#include "gui/support/string_table.h"
#include "gui/view/image_view.h"
#include "indexprint/index_items.h"
#include "indexprint/index_layout.h"
#include "indexprint/index_messages.h"
#include "indexprint/sheet_file_name.h"
#include "overlay/overlay_settings.h"

namespace tavelune::gui {

namespace {

constexpr uint32_t kPreviewGrey = 0xFF808080;

std::string toLocal(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

QString styleText(const IndexLayoutEntry& entry)
{
    QString label = QString::fromLatin1(entry.sizeText);
    if (entry.photoPrint)
        label += text(Strings::IndexPrintWord);
    return label.trimmed();
}

}  // namespace

IndexPrintDialog::IndexPrintDialog(QWidget* parent)
    : QDialog(parent), m_runner(new IndexRenderRunner(this))
{
    setWindowTitle(text(Strings::IndexCaption));
    setObjectName("indexPrintDialog");
    setModal(true);
    auto* layout = new QHBoxLayout(this);
    m_settingsPanel = buildSettings();
    layout->addWidget(m_settingsPanel);
    layout->addWidget(buildPreview(), 1);
    resize(1180, 700);

    connect(m_runner, &IndexRenderRunner::progressChanged, m_progress, &QProgressBar::setValue);
    connect(m_runner, &IndexRenderRunner::finished, this, &IndexPrintDialog::onRenderFinished);
    setRendering(false);
}

IndexPrintDialog::~IndexPrintDialog()
{
    // The view must let go of the sheet before it goes.
    m_sheetView->setPicture(nullptr);
    m_runner->abandon();
}

QWidget* IndexPrintDialog::buildSettings()
{
    auto* panel = new QWidget(this);
    panel->setFixedWidth(440);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);
    // Each part goes into the column as soon as it is made: the form's labels join the panel
    // then, and the order things join in is the order Tab walks.
    column->addWidget(buildFileListGroup(panel), 1);
    buildSheetOptions(panel, column);
    column->addLayout(buildTextForm(panel));
    column->addLayout(buildLogoRow(panel));
    connectSettings();
    return panel;
}

QGroupBox* IndexPrintDialog::buildFileListGroup(QWidget* panel)
{
    auto* group = new QGroupBox(text(Strings::IndexListGroup), panel);
    auto* groupLayout = new QVBoxLayout(group);
    m_list = new IndexFileList(group);
    m_list->setObjectName("imageList");
    groupLayout->addWidget(m_list, 1);
    auto* listButtons = new QHBoxLayout;
    auto button = [&](int id, const char* name) {
        auto* b = new QPushButton(text(id), group);
        b->setObjectName(name);
        b->setAutoDefault(false);
        listButtons->addWidget(b);
        return b;
    };
    m_loadButton = button(Strings::IndexAddFiles, "loadFiles");
    m_clearButton = button(Strings::IndexClearList, "clearList");
    m_deleteButton = button(Strings::IndexRemove, "deleteItems");
    listButtons->addStretch(1);
    groupLayout->addLayout(listButtons);
    return group;
}

void IndexPrintDialog::buildSheetOptions(QWidget* panel, QVBoxLayout* column)
{
    m_fillBox = new QCheckBox(text(Strings::IndexFillCells), panel);
    m_fillBox->setObjectName("fillCells");
    m_fillBox->setChecked(true);
    column->addWidget(m_fillBox);
    // Sideways portraits make a wrong sheet; turning them is what a photographer expects.
    m_uprightBox = new QCheckBox(text(Strings::IndexUpright), panel);
    m_uprightBox->setObjectName("upright");
    m_uprightBox->setChecked(true);
    column->addWidget(m_uprightBox);

    auto* numberRow = new QHBoxLayout;
    m_numberBox = new QCheckBox(text(Strings::IndexNumberFrom), panel);
    m_numberBox->setObjectName("numbering");
    m_numberField = new QLineEdit(QStringLiteral("1"), panel);
    m_numberField->setObjectName("numberFrom");
    m_numberField->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,10}")), this));
    m_numberField->setMaxLength(10);
    m_numberField->setFixedWidth(100);
    m_numberField->setEnabled(false);
    numberRow->addWidget(m_numberBox);
    numberRow->addWidget(m_numberField);
    numberRow->addWidget(new QLabel(text(Strings::IndexNumberOnwards), panel));
    numberRow->addStretch(1);
    column->addLayout(numberRow);
}

QFormLayout* IndexPrintDialog::buildTextForm(QWidget* panel)
{
    auto* form = new QFormLayout;
    m_styleList = new QComboBox(panel);
    m_styleList->setObjectName("style");
    for (const IndexLayoutEntry& entry : indexLayouts()) m_styleList->addItem(styleText(entry));
    m_precisionList = new QComboBox(panel);
    m_precisionList->setObjectName("precision");
    for (const IndexResolution& resolution : indexResolutions())
        m_precisionList->addItem(text(resolution.stringId), resolution.dpi);
    m_titleField = new QLineEdit(QString::fromUtf8(indexprint::messages::kDefaultTitle), panel);
    m_titleField->setObjectName("title");
    m_signatureField = new QLineEdit(AppSettings::userName(), panel);
    m_signatureField->setObjectName("signature");
    m_contentBox = new QPlainTextEdit(panel);
    m_contentBox->setObjectName("content");
    m_contentBox->setFixedHeight(72);
    form->addRow(text(Strings::IndexLayoutLabel), m_styleList);
    form->addRow(text(Strings::IndexResolutionLabel), m_precisionList);
    form->addRow(text(Strings::IndexTitleLabel), m_titleField);
    form->addRow(text(Strings::IndexSignatureLabel), m_signatureField);
    form->addRow(text(Strings::IndexNotesLabel), m_contentBox);
    return form;
}

QLayout* IndexPrintDialog::buildLogoRow(QWidget* panel)
{
    auto* logoRow = new QHBoxLayout;
    auto* logoControls = new QVBoxLayout;
    m_logoBox = new QCheckBox(text(Strings::IndexLogo), panel);
    m_logoBox->setObjectName("logo");
    logoControls->addWidget(m_logoBox);
    auto* keyRow = new QHBoxLayout;
    keyRow->addWidget(new QLabel(text(Strings::IndexTransparent), panel));
    m_keyButton = new ColourButton(panel);
    m_keyButton->setObjectName("transparentColour");
    m_keyButton->setEnabled(false);
    keyRow->addWidget(m_keyButton);
    keyRow->addStretch(1);
    logoControls->addLayout(keyRow);
    logoControls->addStretch(1);
    logoRow->addLayout(logoControls, 1);
    m_logoPreview = new PicturePreview(panel);
    m_logoPreview->setObjectName("logoPreview");
    m_logoPreview->setFixedSize(150, 84);
    logoRow->addWidget(m_logoPreview);
    return logoRow;
}

void IndexPrintDialog::connectSettings()
{
    connect(m_loadButton, &QPushButton::clicked, this, &IndexPrintDialog::askFiles);
    connect(m_clearButton, &QPushButton::clicked, m_list, &QTreeWidget::clear);
    connect(m_deleteButton, &QPushButton::clicked, m_list, &IndexFileList::removeSelected);
    connect(m_list, &IndexFileList::filesDropped, this, &IndexPrintDialog::addFiles);
    connect(m_numberBox, &QCheckBox::toggled, m_numberField, &QWidget::setEnabled);
    connect(m_logoBox, &QCheckBox::toggled, this, &IndexPrintDialog::onLogoToggled);
    connect(m_keyButton, &ColourButton::colourChanged, this, &IndexPrintDialog::applyLogoKey);
    connect(m_logoPreview, &PicturePreview::picturePasted, this, [this](const Image& picture) {
        if (m_runner->isRunning())
            return;
        m_logo = picture;
        const QSignalBlocker block(m_logoBox);
        m_logoBox->setChecked(true);
        m_keyButton->setEnabled(true);
        m_keyButton->setColour(-1);
        applyLogoKey(-1);
    });
}

QWidget* IndexPrintDialog::buildPreview()
{
    auto* panel = new QWidget(this);
    auto* column = new QVBoxLayout(panel);
    column->setContentsMargins(0, 0, 0, 0);

    m_sheetView = new ImageView(panel);
    m_sheetView->setObjectName("sheetView");
    m_sheetView->setSunkenBorder(true);

    auto* zoomRow = new QHBoxLayout;
    const struct {
        int textId;
        int tipId;
        const char* name;
        void (ImageView::*slot)();
    } zooms[] = {
        {Strings::IndexActualPixels, Strings::ActualPixelsTip, "actualPixels",
         &ImageView::actualPixels},
        {Strings::IndexFit, Strings::FitWindowTip, "fitWindow", &ImageView::fitWindow},
        {Strings::IndexPrintSize, Strings::PrintSizeTip, "printSize", &ImageView::printSize}};
    for (const auto& zoom : zooms) {
        auto* b = new QToolButton(panel);
        b->setText(text(zoom.textId));
        b->setToolTip(text(zoom.tipId));
        b->setObjectName(zoom.name);
        b->setMinimumWidth(48);
        connect(b, &QToolButton::clicked, m_sheetView, zoom.slot);
        zoomRow->addWidget(b);
    }
    zoomRow->addStretch(1);
    column->addLayout(zoomRow);
    column->addWidget(m_sheetView, 1);

    auto* actionRow = new QHBoxLayout;
    m_generateButton = new QPushButton(text(Strings::IndexMakeSheet), panel);
    m_generateButton->setObjectName("generate");
    m_progress = new QProgressBar(panel);
    m_progress->setObjectName("progress");
    m_progress->setRange(0, IndexSheet::progressEnd(0));
    m_progress->setValue(0);
    m_progress->setTextVisible(false);
    m_cancelButton = new QPushButton(text(Strings::IndexCancel), panel);
    m_cancelButton->setObjectName("cancelRender");
    m_saveButton = new QPushButton(text(Strings::IndexSave), panel);
    m_saveButton->setObjectName("save");
    m_exitButton = new QPushButton(text(Strings::IndexClose), panel);
    m_exitButton->setObjectName("exit");
    for (QPushButton* b : {m_generateButton, m_cancelButton, m_saveButton, m_exitButton})
        b->setAutoDefault(false);
    actionRow->addWidget(m_generateButton);
    actionRow->addWidget(m_progress, 1);
    actionRow->addWidget(m_cancelButton);
    actionRow->addSpacing(20);
    actionRow->addWidget(m_saveButton);
    actionRow->addWidget(m_exitButton);
    column->addLayout(actionRow);

    connect(m_generateButton, &QPushButton::clicked, this, &IndexPrintDialog::generate);
    connect(m_cancelButton, &QPushButton::clicked, this, &IndexPrintDialog::cancelRender);
    connect(m_saveButton, &QPushButton::clicked, this, &IndexPrintDialog::askSave);
    connect(m_exitButton, &QPushButton::clicked, this, &IndexPrintDialog::reject);
    return panel;
}

int IndexPrintDialog::addFiles(const QStringList& paths)
{
    int added = 0;
    for (const QString& path : paths) {
        IndexItem item;
        if (!splitIndexItem(toLocal(path), item)) {
            const QByteArray format = text(Strings::IndexSkipped).toUtf8();
            showMessageBox(this, QString::asprintf(format.constData(), path.toUtf8().constData()));
            continue;
        }
        m_list->appendItem(item);
        ++added;
    }
    return added;
}

void IndexPrintDialog::askFiles()
{
    const QStringList paths = QFileDialog::getOpenFileNames(
        this, text(Strings::IndexAddCaption), AppSettings::lastFolder("open"), pictureFileFilter());
    if (paths.isEmpty())
        return;
    AppSettings::setLastFolder("open", QFileInfo(paths.first()).absolutePath());
    addFiles(paths);
}

bool IndexPrintDialog::loadLogo(const QString& path)
{
    ImageHandle handle;
    const ImageStatus read = handle.open(toLocal(path));
    showNotices(imageNotices(read));
    const bool opened = read && handle.image() && !handle.image()->isEmpty();
    if (opened)
        m_logo = *handle.image();
    const QSignalBlocker block(m_logoBox);
    m_logoBox->setChecked(opened);
    if (!opened) {
        clearLogo();
        return false;
    }
    m_keyButton->setEnabled(true);
    m_keyButton->setColour(-1);
    applyLogoKey(-1);
    return true;
}

void IndexPrintDialog::onLogoToggled(bool on)
{
    if (!on) {
        clearLogo();
        return;
    }
    const QString path = askPictureFile(this, AppSettings::lastFolder("open"));
    if (path.isEmpty()) {
        const QSignalBlocker block(m_logoBox);
        m_logoBox->setChecked(false);
        return;
    }
    loadLogo(path);
}

void IndexPrintDialog::clearLogo()
{
    m_logo = Image();
    m_logoPreview->showPicture(m_logo);
    m_keyButton->setColour(-1);
    m_keyButton->setEnabled(false);
}

void IndexPrintDialog::applyLogoKey(int colour)
{
    if (m_logo.isEmpty())
        return;
    const ColourKey key = transparentColourKey(colour);
    m_logo.setColourKey(key.low, key.high, key.opacity);
    m_logoPreview->showPicture(m_logo);
}

IndexRenderRequest IndexPrintDialog::request() const
{
    IndexRenderRequest r;
    r.style = m_styleList->currentIndex();
    r.dpi = float(m_precisionList->currentData().toInt());
    r.title = m_titleField->text().toStdString();
    r.signature = m_signatureField->text().toStdString();
    r.content = m_contentBox->toPlainText().toStdString();
    r.fitMode = m_fillBox->isChecked() ? kFitFill : kFitInside;
    r.upright = m_uprightBox->isChecked();
    // An empty field reads 0, which like any number below 1 shows plain captions.
    r.numberFrom = m_numberBox->isChecked() ? m_numberField->text().toLongLong() : -1;
    r.hasLogo = m_logoBox->isChecked() && !m_logo.isEmpty();
    if (r.hasLogo)
        r.logo = m_logo;
    r.items = m_list->items();
    return r;
}

bool IndexPrintDialog::generate()
{
    if (m_runner->isRunning())
        return false;
    IndexRenderRequest r = request();
    m_progress->setRange(0, IndexSheet::progressEnd(r.items.size()));
    m_progress->setValue(0);
    if (!m_runner->start(std::move(r)))
        return false;
    setRendering(true);
    return true;
}

void IndexPrintDialog::cancelRender()
{
    m_runner->cancel();
}

void IndexPrintDialog::onRenderFinished(IndexRenderRunner::Outcome outcome)
{
    for (const SheetPictureBoxes& picture : m_runner->takePictureBoxes()) {
        const SheetPictureBox box = sheetPictureBox(picture);
        showMessage(box.text, box.caption, box.icon);
    }
    if (outcome == IndexRenderRunner::Outcome::Done) {
        std::unique_ptr<IndexSheet> done = m_runner->takeSheet();
        m_sheetView->setPicture(&done->sheet());
        m_sheet = std::move(done);
        m_progress->setValue(m_progress->maximum());
    }
    setRendering(false);
    if (outcome != IndexRenderRunner::Outcome::Done) {
        m_progress->setValue(0);
        if (outcome == IndexRenderRunner::Outcome::Failed) {
            const QByteArray format = text(Strings::IndexNoMemory).toUtf8();
            showMessageBox(this,
                           QString::asprintf(format.constData(), m_runner->pageWidth(),
                                             m_runner->pageHeight()),
                           QMessageBox::Warning);
        }
    }
    emit renderFinished(outcome);
}

void IndexPrintDialog::setRendering(bool on)
{
    m_settingsPanel->setEnabled(!on);
    m_generateButton->setEnabled(!on);
    m_saveButton->setEnabled(!on && m_sheet);
    m_exitButton->setEnabled(!on);
    m_cancelButton->setEnabled(on);
    if (on)
        setCursor(Qt::BusyCursor);
    else
        unsetCursor();
}

QString IndexPrintDialog::proposedFileName() const
{
    return QString::fromStdString(sheetFileName(m_titleField->text().toStdString()));
}

void IndexPrintDialog::askSave()
{
    if (!m_sheet || m_runner->isRunning())
        return;
    QFileDialog dialog(this, text(Strings::IndexSaveCaption), AppSettings::lastFolder("save"),
                       savePictureFilter());
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setDefaultSuffix(QStringLiteral("jpg"));
    // A name typed without extension takes the type chosen in the filter list.
    connect(&dialog, &QFileDialog::filterSelected, &dialog, [&dialog](const QString& filter) {
        static const QRegularExpression firstPattern(QStringLiteral("\\*\\.(\\w+)"));
        const QRegularExpressionMatch match = firstPattern.match(filter);
        if (match.hasMatch())
            dialog.setDefaultSuffix(match.captured(1));
    });
    dialog.selectFile(proposedFileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return;
    const QString path = dialog.selectedFiles().first();
    AppSettings::setLastFolder("save", QFileInfo(path).absolutePath());
    saveSheetTo(path);
}

bool IndexPrintDialog::saveSheetTo(const QString& path)
{
    if (!m_sheet)
        return false;
    const Image& sheet = m_sheet->sheet();
    const FormatRow* row = findFormat(QFileInfo(path).suffix().toStdString());
    const std::optional<ImageFormat> format =
        row && row->writes ? std::optional<ImageFormat>(row->format) : std::nullopt;
    const std::string file = toLocal(path);
    removeStaleTemporaries(file);  // left by a run that was killed
    // A sheet is a new picture of sRGB numbers: tagged so, and nothing of its sources.
    const PictureMetadata srgb = srgbOnlyMetadata();
    ImageStatus saved = ImageError::UnsupportedFormat;
    if (format == ImageFormat::Jpeg) {
        JpegOptionsDialog options(this);
        options.hideMetadataBoxes();  // a sheet has no metadata of its own
        if (options.exec() != QDialog::Accepted)
            return false;
        saved = saveImage(file, sheet, *format, options.quality(), &srgb);
    } else if (format == ImageFormat::Tiff) {
        TiffOptionsDialog options(this);
        options.hideMetadataBoxes();
        if (options.exec() != QDialog::Accepted)
            return false;
        saved = saveImage(file, sheet, *format, options.compression(), &srgb);
    } else if (format == ImageFormat::Webp) {
        WebpOptionsDialog options(this, false);
        if (options.exec() != QDialog::Accepted)
            return false;
        saved = saveImage(file, sheet, *format, options.codecOptions(), &srgb);
    } else if (format) {
        saved = saveImage(file, sheet, *format);
    } else {
        showMessageBox(this, text(Strings::UnsupportedSaveFormat));
        return false;
    }
    showNotices(imageNotices(saved));
    if (!saved)
        showMessageBox(this, text(Strings::SaveFailed).arg(path), QMessageBox::Warning);
    return saved.ok();
}

void IndexPrintDialog::keyPressEvent(QKeyEvent* event)
{
    // Enter in a field must not close the dialog.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

void IndexPrintDialog::closeEvent(QCloseEvent* event)
{
    m_runner->abandon();
    setRendering(false);
    QDialog::closeEvent(event);
}

void IndexPrintDialog::reject()
{
    // Escape during a render stops the render; the dialog stays.
    if (m_runner->isRunning()) {
        cancelRender();
        return;
    }
    // A list of pictures is work a stray Escape must not throw away.
    if (!m_list->items().empty() &&
        askQuestion(this, text(Strings::IndexCloseQuestion), QMessageBox::Yes | QMessageBox::No,
                    QMessageBox::No) != QMessageBox::Yes) {
        return;
    }
    QDialog::reject();
}

}  // namespace tavelune::gui
