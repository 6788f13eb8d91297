// The save size choice: two radio buttons and OK / Cancel.
#include "gui/app/save_size_dialog.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/support/string_table.h"

namespace tavelune::gui {

SaveSizeDialog::SaveSizeDialog(QSize working, QSize full, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(text(Strings::SaveSizeCaption));
    m_working = new QRadioButton(
        text(Strings::SaveWorkingSize).arg(working.width()).arg(working.height()), this);
    m_full =
        new QRadioButton(text(Strings::SaveFullSize).arg(full.width()).arg(full.height()), this);
    m_working->setObjectName("workingSizeChoice");
    m_full->setObjectName("fullSizeChoice");
    m_full->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(text(Strings::OkButton), QDialogButtonBox::AcceptRole);
    buttons->addButton(text(Strings::CancelButton), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    // What the full size does to lengths chosen on the preview, said where it is chosen.
    auto* note = new QLabel(text(Strings::SaveFullSizeNote), this);
    note->setObjectName("fullSizeNote");
    note->setIndent(20);
    note->setEnabled(false);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_full);
    layout->addWidget(note);
    layout->addWidget(m_working);
    layout->addSpacing(6);
    layout->addWidget(buttons);
}

bool SaveSizeDialog::fullSizeChosen() const
{
    return m_full->isChecked();
}

void SaveSizeDialog::chooseFullSize(bool full)
{
    (full ? m_full : m_working)->setChecked(true);
}

}  // namespace tavelune::gui
