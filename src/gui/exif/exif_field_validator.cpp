// Keystroke checks of the EXIF editor's typed fields.
#include "gui/exif/exif_field_validator.h"

#include <QLineEdit>
#include <QPlainTextEdit>

namespace tavelune::gui {

ExifFieldValidator::ExifFieldValidator(EditorField field, QLineEdit* edit)
    : QValidator(edit), m_field(field), m_last(edit->text())
{
    connect(edit, &QLineEdit::textChanged, this, [this](const QString& text) { m_last = text; });
}

QValidator::State ExifFieldValidator::validate(QString& input, int& /*pos*/) const
{
    if (acceptsFieldText(m_field, input.toStdString()))
        return Acceptable;
    return input.size() < m_last.size() ? Intermediate : Invalid;
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
