// JPEG options dialog: binds the quality edit, preset list, slider and EXIF box to the model.
#include "gui/engine/jpeg_options_dialog.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFocusEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QSignalBlocker>
#include <QSlider>
#include <QVBoxLayout>
#include <iterator>

#include "gui/controls/dialog_buttons.h"
#include "gui/controls/message_box.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

JpegOptionsDialog::JpegOptionsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(text(Strings::JpegOptionsTitle));

    m_qualityEdit = new QLineEdit(this);
    m_qualityEdit->setObjectName("quality");
    m_qualityEdit->setMaxLength(3);
    m_qualityEdit->setValidator(
        new QRegularExpressionValidator(QRegularExpression("[0-9]{0,3}"), m_qualityEdit));
    m_qualityEdit->setMaximumWidth(m_qualityEdit->fontMetrics().horizontalAdvance("0000") + 16);
    m_qualityEdit->installEventFilter(this);

    m_presetList = new QComboBox(this);
    m_presetList->setObjectName("preset");
    const Strings::Id presetNames[] = {Strings::QualityLow, Strings::QualityMedium,
                                       Strings::QualityHigh, Strings::QualityMaximum};
    static_assert(std::size(presetNames) == JpegOptionsModel::kPresetCount);
    for (int i = 0; i < JpegOptionsModel::kPresetCount; ++i)
        m_presetList->addItem(text(presetNames[i]), JpegOptionsModel::kPresets[i].quality);

    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setObjectName("qualitySlider");
    m_slider->setRange(JpegOptionsModel::kSliderMinimum, JpegOptionsModel::kSliderMaximum);
    m_slider->setSingleStep(JpegOptionsModel::kSliderLine);
    m_slider->setPageStep(JpegOptionsModel::kSliderPage);
    m_slider->setMinimumWidth(200);

    m_keepExifBox = new QCheckBox(text(Strings::KeepExif), this);
    m_keepExifBox->setObjectName("keepExif");
    m_stripMetadataBox = new QCheckBox(text(Strings::RemoveOtherMetadata), this);
    m_stripMetadataBox->setObjectName("stripMetadata");

    QGroupBox* group = buildCompressionGroup();

    const DialogButtons row = okCancelButtons(this);
    QDialogButtonBox* buttons = row.box;
    m_okButton = row.ok;
    m_cancelButton = row.cancel;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_keepExifBox);
    layout->addWidget(m_stripMetadataBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connectControls();
    openModel();
}

QGroupBox* JpegOptionsDialog::buildCompressionGroup()
{
    auto* group = new QGroupBox(text(Strings::JpegCompressionGroup), this);
    auto* grid = new QGridLayout(group);
    auto* qualityLabel = new QLabel(text(Strings::QualityLabel), group);
    qualityLabel->setBuddy(m_qualityEdit);
    auto* qualityRow = new QHBoxLayout;
    qualityRow->addWidget(qualityLabel);
    qualityRow->addWidget(m_qualityEdit);
    qualityRow->addWidget(m_presetList, 1);
    grid->addLayout(qualityRow, 0, 0, 1, 3);
    grid->addWidget(new QLabel(text(Strings::SmallerFile), group), 1, 0);
    grid->addWidget(m_slider, 1, 1);
    grid->addWidget(new QLabel(text(Strings::LargerFile), group), 1, 2);
    grid->setColumnStretch(1, 1);
    return group;
}

void JpegOptionsDialog::connectControls()
{
    // Only the user's own changes drive the model; showModel() blocks the echoes.
    connect(m_qualityEdit, &QLineEdit::textEdited, this, [this](const QString& typed) {
        m_model.editQuality(typed.toStdString());
        showModel();
    });
    connect(m_presetList, &QComboBox::activated, this, [this](int item) {
        m_model.choosePreset(item);
        showModel();
    });
    connect(m_slider, &QSlider::valueChanged, this, [this](int position) {
        m_model.moveSlider(position);
        showModel();
    });
    connect(m_keepExifBox, &QCheckBox::toggled, this,
            [this](bool ticked) { m_model.setKeepExifBox(ticked); });
    connect(m_stripMetadataBox, &QCheckBox::toggled, this, [this](bool ticked) {
        m_model.setStripMetadataBox(ticked);
        showModel();
    });
}

void JpegOptionsDialog::setModel(const JpegOptionsModel& model)
{
    m_result = model;
    openModel();
}

void JpegOptionsDialog::showEvent(QShowEvent* event)
{
    openModel();
    m_qualityEdit->setFocus();
    m_qualityEdit->selectAll();
    QDialog::showEvent(event);
}

void JpegOptionsDialog::openModel()
{
    m_model = m_result;
    m_model.open();
    showModel();
}

void JpegOptionsDialog::showModel()
{
    const QString quality = QString::fromStdString(m_model.qualityText());
    if (m_qualityEdit->text() != quality)
        m_qualityEdit->setText(quality);
    const QSignalBlocker blockSlider(m_slider);
    const QSignalBlocker blockBox(m_keepExifBox);
    const QSignalBlocker blockStrip(m_stripMetadataBox);
    m_presetList->setCurrentIndex(m_model.presetIndex());
    m_slider->setValue(m_model.sliderPosition());
    m_keepExifBox->setChecked(m_model.keepExifBox());
    m_stripMetadataBox->setChecked(m_model.stripMetadataBox());
    // Removing the metadata removes the EXIF data too: the other box has no say then.
    m_keepExifBox->setEnabled(!m_model.stripMetadataBox());
}

void JpegOptionsDialog::hideMetadataBoxes()
{
    m_keepExifBox->hide();
    m_stripMetadataBox->hide();
}

bool JpegOptionsDialog::replaceOutOfRangeQuality()
{
    if (!m_model.replaceOutOfRangeQuality())
        return false;
    showModel();
    showMessageBox(this, text(Strings::QualityRange), QMessageBox::Warning);
    return true;
}

bool JpegOptionsDialog::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_qualityEdit && event->type() == QEvent::FocusOut) {
        // A popup (the edit's own menu) or another window taking over is not leaving the edit,
        // and OK or Cancel decide for themselves; the focus has already moved when this runs.
        const Qt::FocusReason reason = static_cast<QFocusEvent*>(event)->reason();
        QWidget* next = QApplication::focusWidget();
        const bool toButton = next && (next == m_okButton || next == m_cancelButton);
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason && !toButton)
            replaceOutOfRangeQuality();
    }
    return QDialog::eventFilter(watched, event);
}

void JpegOptionsDialog::accept()
{
    // The user sees the value put in place of an out-of-range one before it is used.
    if (replaceOutOfRangeQuality()) {
        m_qualityEdit->setFocus();
        m_qualityEdit->selectAll();
        return;
    }
    m_model.accept();
    m_result = m_model;
    QDialog::accept();
}

}  // namespace tavelune::gui
