// The loupe's region: one scale per axis, then the box kept inside the picture.
#include "view/loupe_region.h"

#include <algorithm>
#include <cstdint>

namespace tavelune {
namespace {

// The box's start on one axis; 64-bit products: a long side times a long side passes int.
int boxStart(int at, int shown, int full, int box)
{
    const int64_t centre = (int64_t(at) * 2 + 1) * full / (int64_t(shown) * 2);
    const int64_t start = centre - box / 2;
    return int(std::clamp<int64_t>(start, 0, std::max(0, full - box)));
}

}  // namespace

Rect loupeRegion(int x, int y, int shownWidth, int shownHeight, int fullWidth, int fullHeight,
                 int boxWidth, int boxHeight)
{
    if (shownWidth <= 0 || shownHeight <= 0 || fullWidth <= 0 || fullHeight <= 0 ||
        boxWidth <= 0 || boxHeight <= 0)
        return {};
    x = std::clamp(x, 0, shownWidth - 1);
    y = std::clamp(y, 0, shownHeight - 1);
    const int w = std::min(boxWidth, fullWidth);
    const int h = std::min(boxHeight, fullHeight);
    const int left = boxStart(x, shownWidth, fullWidth, w);
    const int top = boxStart(y, shownHeight, fullHeight, h);
    return {left, top, left + w, top + h};
}

bool copyRegion(const Image& full, const Rect& region, Image& out)
{
    if (full.isEmpty() || region.width() <= 0 || region.height() <= 0 || region.left < 0 ||
        region.top < 0 || region.right > full.width() || region.bottom > full.height())
        return false;
    Image piece;
    if (!piece.allocate(region.width(), region.height(), full.dpi()))
        return false;
    for (int y = 0; y < region.height(); ++y) {
        const uint32_t* from = full.rowFromTop(region.top + y) + region.left;
        std::copy(from, from + region.width(), piece.rowFromTop(y));
    }
    out = std::move(piece);
    return true;
}

}  // namespace tavelune
