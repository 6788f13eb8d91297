// The index print's list of pictures: caption (editable in place), file name, folder, type.
#pragma once

#include <QStringList>
#include <QTreeWidget>
#include <vector>

#include "indexprint/index_items.h"

namespace tavelune::gui {

class IndexFileList : public QTreeWidget {
    Q_OBJECT
public:
    enum Column { kLabel = 0, kFileName = 1, kFolder = 2, kType = 3 };

    explicit IndexFileList(QWidget* parent = nullptr);

    void appendItem(const IndexItem& item);
    /// The rows in list order, with the captions as edited.
    std::vector<IndexItem> items() const;
    void removeSelected();

signals:
    /// Local files were dropped on the list, in the order the drop listed them.
    void filesDropped(const QStringList& paths);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;
};

}  // namespace tavelune::gui
