// The save flow's choice between the working picture and the full-size original.
#pragma once

#include <QDialog>

#include "job/scale_settings.h"

class QLabel;
class QRadioButton;

namespace tavelune::gui {

/// Shows both sizes in pixels; full size is chosen when the dialog opens, with every length
/// grown with the picture. fullKeptLengths is the full size when lengths in mm, cm and in
/// keep their size on the print instead.
class SaveSizeDialog : public QDialog {
    Q_OBJECT
public:
    SaveSizeDialog(QSize working, QSize full, QSize fullKeptLengths, QWidget* parent = nullptr);

    bool fullSizeChosen() const;
    void chooseFullSize(bool full);
    /// Counts only when full size is chosen.
    PrintLengths printLengths() const;
    void choosePrintLengths(PrintLengths lengths);

private:
    void showFullSize();

    QSize m_fullSize;
    QSize m_fullKeptSize;
    QRadioButton* m_working = nullptr;
    QRadioButton* m_full = nullptr;
    QRadioButton* m_scaledLengths = nullptr;
    QRadioButton* m_keptLengths = nullptr;
};

}  // namespace tavelune::gui
