// Which items of the image view's context menu exist and which are available.
// Layer view: the image view's zoom, scroll and composition; sits on engine.
#pragma once

#include "view/image_view_model.h"

namespace tavelune {

struct ViewMenuItems {
    bool zoomItems = false;  // zoom in, zoom out, actual pixels, fit window, print size
    bool zoomInEnabled = false;
    bool zoomOutEnabled = false;
    bool actualPixelsEnabled = false;
    bool snapshotEnabled = false;
    bool hasCut = false;
    bool cutEnabled = false;
    bool hasCopy = false;
    bool copyEnabled = false;
    bool hasPaste = false;
    bool pasteEnabled = false;
    friend bool operator==(const ViewMenuItems&, const ViewMenuItems&) = default;
};

/// The menu for the view's present state; clipboardHasPicture tells whether paste can work.
ViewMenuItems viewMenuItems(const ImageViewModel& model, bool clipboardHasPicture);

}  // namespace tavelune
