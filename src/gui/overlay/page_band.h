// What the overlay and border pages share: the coloured band, the enable rule, number fields.
#pragma once

#include <QLineEdit>
#include <QValidator>

class QComboBox;

namespace tavelune::gui {

/// Height of the band across the top of a page, its line included.
inline constexpr int kPageBandHeight = 21;

/// Paints the band and the line under it across the top of page.
void paintPageBand(QWidget* page);

/// Enables or disables every child widget of page except keep.
void enableChildrenExcept(QWidget* page, QWidget* keep, bool enabled);

/// Accepts what the width and offset fields accept: up to 10 characters, 3 decimals, a
/// leading minus only where allowed.
class FieldValidator : public QValidator {
    Q_OBJECT
public:
    FieldValidator(bool allowMinus, QObject* parent);
    State validate(QString& input, int& position) const override;

private:
    bool m_allowMinus;
};

/// A width or offset field.
QLineEdit* makeNumberField(bool allowMinus, QWidget* parent);

/// The opacity field: up to three digits; a larger value than 100 is lowered to 100 when the
/// field loses the focus.
class OpacityField : public QLineEdit {
    Q_OBJECT
public:
    explicit OpacityField(QWidget* parent);
    int value() const;

protected:
    void focusOutEvent(QFocusEvent* event) override;
};

/// Fills a unit list with pixels, inches, centimetres and millimetres, each carrying its code.
void fillUnitList(QComboBox* list);
/// The unit code of the selected entry.
int selectedUnit(const QComboBox* list);
void selectUnit(QComboBox* list, int unit);

/// A field's value (0 for an empty field) and the text a value is shown as.
double numberFieldValue(const QLineEdit* field);
void setNumberField(QLineEdit* field, double value);

}  // namespace tavelune::gui
