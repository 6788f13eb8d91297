// The context menu's items and their graying, from the view's zoom and picture.
#include "view/view_menu.h"

#include "view/zoom_steps.h"

namespace tavelune {

ViewMenuItems viewMenuItems(const ImageViewModel& model, bool clipboardHasPicture)
{
    const bool picture = model.hasPicture();
    ViewMenuItems items;
    items.zoomItems = model.zoomMenu();
    items.zoomInEnabled = model.zoom() < kMaxZoom;
    items.zoomOutEnabled = model.zoom() > kMinZoom;
    items.actualPixelsEnabled = model.zoom() != 1.0f;
    items.snapshotEnabled = picture;
    items.hasCut = model.cutEnabled();
    items.cutEnabled = picture;
    items.hasCopy = model.copyEnabled();
    items.copyEnabled = picture;
    items.hasPaste = model.pasteEnabled();
    items.pasteEnabled = clipboardHasPicture;
    return items;
}

}  // namespace tavelune
