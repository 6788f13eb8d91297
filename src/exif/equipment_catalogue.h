// The built-in camera and equipment lists the editor's combo boxes offer.
#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace tavelune {

struct EquipmentRow {
    const char* brand;
    const char* model;
    const char* kind;  // camera or lens class, film kind; kept but never shown
};

enum class EquipmentTable { CameraModels, Lenses, Filters, Films, FlashUnits, Scanners };

/// The 37 camera makers, in list order.
std::span<const char* const> cameraMakers();

/// A table's rows, sorted by brand (the terminating row is not included).
std::span<const EquipmentRow> equipmentRows(EquipmentTable table);

/// Every row as brand + " " + model, in table order.
std::vector<std::string> equipmentItems(EquipmentTable table);

/// The camera-model rows whose joined text begins with the maker text (blanks trimmed from
/// both ends of it, compared without regard to case over its length); empty matches all.
std::vector<std::string> cameraModelItems(std::string_view makerText);

/// A combo box's items, text and selection, for the lazy fill on focus.
struct ComboState {
    std::vector<std::string> items;
    std::string text;
    int selected = -1;
    bool textSelected = false;
};

/// An equipment combo is filled on its first focus only.
void focusEquipmentCombo(ComboState& combo, EquipmentTable table);
/// The model combo is refilled on every focus for the maker text; its own text is put back,
/// selected whole, and no item is selected.
void focusModelCombo(ComboState& combo, std::string_view makerText);
/// Choosing an item puts its text into the combo.
void chooseComboItem(ComboState& combo, int index);

}  // namespace tavelune
