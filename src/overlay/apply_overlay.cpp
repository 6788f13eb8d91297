// applyOverlay: text or picture, placed, keyed and blended at the page's opacity.
#include "overlay/apply_overlay.h"

#include <algorithm>
#include <optional>

#include "engine/pixel_limit.h"
#include "overlay/info_tags.h"
#include "overlay/overlay_messages.h"
#include "overlay/text_canvas.h"
#include "overlay/unit_fields.h"
#include "pixel/pixel.h"

namespace tavelune {

TextExpander tagExpander(const ExifData* exif, const TagContext& context)
{
    return [exif, context](const std::string& text, const Image& image) {
        bool cut = false;
        std::string expanded = expandTags(text, &image, exif, context, &cut);
        return ExpandedText(std::move(expanded), cut);
    };
}

OverlayPosition overlayPosition(int horizontal, int vertical, int offX, int offY, int W, int H,
                                int w, int h)
{
    OverlayPosition position;
    switch (horizontal) {
        case kAlignCentre:
            position.x = offX + (W - w) / 2;
            break;
        case kAlignRight:
            position.x = W - offX - w;
            break;
        default:
            position.x = offX;
            break;
    }
    switch (vertical) {
        case kAlignMiddle:
            position.y = offY + (H - h) / 2;
            break;
        case kAlignBottom:
            position.y = H - offY - h;
            break;
        default:
            position.y = offY;
            break;
    }
    return position;
}

namespace {

// What an overlay puts on the picture: the part of its canvas that lands there.
struct Placed {
    std::string failure;  // why its canvas could not be made
    int x = 0;
    int y = 0;
};

Placed canvasFailure(const char* what, uint64_t width, uint64_t height)
{
    return {canvasFailureText(what, width, height)};
}

// The text's canvas covers only the part of the text inside the picture: a text far larger
// than the picture costs what its visible part costs. Its pixels are those the whole text's
// canvas would have there.
std::optional<Placed> drawTextOverlay(TextCanvas& canvas, const Image& image,
                                      const OverlaySettings& settings, const TextExpander& expand,
                                      int offX, int offY, bool& cut)
{
    if (settings.text.empty())
        return std::nullopt;
    const uint32_t colour = colorRefToPixel(settings.textColour);
    ExpandedText expanded = expand ? expand(settings.text, image) : ExpandedText(settings.text);
    cut = expanded.cut;
    const std::string text = std::move(expanded.text);
    const OverlayFont& font = settings.font;
    if (!canvas.setFont(font.faceName, font.height, font.weight != 400, font.italic, font.underline,
                        font.strikeOut))
        return std::nullopt;
    const TextSize size = canvas.measureText(text);
    if (size.width <= 0 || size.height <= 0)
        return std::nullopt;
    const OverlayPosition at = overlayPosition(settings.horizontal, settings.vertical, offX, offY,
                                               image.width(), image.height(), size.width,
                                               size.height);
    const int64_t left = std::max<int64_t>(at.x, 0);
    const int64_t top = std::max<int64_t>(at.y, 0);
    const int64_t right = std::min<int64_t>(int64_t(at.x) + size.width, image.width());
    const int64_t bottom = std::min<int64_t>(int64_t(at.y) + size.height, image.height());
    if (right <= left || bottom <= top)
        return std::nullopt;  // off the picture: nothing to draw
    canvas.setFillColour(0);
    if (!canvas.create(int(right - left), int(bottom - top), 72.0f))
        return canvasFailure("the text", uint64_t(right - left), uint64_t(bottom - top));
    canvas.drawText(int(at.x - left), int(at.y - top), size.width, size.height, text, colour, 0,
                    kAntialiasAuto);
    return Placed{{}, int(left), int(top)};
}

std::optional<Placed> copyPictureOverlay(Image& canvas, const Image& image,
                                         const OverlaySettings& settings, int offX, int offY)
{
    const Image& picture = settings.picture;
    if (picture.isEmpty())
        return std::nullopt;
    if (!canvas.create(picture.width(), picture.height(), picture.dpi(), picture.pixels()))
        return canvasFailure("the overlay picture", uint64_t(picture.width()),
                             uint64_t(picture.height()));
    const ColourKey key = picture.colourKey();
    canvas.setColourKey(key.low, key.high, key.opacity);
    const OverlayPosition at =
        overlayPosition(settings.horizontal, settings.vertical, offX, offY, image.width(),
                        image.height(), picture.width(), picture.height());
    return Placed{{}, at.x, at.y};
}

}  // namespace

ImageStatus applyOverlay(Image& image, const OverlaySettings& settings, const TextExpander& expand)
{
    if (!settings.enabled)
        return {};
    const double dpi = image.dpi();
    const int offX = fieldPixels(settings.offsetX, settings.unit, dpi);
    const int offY = fieldPixels(settings.offsetY, settings.unit, dpi);

    TextCanvas canvas;
    bool cut = false;
    const std::optional<Placed> placed =
        settings.mode == OverlayMode::Text
            ? drawTextOverlay(canvas, image, settings, expand, offX, offY, cut)
            : copyPictureOverlay(canvas, image, settings, offX, offY);
    ImageStatus drawn;
    if (placed && !placed->failure.empty())
        drawn = ImageStatus(ImageError::CanvasFailed, placed->failure);
    if (cut)
        drawn.addWarning(ImageError::TextCut, messages::kTagTextCut);
    if (!placed || !drawn)
        return drawn;
    canvas.setOpacity(settings.opacity);
    image.copyImage(placed->x, placed->y, canvas, 0, 0, canvas.width(), canvas.height(), 0);
    return drawn;
}

}  // namespace tavelune
