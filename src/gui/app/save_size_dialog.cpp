// The save size choice: two radio buttons and OK / Cancel.
#include "gui/app/save_size_dialog.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/app/string_table.h"
#include "gui/engine/engine_text_ids.h"

namespace tavelune::gui {

namespace {

constexpr int kCaption = 60400;
constexpr int kWorkingSize = 60401;
constexpr int kFullSize = 60402;

}  // namespace

SaveSizeDialog::SaveSizeDialog(QSize working, QSize full, QWidget* parent) : QDialog(parent)
{
    setWindowTitle(text(kCaption));
    m_working =
        new QRadioButton(text(kWorkingSize).arg(working.width()).arg(working.height()), this);
    m_full = new QRadioButton(text(kFullSize).arg(full.width()).arg(full.height()), this);
    m_working->setObjectName("workingSizeChoice");
    m_full->setObjectName("fullSizeChoice");
    m_full->setChecked(true);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(text(ids::kOk), QDialogButtonBox::AcceptRole);
    buttons->addButton(text(ids::kCancel), QDialogButtonBox::RejectRole);
    ok->setDefault(true);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_full);
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
