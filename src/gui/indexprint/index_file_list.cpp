// The picture list: in-place caption editing, the Delete key and dropped files.
#include "gui/indexprint/index_file_list.h"

#include <QDropEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMimeData>
#include <QStyledItemDelegate>
#include <QUrl>

#include "gui/support/string_table.h"

namespace tavelune::gui {

namespace {

QStringList localFiles(const QMimeData* data)
{
    QStringList paths;
    if (!data || !data->hasUrls())
        return paths;
    for (const QUrl& url : data->urls()) {
        if (url.isLocalFile())
            paths << url.toLocalFile();
    }
    return paths;
}

QString fromLocal(const std::string& text)
{
    return QFile::decodeName(QByteArray::fromStdString(text));
}

std::string toLocal(const QString& text)
{
    return QFile::encodeName(text).toStdString();
}

// The caption is the one column a user may change.
class LabelOnlyDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem& option,
                          const QModelIndex& index) const override
    {
        if (index.column() != IndexFileList::kLabel)
            return nullptr;
        return QStyledItemDelegate::createEditor(parent, option, index);
    }
};

}  // namespace

IndexFileList::IndexFileList(QWidget* parent) : QTreeWidget(parent)
{
    setColumnCount(4);
    setHeaderLabels({text(Strings::CaptionColumn), text(Strings::FileNameColumn),
                     text(Strings::FolderColumn), text(Strings::TypeColumn)});
    setColumnWidth(kLabel, 160);
    setColumnWidth(kFileName, 140);
    setColumnWidth(kFolder, 400);
    // The type only decides what is accepted; it stays out of sight.
    setColumnHidden(kType, true);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::DoubleClicked | QAbstractItemView::EditKeyPressed |
                    QAbstractItemView::SelectedClicked);
    setAcceptDrops(true);
    viewport()->setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DropOnly);
    header()->setStretchLastSection(false);
    setItemDelegate(new LabelOnlyDelegate(this));
}

void IndexFileList::appendItem(const IndexItem& item)
{
    auto* row = new QTreeWidgetItem(this);
    // The label starts as the file's base name, so it is decoded like a file name.
    row->setText(kLabel, fromLocal(item.label));
    row->setText(kFileName, fromLocal(item.fileName));
    row->setText(kFolder, fromLocal(item.folder));
    row->setText(kType, fromLocal(item.extension));
    row->setFlags(row->flags() | Qt::ItemIsEditable);
}

std::vector<IndexItem> IndexFileList::items() const
{
    std::vector<IndexItem> list;
    list.reserve(size_t(topLevelItemCount()));
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* row = topLevelItem(i);
        list.push_back(IndexItem{row->text(kLabel).toStdString(), toLocal(row->text(kFileName)),
                                 toLocal(row->text(kFolder)), toLocal(row->text(kType))});
    }
    return list;
}

void IndexFileList::removeSelected()
{
    qDeleteAll(selectedItems());
}

void IndexFileList::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Delete && state() != QAbstractItemView::EditingState) {
        removeSelected();
        event->accept();
        return;
    }
    QTreeWidget::keyPressEvent(event);
}

void IndexFileList::dragEnterEvent(QDragEnterEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void IndexFileList::dragMoveEvent(QDragMoveEvent* event)
{
    if (!localFiles(event->mimeData()).isEmpty())
        event->acceptProposedAction();
    else
        event->ignore();
}

void IndexFileList::dropEvent(QDropEvent* event)
{
    const QStringList paths = localFiles(event->mimeData());
    if (paths.isEmpty()) {
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    emit filesDropped(paths);
}

}  // namespace tavelune::gui
