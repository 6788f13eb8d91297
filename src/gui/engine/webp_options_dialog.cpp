// WebP options dialog: the quality box is off while lossless is ticked.
#include "gui/engine/webp_options_dialog.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

#include "engine/webp_codec.h"
#include "gui/controls/dialog_buttons.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

WebpOptionsDialog::WebpOptionsDialog(QWidget* parent, bool showKeepExif)
    : QDialog(parent), m_quality(kWebpDefaultQuality)
{
    setWindowTitle(text(Strings::WebpOptionsTitle));
    m_qualityBox = new QSpinBox(this);
    m_qualityBox->setObjectName("quality");
    m_qualityBox->setRange(1, 100);
    m_losslessBox = new QCheckBox(text(Strings::WebpLossless), this);
    m_losslessBox->setObjectName("lossless");
    m_keepExifBox = new QCheckBox(text(Strings::KeepExif), this);
    m_keepExifBox->setObjectName("keepExif");
    m_keepExifBox->setVisible(showKeepExif);

    auto* form = new QFormLayout;
    form->addRow(text(Strings::WebpQualityLabel), m_qualityBox);
    QDialogButtonBox* buttons = okCancelButtons(this).box;
    connect(m_losslessBox, &QCheckBox::toggled, m_qualityBox, &QSpinBox::setDisabled);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(m_losslessBox);
    layout->addWidget(m_keepExifBox);
    layout->addWidget(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

int WebpOptionsDialog::codecOptions() const
{
    return m_lossless ? kWebpLossless : m_quality;
}

void WebpOptionsDialog::showEvent(QShowEvent* event)
{
    m_qualityBox->setValue(m_quality);
    m_losslessBox->setChecked(m_lossless);
    m_qualityBox->setDisabled(m_lossless);
    m_keepExifBox->setChecked(m_keepExif);
    QDialog::showEvent(event);
}

void WebpOptionsDialog::accept()
{
    m_quality = m_qualityBox->value();
    m_lossless = m_losslessBox->isChecked();
    m_keepExif = m_keepExifBox->isChecked();
    QDialog::accept();
}

}  // namespace tavelune::gui
