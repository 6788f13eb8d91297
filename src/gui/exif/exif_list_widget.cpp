// Binds the EXIF list's rows, copy text and delete rules to a two-column table.
#include "gui/exif/exif_list_widget.h"

#include <QAction>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QEvent>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <algorithm>

#include "gui/exif/exif_list_icons.h"
#include "gui/support/string_table.h"

namespace tavelune::gui {
namespace {

const QColor kRowColour(48, 48, 48);
const QColor kHeaderColour(0, 0, 255);

std::string languageCode()
{
    return activeLanguageCode().toStdString();
}

QAction* separator(QObject* parent)
{
    auto* action = new QAction(parent);
    action->setSeparator(true);
    return action;
}

}  // namespace

ExifListWidget::ExifListWidget(QWidget* parent) : QTableWidget(0, 2, parent)
{
    setHorizontalHeaderLabels({text(Strings::NameColumn), text(Strings::InformationColumn)});
    horizontalHeader()->setSectionsClickable(false);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    // The list is as narrow as the histogram panel; at the desktop's usual 9 or 10 points most
    // tag names and dates would not fit their columns.
    QFont small = font();
    if (small.pointSizeF() > 8)
        small.setPointSizeF(8);
    setFont(small);
    horizontalHeader()->setFont(small);
    setColumnWidth(0, kNameWidth);
    fitValueColumn();
    connect(horizontalHeader(), &QHeaderView::sectionResized, this, [this](int section) {
        if (section == 0)
            fitValueColumn();
    });
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 4);
    setShowGrid(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setWordWrap(false);
    setTextElideMode(Qt::ElideRight);
    setIconSize(QSize(16, 16));
    // The space below the last row matches the rows rather than a white page.
    QPalette colours = palette();
    colours.setColor(QPalette::Base, kRowColour);
    colours.setColor(QPalette::Text, Qt::white);
    setPalette(colours);

    m_copy = new QAction(text(Strings::CopyItem), this);
    m_copy->setShortcut(QKeySequence::Copy);
    m_deleteSelected = new QAction(text(Strings::DeleteItem), this);
    m_deleteSelected->setShortcut(QKeySequence::Delete);
    m_deleteExif = new QAction(text(Strings::DeleteItem) + " Exif", this);
    m_selectAll = new QAction(text(Strings::SelectAllItem), this);
    m_selectAll->setShortcut(QKeySequence::SelectAll);
    for (QAction* action : {m_copy, m_deleteSelected, m_selectAll}) {
        action->setShortcutContext(Qt::WidgetShortcut);
        addAction(action);
    }
    m_menuActions = {m_copy,       m_deleteSelected, separator(this),
                     m_deleteExif, separator(this),  m_selectAll};
    connect(m_copy, &QAction::triggered, this, &ExifListWidget::copySelection);
    connect(m_deleteSelected, &QAction::triggered, this, &ExifListWidget::deleteSelection);
    connect(m_deleteExif, &QAction::triggered, this, &ExifListWidget::deleteExif);
    connect(m_selectAll, &QAction::triggered, this, &QAbstractItemView::selectAll);
    connect(selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &ExifListWidget::updateCommands);
    updateCommands();
}

void ExifListWidget::fillExifList(ExifData* exif)
{
    m_exif = exif;
    m_rows.clear();
    if (exif != nullptr)
        m_rows = buildExifListRows(*exif, languageCode());
    showRows();
    m_valueWidth = kFilledValueWidth;
    setColumnWidth(0, nameColumnWidth());
    fitValueColumn();
}

int ExifListWidget::nameColumnWidth() const
{
    // As wide as the longest name, but never so wide that the values have no room left.
    int widest = 0;
    const QFontMetrics metrics(font());
    for (int row = 0; row < rowCount(); ++row) {
        if (columnSpan(row, 0) > 1) {
            continue;
        }
        if (const QTableWidgetItem* name = item(row, 0)) {
            widest = std::max(widest, metrics.horizontalAdvance(name->text()));
        }
    }
    const int wanted = widest + iconSize().width() + 14;
    return std::clamp(wanted, kNameWidth, std::max(kNameWidth, kMaxNameWidth));
}

void ExifListWidget::fitValueColumn()
{
    setColumnWidth(1, std::max(m_valueWidth, viewport()->width() - columnWidth(0)));
}

// The viewport, not the widget: it also narrows when the scroll bar appears.
bool ExifListWidget::viewportEvent(QEvent* event)
{
    if (event->type() == QEvent::Resize)
        fitValueColumn();
    return QTableWidget::viewportEvent(event);
}

void ExifListWidget::showRows()
{
    clearSpans();
    clearContents();
    setRowCount(int(m_rows.size()));
    for (int index = 0; index < int(m_rows.size()); ++index) {
        const ExifListRow& row = m_rows[std::size_t(index)];
        const bool header = row.kind == ExifListRow::Kind::Header;
        QString name = row.kind == ExifListRow::Kind::Entry ? QString::fromStdString(row.name)
                                                            : text(row.stringId);
        const QString value = QString::fromStdString(row.value);
        auto* nameItem = new QTableWidgetItem(exifGroupIcon(header ? row.stringId : 0), name);
        auto* valueItem = new QTableWidgetItem(value);
        // The columns are narrow: the whole row is one hover away.
        const QString whole = header || value.isEmpty() ? name : name + QStringLiteral(": ") + value;
        nameItem->setToolTip(whole);
        valueItem->setToolTip(whole);
        for (QTableWidgetItem* item : {nameItem, valueItem}) {
            item->setData(Qt::UserRole, row.itemValue);
            item->setBackground(row.itemValue == 0 ? kHeaderColour : kRowColour);
            item->setForeground(Qt::white);
            item->setFlags(Qt::ItemIsSelectable | Qt::ItemIsEnabled);
        }
        setItem(index, 0, nameItem);
        setItem(index, 1, valueItem);
        // A group's title may use the whole width.
        if (header)
            setSpan(index, 0, 1, 2);
    }
    updateCommands();
}

std::vector<std::size_t> ExifListWidget::selectedRowIndices() const
{
    std::vector<std::size_t> indices;
    for (const QModelIndex& index : selectionModel()->selectedRows())
        indices.push_back(std::size_t(index.row()));
    std::sort(indices.begin(), indices.end());
    return indices;
}

void ExifListWidget::updateCommands()
{
    const std::vector<std::size_t> selected = selectedRowIndices();
    ExifListMenuState state;
    if (m_exif != nullptr)
        state = exifListMenuState(*m_exif, m_rows, selected);
    // Copying an empty selection would only wipe the clipboard.
    m_copy->setEnabled(!selected.empty());
    m_deleteSelected->setEnabled(state.deleteSelected);
    m_deleteExif->setEnabled(state.deleteExif);
    m_selectAll->setEnabled(!m_rows.empty());
}

void ExifListWidget::contextMenuEvent(QContextMenuEvent* event)
{
    updateCommands();
    QMenu::exec(m_menuActions, event->globalPos(), nullptr, this);
}

void ExifListWidget::copySelection()
{
    const std::vector<std::size_t> selected = selectedRowIndices();
    if (selected.empty())
        return;
    const std::string copied = exifListCopyText(m_rows, selected, languageCode());
    QGuiApplication::clipboard()->setText(QString::fromStdString(copied));
}

void ExifListWidget::deleteSelection()
{
    updateCommands();
    if (m_exif == nullptr || !m_deleteSelected->isEnabled())
        return;
    const int firstVisible = rowAt(0);
    if (deleteSelectedRows(*m_exif, m_rows, selectedRowIndices()) == 0)
        return;
    showRows();
    if (firstVisible >= 0 && firstVisible < rowCount())
        scrollToItem(item(firstVisible, 0), QAbstractItemView::PositionAtTop);
    emit exifChanged();
}

void ExifListWidget::deleteExif()
{
    if (m_exif == nullptr || m_exif->IsEmpty())
        return;
    m_rows = deleteAllEntries(*m_exif, languageCode());
    showRows();
    emit exifChanged();
}

}  // namespace tavelune::gui
