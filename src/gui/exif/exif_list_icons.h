// Small pictures for the EXIF list's group headers, drawn in code.
#pragma once

#include <QIcon>

namespace tavelune::gui {

/// The icon of a group header by its string id (file, image, shooting, interoperability);
/// a null icon for any other id.
QIcon exifGroupIcon(int headerStringId);

}  // namespace tavelune::gui
