// Lazy filling of the EXIF editor's catalogue combo boxes.
#include "gui/exif/equipment_combo.h"

#include <QAbstractItemView>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>

namespace tavelune::gui {

namespace {

QStringList toStringList(const std::vector<std::string>& items)
{
    QStringList list;
    list.reserve(static_cast<qsizetype>(items.size()));
    for (const std::string& item : items) list << QString::fromStdString(item);
    return list;
}

}  // namespace

void setUpEditableCombo(QComboBox* combo, int characters)
{
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setSizeAdjustPolicy(QComboBox::AdjustToMinimumContentsLengthWithIcon);
    combo->setMinimumContentsLength(characters);
    combo->setMaxVisibleItems(20);
}

EquipmentCombo::EquipmentCombo(EquipmentTable table, QWidget* parent)
    : QComboBox(parent), m_table(table)
{
    setUp();
}

EquipmentCombo::EquipmentCombo(std::function<QString()> makerText, QWidget* parent)
    : QComboBox(parent), m_makerText(std::move(makerText))
{
    setUp();
}

void EquipmentCombo::setUp()
{
    setUpEditableCombo(this, 18);
    // The completer would search the half-filled list; the popup is what the catalogue is for.
    setCompleter(nullptr);
}

void EquipmentCombo::fillForFocus()
{
    ComboState state;
    state.text = currentText().toStdString();
    for (int i = 0; i < count(); ++i) state.items.push_back(itemText(i).toStdString());
    if (m_makerText) {
        focusModelCombo(state, m_makerText().toStdString());
    } else {
        if (!state.items.empty())
            return;
        focusEquipmentCombo(state, m_table);
    }
    const QString text = currentText();
    blockSignals(true);
    clear();
    addItems(toStringList(state.items));
    setCurrentIndex(-1);
    setEditText(text);
    blockSignals(false);
    fitPopupToItems();
    if (state.textSelected)
        lineEdit()->selectAll();
}

void EquipmentCombo::fitPopupToItems()
{
    // The field is narrow; the list drops down as wide as its longest name so none is cut.
    const QFontMetrics metrics(view()->font());
    int widest = 0;
    for (int i = 0; i < count(); ++i) {
        widest = std::max(widest, metrics.horizontalAdvance(itemText(i)));
    }
    const int chrome = 2 * view()->frameWidth() + style()->pixelMetric(QStyle::PM_ScrollBarExtent) +
                       2 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin) + 16;
    view()->setMinimumWidth(std::max(width(), widest + chrome));
}

void EquipmentCombo::focusInEvent(QFocusEvent* event)
{
    fillForFocus();
    QComboBox::focusInEvent(event);
    if (m_makerText)
        lineEdit()->selectAll();
}

}  // namespace tavelune::gui
