// Zoom, scroll, fit, print size, point mapping and the mouse tools of the image view.
#include "view/image_view_model.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "view/zoom_steps.h"

namespace tavelune {

namespace {

int roundToInt(double value)
{
    return int(std::floor(value + 0.5));
}

// Scroll arithmetic is done wide and brought back into int range before it is clamped.
int saturate(double value)
{
    if (std::isnan(value))
        return 0;
    return int(std::clamp(value, -1.0e9, 1.0e9));
}

}  // namespace

ImageViewModel::ImageViewModel()
{
    m_backBuffer.setFillColour(0xFFFFFFFF);
}

bool ImageViewModel::hasPicture() const
{
    return m_picture && !m_picture->isEmpty();
}

int ImageViewModel::pictureWidth() const
{
    return hasPicture() ? m_picture->width() : 0;
}

int ImageViewModel::pictureHeight() const
{
    return hasPicture() ? m_picture->height() : 0;
}

bool ImageViewModel::setPicture(const Image* picture)
{
    m_picture = picture;
    m_dragging = false;
    if (!hasPicture()) {
        setZoom(m_zoom);
        return false;
    }
    return fitWindow();
}

bool ImageViewModel::setClientSize(int width, int height)
{
    m_clientWidth = std::max(width, 0);
    m_clientHeight = std::max(height, 0);
    m_backBuffer.destroyPixels();
    m_backBuffer.setFillColour(0xFFFFFFFF);
    // Without memory the buffer stays empty and nothing is composed until the next size.
    if (m_clientWidth > 0 && m_clientHeight > 0)
        m_backBuffer.create(m_clientWidth, m_clientHeight, 72.0f);
    setScroll(m_scrollX, m_scrollY);
    return true;
}

void ImageViewModel::setZoom(float zoom)
{
    m_zoom = clampZoom(zoom);
    m_zoomedRect = Rect{0, 0, roundToInt(double(pictureWidth()) * m_zoom),
                        roundToInt(double(pictureHeight()) * m_zoom)};
    const int zoomedWidth = m_zoomedRect.width();
    const int zoomedHeight = m_zoomedRect.height();
    m_scrollX = zoomedWidth > m_clientWidth ? (zoomedWidth - m_clientWidth + 1) / 2 : 0;
    m_scrollY = zoomedHeight > m_clientHeight ? (zoomedHeight - m_clientHeight + 1) / 2 : 0;
}

bool ImageViewModel::setScroll(int x, int y)
{
    const int zoomedWidth = m_zoomedRect.width();
    const int zoomedHeight = m_zoomedRect.height();
    auto limit = [](int offset, int zoomed, int client) {
        if (zoomed <= client || offset < 0)
            return 0;
        return std::min(offset, zoomed - client);
    };
    const int newX = limit(x, zoomedWidth, m_clientWidth);
    const int newY = limit(y, zoomedHeight, m_clientHeight);
    const bool changed = newX != m_scrollX || newY != m_scrollY;
    m_scrollX = newX;
    m_scrollY = newY;
    return changed;
}

bool ImageViewModel::fitWindow()
{
    const int width = pictureWidth();
    const int height = pictureHeight();
    if (width <= m_clientWidth && height <= m_clientHeight) {
        actualPixels();
        return false;
    }
    const float widthZoom = float(m_clientWidth) / float(width);
    if (roundToInt(double(height) * m_clientWidth / width) < m_clientHeight)
        setZoom(widthZoom);
    else
        setZoom(float(m_clientHeight) / float(height));
    setScroll(0, 0);
    return true;
}

bool ImageViewModel::printSize()
{
    // A picture or screen without a usable resolution counts as 72 dpi rather than
    // producing an infinite or undefined scale.
    const float pictureDpi = hasPicture() && m_picture->dpi() > 0.0f ? m_picture->dpi() : 72.0f;
    const float screenDpi = m_printDpi > 0.0f ? m_printDpi : 72.0f;
    setZoom(std::round(screenDpi / pictureDpi * 100.0f) / 100.0f);
    setScroll((m_zoomedRect.width() - m_clientWidth + 1) / 2,
              (m_zoomedRect.height() - m_clientHeight + 1) / 2);
    return true;
}

Rect ImageViewModel::pictureArea() const
{
    const int zoomedWidth = m_zoomedRect.width();
    const int zoomedHeight = m_zoomedRect.height();
    Rect area{0, 0, m_clientWidth, m_clientHeight};
    if (zoomedWidth < m_clientWidth) {
        area.left = (m_clientWidth - zoomedWidth) / 2;
        area.right = area.left + zoomedWidth;
    }
    if (zoomedHeight < m_clientHeight) {
        area.top = (m_clientHeight - zoomedHeight) / 2;
        area.bottom = area.top + zoomedHeight;
    }
    return area;
}

ViewPoint ImageViewModel::toZoomed(ViewPoint windowPoint) const
{
    const Rect area = pictureArea();
    return {windowPoint.x - area.left + m_scrollX, windowPoint.y - area.top + m_scrollY};
}

bool ImageViewModel::zoomAbout(float step, std::optional<ViewPoint> anchor)
{
    if (step == 0.0f)
        return false;
    const ViewPoint windowPoint = anchor.value_or(ViewPoint{m_clientWidth / 2, m_clientHeight / 2});
    const ViewPoint zoomed = toZoomed(windowPoint);
    // Truncated to whole picture pixels.
    const int pictureX = int(zoomed.x / m_zoom);
    const int pictureY = int(zoomed.y / m_zoom);
    setZoom(step);
    setScroll(saturate(pictureX * double(m_zoom) - m_clientWidth / 2),
              saturate(pictureY * double(m_zoom) - m_clientHeight / 2));
    return true;
}

bool ImageViewModel::zoomIn(std::optional<ViewPoint> anchor)
{
    return zoomAbout(nextZoomStep(m_zoom), anchor);
}

bool ImageViewModel::zoomOut(std::optional<ViewPoint> anchor)
{
    return zoomAbout(previousZoomStep(m_zoom), anchor);
}

bool ImageViewModel::zoomToRectangle(ViewPoint a, ViewPoint b)
{
    const ViewPoint p = toZoomed(a);
    const ViewPoint q = toZoomed(b);
    const int left = std::min(p.x, q.x);
    const int top = std::min(p.y, q.y);
    const int width = std::abs(p.x - q.x);
    const int height = std::abs(p.y - q.y);
    if ((width == 0 && height == 0) || m_clientWidth <= 0 || m_clientHeight <= 0)
        return false;
    // A flat band (height 0) is matched by its width; only a band with height can be "taller".
    const bool taller =
        width == 0 ||
        (height > 0 && height >= roundToInt(double(width) * m_clientHeight / m_clientWidth));
    const double factor = taller ? double(m_clientHeight) / height : double(m_clientWidth) / width;
    const double centreX = (left + width / 2.0) / m_zoom;
    const double centreY = (top + height / 2.0) / m_zoom;
    setZoom(float(m_zoom * factor));
    setScroll(saturate(centreX * m_zoom - m_clientWidth / 2),
              saturate(centreY * m_zoom - m_clientHeight / 2));
    return true;
}

void ImageViewModel::beginDrag(ViewPoint point)
{
    m_dragStart = point;
    m_dragLast = point;
    m_dragging = true;
}

bool ImageViewModel::dragTo(ViewPoint point)
{
    if (!m_dragging)
        return false;
    bool notify = false;
    if (m_tool == kHandTool) {
        setScroll(m_scrollX + m_dragLast.x - point.x, m_scrollY + m_dragLast.y - point.y);
        notify = true;
    }
    m_dragLast = point;
    return notify;
}

bool ImageViewModel::endDrag(ViewPoint point)
{
    if (!m_dragging)
        return false;
    m_dragging = false;
    if (m_tool != kZoomInTool && m_tool != kZoomOutTool)
        return false;
    if (point == m_dragStart)
        return m_tool == kZoomInTool ? zoomIn(point) : zoomOut(point);
    return zoomToRectangle(m_dragStart, point);
}

std::optional<Rect> ImageViewModel::rubberBand() const
{
    if (!m_dragging || (m_tool != kZoomInTool && m_tool != kZoomOutTool))
        return std::nullopt;
    return Rect{std::min(m_dragStart.x, m_dragLast.x), std::min(m_dragStart.y, m_dragLast.y),
                std::max(m_dragStart.x, m_dragLast.x), std::max(m_dragStart.y, m_dragLast.y)};
}

}  // namespace tavelune
