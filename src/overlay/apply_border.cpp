// applyBorder: the mat canvas, the mat picture, the border band and the photo on top.
#include "overlay/apply_border.h"

#include <algorithm>

#include "engine/format_dispatch.h"
#include "engine/pixel_limit.h"
#include "overlay/picture_file.h"
#include "overlay/unit_fields.h"
#include "pixel/pixel.h"

namespace tavelune {
namespace {

uint32_t colourOrWhite(int colour)
{
    return colorRefToPixel(colour < 0 ? 0xFFFFFFu : uint32_t(colour));
}

// Widths below zero can only come from a hand-edited settings file; they would shrink the canvas.
int width(double value, int unit, double dpi)
{
    return std::max(0, fieldPixels(value, unit, dpi));
}

}  // namespace

BorderGeometry borderGeometry(const BorderSettings& settings, int W, int H, double dpi)
{
    const Sides& m = settings.mat.sides;
    const Sides& b = settings.border.sides;
    const int mu = settings.mat.unit;
    const int bu = settings.border.unit;
    BorderGeometry g;
    g.mat = {width(m.left, mu, dpi), width(m.top, mu, dpi), width(m.right, mu, dpi),
             width(m.bottom, mu, dpi)};
    g.border = {width(b.left, bu, dpi), width(b.top, bu, dpi), width(b.right, bu, dpi),
                width(b.bottom, bu, dpi)};
    if (settings.inside) {
        if (int64_t(g.border.left) + g.border.right > W) {
            g.border.left = W;
            g.border.right = 0;
        }
        if (int64_t(g.border.top) + g.border.bottom > H) {
            g.border.top = H;
            g.border.bottom = 0;
        }
    } else {
        g.mat.left = std::max(g.mat.left, g.border.left);
        g.mat.top = std::max(g.mat.top, g.border.top);
        g.mat.right = std::max(g.mat.right, g.border.right);
        g.mat.bottom = std::max(g.mat.bottom, g.border.bottom);
    }
    return g;
}

uint32_t borderPixel(const BorderSettings& settings)
{
    // Single precision, so that 100 gives 255 rather than 254.
    const int opacity = std::clamp(settings.opacity, 0, 100);
    const auto alpha = uint32_t(float(opacity) * 2.55f);
    return (colourOrWhite(settings.borderColour) & 0x00FFFFFF) | (alpha << 24);
}

Result<Rect, ImageError> applyBorder(Image& image, const BorderSettings& settings,
                                     const PictureLoader& load)
{
    if (!settings.enabled)
        return Rect{};
    const int W = image.width();
    const int H = image.height();
    const float D = image.dpi();
    const BorderGeometry g = borderGeometry(settings, W, H, D);
    const Rect& mat = g.mat;
    const Rect& border = g.border;
    const int64_t canvasWidth = int64_t(W) + mat.left + mat.right;
    const int64_t canvasHeight = int64_t(H) + mat.top + mat.bottom;
    Image canvas;
    canvas.setFillColour(colourOrWhite(settings.matColour));
    if (canvasWidth > 0x7FFFFFFF || canvasHeight > 0x7FFFFFFF ||
        !canvas.create(int(canvasWidth), int(canvasHeight), D))
        return failure(ImageError::CanvasFailed,
                       canvasFailureText("the frame", uint64_t(canvasWidth), uint64_t(canvasHeight)));
    // A mat picture that cannot be read leaves the mat colour; the user is told why.
    Warnings<ImageError> boxes;
    if (settings.matPicture) {
        Image picture;
        bool loaded = false;
        if (load) {
            loaded = load(settings.matPicturePath, picture);
        } else {
            const ImageStatus opened = openPictureFile(settings.matPicturePath, picture);
            loaded = opened.ok();
            boxes = imageBoxes(opened);
        }
        if (loaded && !picture.isEmpty())
            canvas.drawImage({0, 0, canvas.width(), canvas.height()}, picture,
                             {0, 0, picture.width(), picture.height()}, kBilinear, 0x00FFFFFF);
    }

    const uint32_t colour = borderPixel(settings);
    if (settings.inside) {
        canvas.copyImage(mat.left, mat.top, image, 0, 0, W, H, 0x00FFFFFF);
        canvas.drawRectangle(mat.left, mat.top, W, H, colour, colour);
        canvas.copyImage(mat.left + border.left, mat.top + border.top, image, border.left,
                         border.top, W - border.left - border.right, H - border.top - border.bottom,
                         0x00FFFFFF);
    } else {
        canvas.drawRectangle(mat.left - border.left, mat.top - border.top,
                             W + border.left + border.right, H + border.top + border.bottom, colour,
                             colour);
        canvas.copyImage(mat.left, mat.top, image, 0, 0, W, H, 0x00FFFFFF);
    }
    // The canvas becomes the picture rather than being copied into it: at full size a third
    // picture-sized buffer would be needless.
    const uint32_t fill = image.fillColour();
    const int opacity = image.opacity();
    const ColourKey key = image.colourKey();
    image = std::move(canvas);
    image.setFillColour(fill);
    image.setOpacity(opacity);
    image.setColourKey(key.low, key.high, key.opacity);
    Result<Rect, ImageError> framed = mat;
    framed.setWarnings(std::move(boxes));
    return framed;
}

}  // namespace tavelune
