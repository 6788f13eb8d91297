// Asks how fine a film look's 3D LUT is: points per axis of a .cube, or a HaldCLUT's level.
#pragma once

#include <QDialog>

#include "job/lut_export.h"

class QComboBox;

namespace tavelune::gui {

/// Offers the two sizes of the format, the finer one first chosen; the last choice per
/// format is kept for the next dialog.
class LutSizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit LutSizeDialog(LutFormat format, QWidget* parent = nullptr);

    /// The chosen size, as LutChoice::size takes it.
    int size() const;

    void accept() override;

private:
    LutFormat m_format;
    QComboBox* m_sizes;
};

}  // namespace tavelune::gui
