// The photo page's right column.
#include "gui/app/page_info_column.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "gui/app/page_commands.h"
#include "gui/controls/icons.h"
#include "gui/exif/exif_list_widget.h"
#include "gui/histogram/histogram_panel_widget.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {

PageInfoColumn::PageInfoColumn(QAction* editExif, QWidget* parent)
    : QWidget(parent), m_panel(new HistogramPanelWidget(this)), m_exifList(new ExifListWidget(this))
{
    setFixedWidth(260);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(2);
    auto* exifEditor =
        new QPushButton(buttonIcon(ButtonIcon::ExifEditor), text(Strings::ExifEditorButton), this);
    exifEditor->setObjectName("exifEditorButton");
    exifEditor->setToolTip(text(Strings::ExifEditorTip));
    bindButton(exifEditor, editExif);
    connect(m_exifList, &ExifListWidget::exifChanged, m_panel,
            &HistogramPanelWidget::refreshSummary);
    layout->addWidget(m_panel);
    layout->addWidget(exifEditor);
    layout->addWidget(m_exifList, 1);
}

}  // namespace tavelune::gui
