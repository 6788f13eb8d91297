// Crossing between the engine's bottom-up BGRA pictures and Qt's top-down images.
#pragma once

#include <QImage>

#include "engine/image.h"

namespace tavelune::gui {

/// A top-down ARGB32 copy (the same 0xAARRGGBB values); a null QImage for an empty picture.
QImage toQImage(const Image& image);

/// A picture imported as a device-independent bitmap would be: every pixel opaque, dpi from the
/// horizontal dots per metre x 0.0254, rounded. False for a null image or no memory.
bool importQImage(const QImage& source, Image& out);

}  // namespace tavelune::gui
