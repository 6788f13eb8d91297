// The EXIF editor's maker, model and equipment combo boxes, filled from the built-in catalogues.
#pragma once

#include <QComboBox>
#include <functional>

#include "exif/equipment_catalogue.h"

namespace tavelune::gui {

/// An editable combo whose list comes from a catalogue when it gets the keyboard focus: an
/// equipment table on the first focus only, the camera models of the maker text on every one.
class EquipmentCombo : public QComboBox {
    Q_OBJECT
public:
    /// A combo of one equipment table, filled once.
    EquipmentCombo(EquipmentTable table, QWidget* parent);
    /// The camera-model combo: refilled on every focus with the rows of makerText().
    EquipmentCombo(std::function<QString()> makerText, QWidget* parent);

    /// What a focus does, for the paths that give no focus event.
    void fillForFocus();
    /// The drop-down list's width: the longest entry, whatever the field's own width.
    void fitPopupToItems();

protected:
    void focusInEvent(QFocusEvent* event) override;

private:
    void setUp();

    EquipmentTable m_table = EquipmentTable::CameraModels;
    std::function<QString()> m_makerText;  // set for the model combo only
};

/// An editable combo with no insertion on Return and a width that does not follow its items.
void setUpEditableCombo(QComboBox* combo, int characters);

}  // namespace tavelune::gui
