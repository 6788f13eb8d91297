// The static rows behind the equipment catalogue, each table ended by a row with a null brand.
#pragma once

#include <span>

#include "exif/equipment_catalogue.h"

namespace tavelune::equipment {

std::span<const char* const> makerList();  // ends with a null name
std::span<const EquipmentRow> cameraRows();
std::span<const EquipmentRow> lensRows();
std::span<const EquipmentRow> filterRows();
std::span<const EquipmentRow> filmRows();
std::span<const EquipmentRow> flashRows();
std::span<const EquipmentRow> scannerRows();

}  // namespace tavelune::equipment
