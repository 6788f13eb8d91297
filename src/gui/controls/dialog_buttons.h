// The OK and Cancel row of the program's dialogs.
#pragma once

#include <QDialog>
#include <QDialogButtonBox>
#include <QPushButton>

#include "strings/text_ids.h"

namespace tavelune::gui {

struct DialogButtons {
    QDialogButtonBox* box;
    QPushButton* ok;
    QPushButton* cancel;
};

/// OK (the default button) and Cancel, wired to the dialog's accept and reject.
DialogButtons okCancelButtons(QDialog* dialog, int okText = Strings::OkButton,
                              int cancelText = Strings::CancelButton);

}  // namespace tavelune::gui
