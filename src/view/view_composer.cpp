// Grey surround, frame and the nearest-sampled picture, composed for one repaint area.
#include "view/view_composer.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tavelune {

namespace {

Rect intersect(const Rect& a, const Rect& b)
{
    return {std::max(a.left, b.left), std::max(a.top, b.top), std::min(a.right, b.right),
            std::min(a.bottom, b.bottom)};
}

void fillArea(Image& image, const Rect& area, uint32_t colour, bool blend)
{
    for (int y = area.top; y < area.bottom; ++y) {
        uint32_t* row = image.rowFromTop(y);
        for (int x = area.left; x < area.right; ++x)
            row[x] = blend ? Image::blendPixel(row[x], colour) : colour;
    }
}

// The placeholder is put down as the screen would show a bitmap: its pixels unblended.
void putCentred(Image& buffer, const Image& picture, const Rect& area)
{
    const int left = (buffer.width() - picture.width()) / 2;
    const int top = (buffer.height() - picture.height()) / 2;
    const Rect placed =
        intersect(area, {left, top, left + picture.width(), top + picture.height()});
    if (placed.isEmpty())
        return;
    for (int y = placed.top; y < placed.bottom; ++y) {
        const uint32_t* from = picture.rowFromTop(y - top) + (placed.left - left);
        std::copy(from, from + placed.width(), buffer.rowFromTop(y) + placed.left);
    }
}

// Each window pixel shows the picture pixel under its centre, so enlarged pixels are whole
// blocks that line up with the frame and move smoothly while panning, and a click lands on
// the pixel it appears to.
std::vector<int> sourceIndices(int first, int count, int offset, double zoom, int limit)
{
    std::vector<int> indices(static_cast<size_t>(count));
    for (int i = 0; i < count; ++i) {
        const double position = std::floor((first + i + offset + 0.5) / zoom);
        indices[size_t(i)] = int(std::clamp(position, 0.0, double(limit - 1)));
    }
    return indices;
}

// The picture's colour key and opacity apply as they do when it is drawn onto another picture.
bool keyed(const ColourKey& key, int opacity, uint32_t& colour)
{
    if (key.opacity < 100) {
        bool inside = true;
        for (int shift = 0; shift < 32; shift += 8) {
            const uint32_t c = (colour >> shift) & 0xFF;
            inside =
                inside && c >= ((key.low >> shift) & 0xFF) && c <= ((key.high >> shift) & 0xFF);
        }
        if (inside) {
            if (key.opacity <= 0)
                return false;
            const uint32_t alpha = ((colour >> 24) * uint32_t(key.opacity) + 50) / 100;
            colour = (colour & 0x00FFFFFF) | (alpha << 24);
        }
    }
    if (opacity < 100) {
        const uint32_t alpha = (uint32_t(opacity) * (colour >> 24) + 50) / 100;
        colour = (colour & 0x00FFFFFF) | (alpha << 24);
    }
    return true;
}

void drawPicture(ImageViewModel& model, const Rect& shown)
{
    Image& buffer = model.backBuffer();
    const Image& picture = *model.picture();
    const Rect pictureArea = model.pictureArea();
    const double zoom = model.zoom();
    const std::vector<int> columns = sourceIndices(shown.left - pictureArea.left, shown.width(),
                                                   model.scrollX(), zoom, picture.width());
    const std::vector<int> rows = sourceIndices(shown.top - pictureArea.top, shown.height(),
                                                model.scrollY(), zoom, picture.height());
    const ColourKey key = picture.colourKey();
    const int opacity = picture.opacity();
    for (int y = shown.top; y < shown.bottom; ++y) {
        const uint32_t* from = picture.rowFromTop(rows[size_t(y - shown.top)]);
        uint32_t* to = buffer.rowFromTop(y);
        for (int x = shown.left; x < shown.right; ++x) {
            uint32_t colour = from[columns[size_t(x - shown.left)]];
            if (keyed(key, opacity, colour))
                to[x] = Image::blendPixel(to[x], colour);
        }
    }
}

bool bufferReady(ImageViewModel& model)
{
    const Image& buffer = model.backBuffer();
    return !buffer.isEmpty() && buffer.width() == model.clientWidth() &&
           buffer.height() == model.clientHeight();
}

}  // namespace

void composeView(ImageViewModel& model, const Rect& requested)
{
    if (!bufferReady(model))
        return;
    Image& buffer = model.backBuffer();
    const Rect area = intersect(requested, {0, 0, buffer.width(), buffer.height()});
    if (area.isEmpty())
        return;
    fillArea(buffer, area, kViewSurround, false);
    if (!model.hasPicture()) {
        if (!model.placeholder().isEmpty())
            putCentred(buffer, model.placeholder(), area);
        return;
    }
    const Rect pictureArea = model.pictureArea();
    const Rect shown = intersect(area, pictureArea);
    fillArea(buffer, shown, model.pictureBackground(), true);
    buffer.setClipRect(area);
    buffer.drawRectangle(pictureArea.left - 1, pictureArea.top - 1, pictureArea.width() + 2,
                         pictureArea.height() + 2, kViewFrame, 0);
    buffer.resetClip();
    if (!shown.isEmpty())
        drawPicture(model, shown);
}

void composeView(ImageViewModel& model)
{
    composeView(model, {0, 0, model.clientWidth(), model.clientHeight()});
}

Image snapshotFull(ImageViewModel& model)
{
    Image shot;
    if (!bufferReady(model))
        return shot;
    composeView(model);
    const Image& buffer = model.backBuffer();
    if (shot.create(buffer.width(), buffer.height(), 72.0f))
        shot.copyImage(0, 0, buffer, 0, 0, buffer.width(), buffer.height(), kViewOutside);
    return shot;
}

Image snapshotHalf(ImageViewModel& model)
{
    Image shot;
    if (!bufferReady(model))
        return shot;
    composeView(model);
    const Image& buffer = model.backBuffer();
    if (shot.create(buffer.width() / 2, buffer.height() / 2, 72.0f))
        shot.drawImage({0, 0, shot.width(), shot.height()}, buffer,
                       {0, 0, buffer.width(), buffer.height()}, kBicubic, kViewOutside);
    return shot;
}

}  // namespace tavelune
