// The LUT size dialog: a list of the two offered sizes with a line on what they mean.
#include "gui/film/lut_size_dialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "gui/support/string_table.h"

namespace tavelune::gui {
namespace {

// Finer first: it follows the film more closely, which is why anyone exports it.
int g_lastCubeSize = 65;
int g_lastHaldLevel = 12;

}  // namespace

LutSizeDialog::LutSizeDialog(LutFormat format, QWidget* parent)
    : QDialog(parent), m_format(format), m_sizes(new QComboBox(this))
{
    setWindowTitle(text(Strings::LutExportTitle));
    m_sizes->setObjectName("lutSize");
    const bool cube = format == LutFormat::Cube;
    const int cubeSizes[] = {65, 33};
    const int haldLevels[] = {12, 8};
    for (int size : cube ? cubeSizes : haldLevels) {
        const int side = size * size * size;
        QString item = cube ? QStringLiteral("%1 x %1 x %1").arg(size)
                            : QStringLiteral("%1 (%2 x %2)").arg(size).arg(side);
        m_sizes->addItem(item, size);
    }
    m_sizes->setCurrentIndex(
        std::max(0, m_sizes->findData(cube ? g_lastCubeSize : g_lastHaldLevel)));

    auto* hint = new QLabel(text(Strings::LutSizeHint), this);
    hint->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);

    auto* form = new QFormLayout;
    form->addRow(text(cube ? Strings::LutCubeSizeLabel : Strings::LutHaldLevelLabel), m_sizes);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(hint);
    layout->addWidget(buttons);
    setMinimumWidth(320);
}

int LutSizeDialog::size() const
{
    return m_sizes->currentData().toInt();
}

void LutSizeDialog::accept()
{
    (m_format == LutFormat::Cube ? g_lastCubeSize : g_lastHaldLevel) = size();
    QDialog::accept();
}

}  // namespace tavelune::gui
