// TIFF options dialog: binds the two compression buttons and the EXIF box to the model.
#include "gui/engine/tiff_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/controls/dialog_buttons.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

TiffOptionsDialog::TiffOptionsDialog(QWidget* parent) : QDialog(parent)
{
    setWindowTitle(text(Strings::TiffOptionsTitle));

    auto* group = new QGroupBox(text(Strings::TiffCompressionGroup), this);
    m_uncompressed = new QRadioButton(text(Strings::TiffUncompressed), group);
    m_uncompressed->setObjectName("uncompressed");
    m_lzw = new QRadioButton(text(Strings::TiffLzw), group);
    m_lzw->setObjectName("lzw");
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addWidget(m_uncompressed);
    groupLayout->addWidget(m_lzw);

    m_keepExifBox = new QCheckBox(text(Strings::KeepExif), this);
    m_keepExifBox->setObjectName("keepExif");
    m_stripMetadataBox = new QCheckBox(text(Strings::RemoveOtherMetadata), this);
    m_stripMetadataBox->setObjectName("stripMetadata");

    QDialogButtonBox* buttons = okCancelButtons(this).box;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_keepExifBox);
    layout->addWidget(m_stripMetadataBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);

    connect(m_uncompressed, &QRadioButton::toggled, this,
            [this](bool on) { m_model.selectUncompressed(on); });
    connect(m_keepExifBox, &QCheckBox::toggled, this,
            [this](bool ticked) { m_model.setKeepExifBox(ticked); });
    connect(m_stripMetadataBox, &QCheckBox::toggled, this,
            [this](bool ticked) {
                m_model.setStripMetadataBox(ticked);
                showStripBox();
            });

    openModel();
}

void TiffOptionsDialog::setModel(const TiffOptionsModel& model)
{
    m_model = model;
    openModel();
}

void TiffOptionsDialog::showEvent(QShowEvent* event)
{
    openModel();
    QDialog::showEvent(event);
}

void TiffOptionsDialog::openModel()
{
    m_model.open();
    const bool uncompressed = m_model.uncompressedSelected();
    const bool keep = m_model.keepExifBox();
    (uncompressed ? m_uncompressed : m_lzw)->setChecked(true);
    m_keepExifBox->setChecked(keep);
    m_stripMetadataBox->setChecked(m_model.stripMetadataBox());
    showStripBox();
}

// Removing the metadata removes the EXIF data too: the other box has no say then.
void TiffOptionsDialog::showStripBox()
{
    m_keepExifBox->setEnabled(!m_model.stripMetadataBox());
}

void TiffOptionsDialog::hideMetadataBoxes()
{
    m_keepExifBox->hide();
    m_stripMetadataBox->hide();
}

void TiffOptionsDialog::accept()
{
    m_model.accept();
    QDialog::accept();
}

}  // namespace tavelune::gui
