// Keystroke checks of the EXIF editor's typed fields, over the core's input rules.
#pragma once

#include <QValidator>

#include "exif/exif_editor_model.h"

class QLineEdit;
class QPlainTextEdit;

namespace tavelune::gui {

/// Refuses a keystroke or a paste whose resulting text breaks the field's rule, whatever was
/// selected; a deletion always passes, even from a text the rule would not take (such as a
/// list item's name).
class ExifFieldValidator : public QValidator {
    Q_OBJECT
public:
    ExifFieldValidator(EditorField field, QLineEdit* edit);

    State validate(QString& input, int& pos) const override;
    EditorField field() const { return m_field; }

private:
    EditorField m_field;
    QLineEdit* m_edit;
    QString m_last;  // the text the edit holds before the change being checked
};

/// The same refusal for a multi-line edit, which has no validator: a change that breaks the
/// rule is undone whole.
void limitPlainText(QPlainTextEdit* edit, EditorField field);

}  // namespace tavelune::gui
