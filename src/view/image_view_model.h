// Zoom, scroll, fit and mouse rules of the image view, kept apart from any window system.
// Layer view: the image view's zoom, scroll and composition; sits on engine.
#pragma once

#include <cstdint>
#include <optional>

#include "engine/image.h"

namespace tavelune {

struct ViewPoint {
    int x = 0;
    int y = 0;
    friend bool operator==(const ViewPoint&, const ViewPoint&) = default;
};

/// Tools of the view; the others only choose a cursor.
enum ViewTool : int { kZoomInTool = 1, kZoomOutTool = 2, kHandTool = 3 };

inline constexpr uint32_t kViewSurround = 0xFF808080;
inline constexpr uint32_t kViewFrame = 0xFF000000;
inline constexpr uint32_t kViewOutside = 0x00FFFFFF;

/// What the owner of a view is told about: the scale and the scroll offsets.
struct ViewState {
    float zoom = 1.0f;
    int scrollX = 0;
    int scrollY = 0;
    friend bool operator==(const ViewState&, const ViewState&) = default;
};

/// The state of one image view: the picture it shows (not owned), the client size, the zoom,
/// the scroll offset of the window's top-left into the zoomed picture, and the back buffer.
/// Operations whose result the owner is to be told about return true for that; the caller
/// decides whether anything changed by comparing state() before and after.
class ImageViewModel {
public:
    ImageViewModel();

    /// Stores the pointer; with a picture, fits it to the window. True when fitting notifies.
    bool setPicture(const Image* picture);
    const Image* picture() const { return m_picture; }
    /// A picture that is not null and not the empty placeholder.
    bool hasPicture() const;
    /// Shown centred while there is no picture; an empty Image clears it.
    void setPlaceholder(const Image& placeholder) { m_placeholder = placeholder; }
    const Image& placeholder() const { return m_placeholder; }

    /// Recreates the back buffer at the new size (a zero size leaves it empty) and re-applies
    /// the scroll offsets; the owner is told.
    bool setClientSize(int width, int height);
    int clientWidth() const { return m_clientWidth; }
    int clientHeight() const { return m_clientHeight; }
    Image& backBuffer() { return m_backBuffer; }
    const Image& backBuffer() const { return m_backBuffer; }

    float zoom() const { return m_zoom; }
    int scrollX() const { return m_scrollX; }
    int scrollY() const { return m_scrollY; }
    ViewState state() const { return {m_zoom, m_scrollX, m_scrollY}; }
    /// 0, 0, round(width x zoom), round(height x zoom); empty without a picture.
    Rect zoomedRect() const { return m_zoomedRect; }

    /// Clamps to 0.01..16 and centres a zoomed picture larger than the window.
    void setZoom(float zoom);
    /// Keeps each offset within the zoomed picture; true when either offset changed.
    bool setScroll(int x, int y);
    void actualPixels() { setZoom(1.0f); }
    /// Whole picture in the window; a picture that already fits is shown at actual pixels
    /// (which alone does not notify).
    bool fitWindow();
    /// The picture's dpi mapped to printDpi, centred.
    bool printSize();
    /// One step up or down about a window point (none: the window's centre); false at the end
    /// of the ladder, where nothing changes.
    bool zoomIn(std::optional<ViewPoint> anchor = std::nullopt);
    bool zoomOut(std::optional<ViewPoint> anchor = std::nullopt);
    /// Zooms the window rectangle between a and b (mapped to the picture) to fill the window.
    bool zoomToRectangle(ViewPoint a, ViewPoint b);

    /// Window point to zoomed-picture point.
    ViewPoint toZoomed(ViewPoint windowPoint) const;
    /// The window area the picture occupies: centred on an axis where it is smaller than the
    /// window, the whole window on an axis where it is not.
    Rect pictureArea() const;

    /// Mouse tracking. beginDrag records the point; dragTo pans with the hand tool (true when
    /// the owner is to be told); endDrag runs a zoom tool's click or rubber band (true likewise).
    void beginDrag(ViewPoint point);
    bool dragTo(ViewPoint point);
    bool endDrag(ViewPoint point);
    bool dragging() const { return m_dragging; }
    /// The rubber band from the drag start to the pointer, while a zoom tool drags.
    std::optional<Rect> rubberBand() const;

    int tool() const { return m_tool; }
    void setTool(int tool) { m_tool = tool; }
    float printDpi() const { return m_printDpi; }
    void setPrintDpi(float dpi) { m_printDpi = dpi; }
    uint32_t pictureBackground() const { return m_pictureBackground; }
    void setPictureBackground(uint32_t colour) { m_pictureBackground = colour; }

    bool zoomMenu() const { return m_zoomMenu; }
    void setZoomMenu(bool on) { m_zoomMenu = on; }
    bool cutEnabled() const { return m_cutEnabled; }
    void setCutEnabled(bool on) { m_cutEnabled = on; }
    bool copyEnabled() const { return m_copyEnabled; }
    void setCopyEnabled(bool on) { m_copyEnabled = on; }
    bool pasteEnabled() const { return m_pasteEnabled; }
    void setPasteEnabled(bool on) { m_pasteEnabled = on; }

private:
    int pictureWidth() const;
    int pictureHeight() const;
    bool zoomAbout(float step, std::optional<ViewPoint> anchor);

    Image m_placeholder;
    Image m_backBuffer;
    const Image* m_picture = nullptr;
    float m_zoom = 1.0f;
    Rect m_zoomedRect;
    int m_scrollX = 0;
    int m_scrollY = 0;
    int m_clientWidth = 0;
    int m_clientHeight = 0;
    int m_tool = kHandTool;
    bool m_zoomMenu = true;
    bool m_cutEnabled = false;
    bool m_copyEnabled = false;
    bool m_pasteEnabled = false;
    float m_printDpi = 72.0f;
    uint32_t m_pictureBackground = 0xFFFFFFFF;
    ViewPoint m_dragStart;
    ViewPoint m_dragLast;
    bool m_dragging = false;
};

}  // namespace tavelune
