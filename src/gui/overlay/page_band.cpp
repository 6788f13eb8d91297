// Band painting, the enable rule and the number fields of the overlay and border pages.
#include "gui/overlay/page_band.h"

#include <QComboBox>
#include <QFocusEvent>
#include <QPainter>
#include <QRegularExpressionValidator>

#include "gui/support/string_table.h"
#include "overlay/unit_fields.h"

namespace tavelune::gui {

void paintPageBand(QWidget* page)
{
    QPainter painter(page);
    painter.fillRect(QRect(0, 0, page->width(), kPageBandHeight - 1), QColor(230, 237, 250));
    painter.fillRect(QRect(0, kPageBandHeight - 1, page->width(), 1), QColor(81, 147, 195));
}

void enableChildrenExcept(QWidget* page, QWidget* keep, bool enabled)
{
    for (QWidget* child : page->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child != keep && !child->isWindow())
            child->setEnabled(enabled);
}

FieldValidator::FieldValidator(bool allowMinus, QObject* parent)
    : QValidator(parent), m_allowMinus(allowMinus)
{
}

QValidator::State FieldValidator::validate(QString& input, int&) const
{
    return acceptsFieldText(input.toStdString(), m_allowMinus) ? Acceptable : Invalid;
}

QLineEdit* makeNumberField(bool allowMinus, QWidget* parent)
{
    auto* field = new QLineEdit(parent);
    field->setValidator(new FieldValidator(allowMinus, field));
    field->setMaxLength(10);
    return field;
}

OpacityField::OpacityField(QWidget* parent) : QLineEdit(parent)
{
    setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,3}")), this));
    setMaxLength(3);
}

int OpacityField::value() const
{
    return text().toInt();
}

void OpacityField::focusOutEvent(QFocusEvent* event)
{
    const int lowered = opacityAfterEdit(value());
    if (lowered != value())
        setText(QString::number(lowered));
    QLineEdit::focusOutEvent(event);
}

void fillUnitList(QComboBox* list)
{
    const Strings::Id names[4] = {Strings::UnitPixelsShort, Strings::UnitInchesShort,
                                  Strings::UnitCentimetresShort, Strings::UnitMillimetresShort};
    for (int unit = 0; unit < 4; ++unit) list->addItem(text(names[unit]), unit);
}

int selectedUnit(const QComboBox* list)
{
    return list->currentData().toInt();
}

void selectUnit(QComboBox* list, int unit)
{
    const int index = list->findData(unit);
    list->setCurrentIndex(index < 0 ? 0 : index);
}

double numberFieldValue(const QLineEdit* field)
{
    return fieldValue(field->text().toStdString());
}

void setNumberField(QLineEdit* field, double value)
{
    field->setText(QString::fromStdString(formatFieldValue(value)));
}

}  // namespace tavelune::gui
