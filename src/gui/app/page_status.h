// What the photo page's status line says.
#pragma once

#include <QString>

#include "engine/image.h"

namespace tavelune::gui {

/// The picture (fileName empty: pasted) and its size, or the result's size while it is
/// current, or that it is out of date.
QString pageStatusText(const Image& source, const QString& fileName, const Image& result,
                       bool resultCurrent);

}  // namespace tavelune::gui
