// The image size dialog: pixel size, document size and resolution with their units.
#pragma once

#include <QDialog>
#include <array>

#include "engine/image_size_model.h"

class QCheckBox;
class QComboBox;
class QLineEdit;

namespace tavelune::gui {

/// Collects a new pixel size and resolution; the caller resizes the picture after OK.
class ImageSizeDialog : public QDialog {
    Q_OBJECT
public:
    explicit ImageSizeDialog(QWidget* parent = nullptr);

    /// Starting size and resolution (pixels per inch), before the dialog is shown.
    void setValues(int width, int height, double dpi);
    /// After OK: width, height and pixels per inch chosen; otherwise the starting values.
    ImageSizeValues getValues() const { return m_model.getValues(); }
    const ImageSizeModel& model() const { return m_model; }

    QLineEdit* edit(SizeField field) const { return m_edits[index(field)]; }
    QComboBox* unitList(SizeField field) const { return m_units[index(field)]; }

public slots:
    void accept() override;

private:
    static size_t index(SizeField field) { return static_cast<size_t>(field); }
    /// Each field's edit and unit list, bound to the model.
    void createFields();
    /// Shows the model; the edit being typed into keeps its own text and cursor.
    void showModel(QLineEdit* typing = nullptr);
    QString validationText(const SizeValidation& check) const;

    ImageSizeModel m_model;
    std::array<QLineEdit*, 5> m_edits{};
    std::array<QComboBox*, 5> m_units{};
    QCheckBox* m_constrainBox;
    QCheckBox* m_resampleBox;
};

}  // namespace tavelune::gui
