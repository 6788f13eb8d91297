// Scaling the pages' lengths and pictures from the working picture to a larger one.
#include "job/scale_settings.h"

#include <algorithm>
#include <cmath>

#include "overlay/unit_fields.h"

namespace tavelune {
namespace {

constexpr int kPixels = 0;

// The factor a length in unit grows by.
double unitFactor(int unit, double factor, PrintLengths lengths)
{
    return unit != kPixels && lengths == PrintLengths::KeptAtSize ? 1.0 : factor;
}

int scaledField(double value, int unit, double dpi, double factor)
{
    return scaledLength(fieldPixels(value, unit, dpi), factor);
}

void scaleSides(SideGroup& group, double dpi, double factor, PrintLengths lengths)
{
    factor = unitFactor(group.unit, factor, lengths);
    Sides& s = group.sides;
    // A negative width is drawn as none; keep that rather than scaling it.
    auto side = [&](double value) {
        return double(scaledLength(std::max(0, fieldPixels(value, group.unit, dpi)), factor));
    };
    s = {side(s.top), side(s.bottom), side(s.left), side(s.right)};
    group.unit = kPixels;
}

void scaleOverlay(OverlaySettings& overlay, double dpi, double factor, PrintLengths lengths)
{
    const double offsetFactor = unitFactor(overlay.unit, factor, lengths);
    overlay.offsetX = scaledField(overlay.offsetX, overlay.unit, dpi, offsetFactor);
    overlay.offsetY = scaledField(overlay.offsetY, overlay.unit, dpi, offsetFactor);
    overlay.unit = kPixels;
    int& height = overlay.font.height;
    if (height != 0) {
        const int scaled = scaledLength(height, factor);
        height = scaled != 0 ? scaled : (height < 0 ? -1 : 1);
    }
    if (!overlay.picture.isEmpty() && overlay.enabled && overlay.mode == OverlayMode::Picture) {
        const int w = std::max(1, scaledLength(overlay.picture.width(), factor));
        const int h = std::max(1, scaledLength(overlay.picture.height(), factor));
        Image scaled = scaleOverlayPicture(overlay.picture, w, h);
        // Without the memory for the larger picture the overlay is left out, not drawn small.
        overlay.picture = std::move(scaled);
    }
}

uint8_t channel(uint32_t pixel, int shift)
{
    return uint8_t(pixel >> shift);
}

}  // namespace

int scaledLength(int previewPixels, double factor)
{
    const double scaled = std::round(double(previewPixels) * factor);
    constexpr double kLimit = 1 << 28;
    return int(std::clamp(scaled, -kLimit, kLimit));
}

Image scaleOverlayPicture(const Image& picture, int width, int height)
{
    Image work;
    if (picture.isEmpty() || width <= 0 || height <= 0 ||
        !work.create(picture.width(), picture.height(), picture.dpi(), picture.pixels()))
        return Image();
    const ColourKey key = picture.colourKey();
    // Premultiplied, so a transparent pixel's colour has no weight in its neighbours.
    uint32_t* p = work.pixels();
    for (size_t i = 0; i < work.pixelCount(); ++i) {
        const uint32_t colour = p[i];
        const uint32_t r = channel(colour, 16), g = channel(colour, 8), b = channel(colour, 0);
        uint32_t a = colour >> 24;
        const bool keyed =
            key.opacity < 100 && r >= channel(key.low, 16) && r <= channel(key.high, 16) &&
            g >= channel(key.low, 8) && g <= channel(key.high, 8) && b >= channel(key.low, 0) &&
            b <= channel(key.high, 0) && a >= (key.low >> 24) && a <= (key.high >> 24);
        if (keyed)
            a = (a * uint32_t(key.opacity) + 50) / 100;
        auto pre = [a](uint32_t c) { return (c * a + 127) / 255; };
        p[i] = (a << 24) | (pre(r) << 16) | (pre(g) << 8) | pre(b);
    }
    if (!work.resize(width, height, kBicubic))
        return Image();
    p = work.pixels();
    for (size_t i = 0; i < work.pixelCount(); ++i) {
        const uint32_t a = p[i] >> 24;
        if (a == 0) {
            p[i] = 0;
            continue;
        }
        auto un = [a](uint32_t c) { return std::min<uint32_t>(255, (c * 255 + a / 2) / a); };
        p[i] = (a << 24) | (un(channel(p[i], 16)) << 16) | (un(channel(p[i], 8)) << 8) |
               un(channel(p[i], 0));
    }
    work.setColourKey(0xFF000000, 0xFFFFFFFF, 100);
    return work;
}

BorderSettings scaleBorderSettings(const BorderSettings& border, double factor, double dpi,
                                   PrintLengths lengths)
{
    BorderSettings scaled = border;
    if (factor > 0.0) {
        scaleSides(scaled.mat, dpi, factor, lengths);
        scaleSides(scaled.border, dpi, factor, lengths);
    }
    return scaled;
}

ConversionSettings scaleConversionSettings(const ConversionSettings& settings, double factor,
                                           double dpi, PrintLengths lengths)
{
    ConversionSettings scaled = settings;
    if (!(factor > 0.0))
        return scaled;
    scaled.border = scaleBorderSettings(settings.border, factor, dpi, lengths);
    scaleOverlay(scaled.watermark, dpi, factor, lengths);
    scaleOverlay(scaled.signature, dpi, factor, lengths);
    return scaled;
}

}  // namespace tavelune
