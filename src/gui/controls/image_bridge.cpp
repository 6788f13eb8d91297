// Qt images to and from engine pictures, row by row (the two run in opposite directions).
#include "gui/controls/image_bridge.h"

#include <cmath>
#include <cstring>

namespace tavelune::gui {

QImage toQImage(const Image& image)
{
    if (image.isEmpty()) {
        return {};
    }
    QImage out(image.width(), image.height(), QImage::Format_ARGB32);
    if (out.isNull()) {
        return {};
    }
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(out.scanLine(y), image.rowFromTop(y), size_t(image.width()) * 4);
    }
    const double dotsPerMetre = image.dpi() / 0.0254;
    out.setDotsPerMeterX(int(std::lround(dotsPerMetre)));
    out.setDotsPerMeterY(int(std::lround(dotsPerMetre)));
    return out;
}

bool importQImage(const QImage& source, Image& out)
{
    if (source.isNull()) {
        return false;
    }
    const QImage argb = source.convertToFormat(QImage::Format_RGB32);
    const float dpi = float(std::lround(argb.dotsPerMeterX() * 0.0254));
    Image picture;
    if (!picture.create(argb.width(), argb.height(), dpi > 0 ? dpi : 72.0f)) {
        return false;
    }
    for (int y = 0; y < argb.height(); ++y) {
        const auto* from = reinterpret_cast<const uint32_t*>(argb.constScanLine(y));
        uint32_t* to = picture.rowFromTop(y);
        for (int x = 0; x < argb.width(); ++x) {
            to[x] = from[x] | 0xFF000000u;
        }
    }
    out = std::move(picture);
    return true;
}

}  // namespace tavelune::gui
