// Framing a picture with a mat and a border.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "engine/image.h"
#include "engine/image_error.h"
#include "overlay/border_settings.h"

namespace tavelune {

/// Reads a picture file into out; false (after telling the user) when it cannot.
using PictureLoader = std::function<bool(const std::string& path, Image& out)>;

/// The pixel widths applyBorder works with, after the unit conversion and the side rules.
struct BorderGeometry {
    Rect mat;     // left, top, right, bottom margins of the mat
    Rect border;  // left, top, right, bottom widths of the border
};

/// Converts the page's widths at dpi and applies the rules that tie them to a W x H photo:
/// an inside border no wider than the photo, an outside border always lying on the mat.
BorderGeometry borderGeometry(const BorderSettings& settings, int W, int H, double dpi);

/// The border colour with the page's opacity as its alpha (100 gives 255, 50 gives 127).
uint32_t borderPixel(const BorderSettings& settings);

/// Frames image in place and returns the mat margins (left, top, right, bottom); all zeros
/// and the picture alone when the page is disabled. When the canvas cannot be made (over the
/// pixel limit, out of memory) it fails with CanvasFailed and the picture is left alone: a
/// frame asked for is never dropped silently. The mat picture is read with load (the image
/// file dispatch when none is given).
Result<Rect, ImageError> applyBorder(Image& image, const BorderSettings& settings,
                                     const PictureLoader& load = {});

}  // namespace tavelune
