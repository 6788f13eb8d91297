// The photo page's right column: the histogram panel, the EXIF editor's button, the EXIF list.
#pragma once

#include <QWidget>

class QAction;

namespace tavelune::gui {

class ExifListWidget;
class HistogramPanelWidget;

/// A change made in the list refreshes the panel's summary line.
class PageInfoColumn : public QWidget {
    Q_OBJECT
public:
    /// editExif: the action the editor's button triggers and whose enabled state it follows.
    PageInfoColumn(QAction* editExif, QWidget* parent);

    HistogramPanelWidget* panel() const { return m_panel; }
    ExifListWidget* exifList() const { return m_exifList; }

private:
    HistogramPanelWidget* m_panel;
    ExifListWidget* m_exifList;
};

}  // namespace tavelune::gui
