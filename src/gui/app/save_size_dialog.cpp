// The save size choice: full or working size, and what full size does to lengths.
#include "gui/app/save_size_dialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/controls/dialog_buttons.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

SaveSizeDialog::SaveSizeDialog(QSize working, QSize full, QSize fullKeptLengths, QWidget* parent)
    : QDialog(parent), m_fullSize(full), m_fullKeptSize(fullKeptLengths)
{
    setWindowTitle(text(Strings::SaveSizeCaption));
    m_working = new QRadioButton(
        text(Strings::SaveWorkingSize).arg(working.width()).arg(working.height()), this);
    m_full = new QRadioButton(this);
    m_working->setObjectName("workingSizeChoice");
    m_full->setObjectName("fullSizeChoice");
    auto* sizes = new QButtonGroup(this);
    sizes->addButton(m_full);
    sizes->addButton(m_working);

    // What the full size does to lengths chosen on the preview, said and chosen where the
    // size is chosen.
    m_scaledLengths = new QRadioButton(text(Strings::SaveFullSizeNote), this);
    m_scaledLengths->setObjectName("scaledLengthsChoice");
    m_keptLengths = new QRadioButton(text(Strings::SaveKeepPrintLengths), this);
    m_keptLengths->setObjectName("keptLengthsChoice");
    auto* lengths = new QButtonGroup(this);
    lengths->addButton(m_scaledLengths);
    lengths->addButton(m_keptLengths);
    m_full->setChecked(true);
    m_scaledLengths->setChecked(true);
    showFullSize();
    connect(m_full, &QRadioButton::toggled, this, [this](bool on) {
        m_scaledLengths->setEnabled(on);
        m_keptLengths->setEnabled(on);
    });
    connect(m_keptLengths, &QRadioButton::toggled, this, &SaveSizeDialog::showFullSize);

    QDialogButtonBox* buttons = okCancelButtons(this).box;

    auto* lengthRows = new QVBoxLayout;
    lengthRows->setContentsMargins(20, 0, 0, 0);
    lengthRows->addWidget(m_scaledLengths);
    lengthRows->addWidget(m_keptLengths);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_full);
    layout->addLayout(lengthRows);
    layout->addWidget(m_working);
    layout->addSpacing(6);
    layout->addWidget(buttons);
}

void SaveSizeDialog::showFullSize()
{
    const QSize size = m_keptLengths->isChecked() ? m_fullKeptSize : m_fullSize;
    m_full->setText(text(Strings::SaveFullSize).arg(size.width()).arg(size.height()));
}

bool SaveSizeDialog::fullSizeChosen() const
{
    return m_full->isChecked();
}

void SaveSizeDialog::chooseFullSize(bool full)
{
    (full ? m_full : m_working)->setChecked(true);
}

PrintLengths SaveSizeDialog::printLengths() const
{
    return m_keptLengths->isChecked() ? PrintLengths::KeptAtSize : PrintLengths::Scaled;
}

void SaveSizeDialog::choosePrintLengths(PrintLengths lengths)
{
    (lengths == PrintLengths::KeptAtSize ? m_keptLengths : m_scaledLengths)->setChecked(true);
}

}  // namespace tavelune::gui
