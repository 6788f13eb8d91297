// The EXIF information list: every entry of the current picture's EXIF data, by directory.
#pragma once

#include <QList>
#include <QTableWidget>
#include <vector>

#include "exif/exif_list.h"

class QAction;

namespace tavelune::gui {

class ExifListWidget : public QTableWidget {
    Q_OBJECT

public:
    static constexpr int kNameWidth = 105;
    static constexpr int kValueWidth = 148;
    /// The value column after a fill, leaving room for the scroll bar. The column is never
    /// narrower, and grows to fill a wider list.
    static constexpr int kFilledValueWidth = 131;
    /// The name column grows to its longest name up to this.
    static constexpr int kMaxNameWidth = 150;

    explicit ExifListWidget(QWidget* parent = nullptr);

    /// Rebuilds the rows from exif in the active language; null empties the list. The list
    /// keeps the pointer for its delete commands, so exif must outlive it or the next fill.
    void fillExifList(ExifData* exif);
    int nameColumnWidth() const;
    ExifData* exifData() const { return m_exif; }
    /// The rows as shown, with their item values.
    const std::vector<ExifListRow>& listRows() const { return m_rows; }

    /// The context menu's items in order (separators included).
    QList<QAction*> contextMenuActions() const { return m_menuActions; }
    QAction* copyAction() const { return m_copy; }
    QAction* deleteSelectedAction() const { return m_deleteSelected; }
    QAction* deleteExifAction() const { return m_deleteExif; }
    QAction* selectAllAction() const { return m_selectAll; }

    /// The context menu's commands.
    void copySelection();
    void deleteSelection();
    void deleteExif();

signals:
    /// Entries were removed from the EXIF data (in memory only).
    void exifChanged();

protected:
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool viewportEvent(QEvent* event) override;

private:
    void fitValueColumn();
    void showRows();
    void updateCommands();
    std::vector<std::size_t> selectedRowIndices() const;

    ExifData* m_exif = nullptr;
    int m_valueWidth = kValueWidth;  // the least width of the value column
    std::vector<ExifListRow> m_rows;
    QAction* m_copy;
    QAction* m_deleteSelected;
    QAction* m_deleteExif;
    QAction* m_selectAll;
    QList<QAction*> m_menuActions;
};

}  // namespace tavelune::gui
