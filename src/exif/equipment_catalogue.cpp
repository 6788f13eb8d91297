// Combo filling from the equipment tables.
#include "exif/equipment_catalogue.h"

#include <cctype>

#include "exif/equipment_data.h"

namespace tavelune {
namespace {

std::span<const EquipmentRow> rowsBeforeEnd(std::span<const EquipmentRow> table)
{
    std::size_t n = 0;
    while (n < table.size() && table[n].brand != nullptr) ++n;
    return table.first(n);
}

std::string joined(const EquipmentRow& row)
{
    return std::string(row.brand) + " " + row.model;
}

std::string_view trimmed(std::string_view text)
{
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
        text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
        text.remove_suffix(1);
    return text;
}

}  // namespace

std::span<const char* const> cameraMakers()
{
    const auto all = equipment::makerList();
    std::size_t n = 0;
    while (n < all.size() && all[n] != nullptr) ++n;
    return all.first(n);
}

std::span<const EquipmentRow> equipmentRows(EquipmentTable table)
{
    switch (table) {
        case EquipmentTable::CameraModels:
            return rowsBeforeEnd(equipment::cameraRows());
        case EquipmentTable::Lenses:
            return rowsBeforeEnd(equipment::lensRows());
        case EquipmentTable::Filters:
            return rowsBeforeEnd(equipment::filterRows());
        case EquipmentTable::Films:
            return rowsBeforeEnd(equipment::filmRows());
        case EquipmentTable::FlashUnits:
            return rowsBeforeEnd(equipment::flashRows());
        case EquipmentTable::Scanners:
            return rowsBeforeEnd(equipment::scannerRows());
    }
    return {};
}

std::vector<std::string> equipmentItems(EquipmentTable table)
{
    std::vector<std::string> items;
    for (const EquipmentRow& row : equipmentRows(table)) items.push_back(joined(row));
    return items;
}

std::vector<std::string> cameraModelItems(std::string_view makerText)
{
    const std::string_view maker = trimmed(makerText);
    std::vector<std::string> items;
    for (const EquipmentRow& row : equipmentRows(EquipmentTable::CameraModels)) {
        std::string text = joined(row);
        if (text.size() < maker.size())
            continue;
        bool match = true;
        for (std::size_t i = 0; match && i < maker.size(); ++i)
            match = std::tolower(static_cast<unsigned char>(text[i])) ==
                    std::tolower(static_cast<unsigned char>(maker[i]));
        if (match)
            items.push_back(std::move(text));
    }
    return items;
}

void focusEquipmentCombo(ComboState& combo, EquipmentTable table)
{
    if (combo.items.empty())
        combo.items = equipmentItems(table);
}

void focusModelCombo(ComboState& combo, std::string_view makerText)
{
    combo.items = cameraModelItems(makerText);
    combo.selected = -1;
    combo.textSelected = true;
}

void chooseComboItem(ComboState& combo, int index)
{
    if (index < 0 || static_cast<std::size_t>(index) >= combo.items.size())
        return;
    combo.selected = index;
    combo.text = combo.items[static_cast<std::size_t>(index)];
}

}  // namespace tavelune
