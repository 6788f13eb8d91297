// The save flow's choice between the working picture and the full-size original.
#pragma once

#include <QDialog>

class QRadioButton;

namespace tavelune::gui {

/// Shows both sizes in pixels; full size is chosen when the dialog opens.
class SaveSizeDialog : public QDialog {
    Q_OBJECT
public:
    SaveSizeDialog(QSize working, QSize full, QWidget* parent = nullptr);

    bool fullSizeChosen() const;
    void chooseFullSize(bool full);

private:
    QRadioButton* m_working = nullptr;
    QRadioButton* m_full = nullptr;
};

}  // namespace tavelune::gui
