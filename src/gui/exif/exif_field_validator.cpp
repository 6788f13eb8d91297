// Keystroke checks of the EXIF editor's typed fields.
#include "gui/exif/exif_field_validator.h"

#include <QLineEdit>
#include <QPlainTextEdit>

#include "exif/field_edit_rule.h"

namespace tavelune::gui {

ExifFieldValidator::ExifFieldValidator(EditorField field, QLineEdit* edit)
    : QValidator(edit), m_field(field), m_edit(edit), m_last(edit->text())
{
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_last = text; });
}

QValidator::State ExifFieldValidator::validate(QString& input, int& /*pos*/) const
{
    const std::string text = input.toStdString();
    if (acceptsFieldText(m_field, text))
        return Acceptable;
    // Text the program sets (a list item's name) leaves no undo step and is not refused:
    // the line edit stops checking keys after any text it was told is invalid.
    if (!m_edit->isUndoAvailable())
        return Intermediate;
    return acceptsFieldEdit(m_field, m_last.toStdString(), text) ? Intermediate : Invalid;
}

void limitPlainText(QPlainTextEdit* edit, EditorField field)
{
    QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [edit, field] {
        if (!acceptsFieldText(field, edit->toPlainText().toStdString()) &&
            edit->document()->isUndoAvailable())
            edit->undo();
    });
}

}  // namespace tavelune::gui
