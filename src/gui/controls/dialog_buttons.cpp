// The OK and Cancel row of the program's dialogs.
#include "gui/controls/dialog_buttons.h"

#include "gui/support/string_table.h"

namespace tavelune::gui {

DialogButtons okCancelButtons(QDialog* dialog, int okText, int cancelText)
{
    auto* box = new QDialogButtonBox(dialog);
    QPushButton* ok = box->addButton(text(okText), QDialogButtonBox::AcceptRole);
    ok->setDefault(true);
    QPushButton* cancel = box->addButton(text(cancelText), QDialogButtonBox::RejectRole);
    QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return {box, ok, cancel};
}

}  // namespace tavelune::gui
