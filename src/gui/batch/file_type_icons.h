// Small icons of the batch list, one per picture type.
#pragma once

#include <QIcon>

namespace tavelune::gui {

/// 20 x 18 icon of a list type index (0 JPEG, 1 TIFF, 2 PSD, 3 GIF, 4 BMP, 5 PNG); a null icon
/// for any other index.
QIcon fileTypeIcon(int index);

}  // namespace tavelune::gui
