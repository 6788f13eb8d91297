// applyOverlay: text or picture, placed, keyed and blended at the page's opacity.
#include "overlay/apply_overlay.h"

#include "engine/message_sink.h"
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
        if (cut)
            showMessage(messages::kTagTextCut);
        return expanded;
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

bool drawTextOverlay(TextCanvas& canvas, const Image& image, const OverlaySettings& settings,
                     const TextExpander& expand)
{
    if (settings.text.empty())
        return false;
    const uint32_t colour = colorRefToPixel(settings.textColour);
    const std::string text = expand ? expand(settings.text, image) : settings.text;
    const OverlayFont& font = settings.font;
    if (!canvas.setFont(font.faceName, font.height, font.weight != 400, font.italic, font.underline,
                        font.strikeOut))
        return false;
    const TextSize size = canvas.measureText(text);
    if (size.width <= 0 || size.height <= 0)
        return false;
    canvas.setFillColour(0);
    if (!canvas.create(size.width, size.height, 72.0f))
        return false;
    canvas.drawText(0, 0, size.width, size.height, text, colour, 0, kAntialiasAuto);
    return true;
}

bool copyPictureOverlay(Image& canvas, const OverlaySettings& settings)
{
    const Image& picture = settings.picture;
    if (picture.isEmpty())
        return false;
    if (!canvas.create(picture.width(), picture.height(), picture.dpi(), picture.pixels()))
        return false;
    const ColourKey key = picture.colourKey();
    canvas.setColourKey(key.low, key.high, key.opacity);
    return true;
}

}  // namespace

void applyOverlay(Image& image, const OverlaySettings& settings, const TextExpander& expand)
{
    if (!settings.enabled)
        return;
    const double dpi = image.dpi();
    const int offX = fieldPixels(settings.offsetX, settings.unit, dpi);
    const int offY = fieldPixels(settings.offsetY, settings.unit, dpi);

    TextCanvas canvas;
    const bool ready = settings.mode == OverlayMode::Text
                           ? drawTextOverlay(canvas, image, settings, expand)
                           : copyPictureOverlay(canvas, settings);
    if (!ready)
        return;
    const int w = canvas.width();
    const int h = canvas.height();
    const OverlayPosition at = overlayPosition(settings.horizontal, settings.vertical, offX, offY,
                                               image.width(), image.height(), w, h);
    canvas.setOpacity(settings.opacity);
    image.copyImage(at.x, at.y, canvas, 0, 0, w, h, 0);
}

}  // namespace tavelune
