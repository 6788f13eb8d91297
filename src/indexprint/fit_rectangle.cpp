// Placing a picture in a frame.
#include "indexprint/fit_rectangle.h"

#include <algorithm>
#include <cmath>

namespace tavelune {
namespace {

// A side that long is never seen whole, and the clamp keeps a panorama of 1 x 2^30 pixels from
// overflowing int when it is scaled to fill a cell.
constexpr double kLongestSide = double(1 << 28);

int roundHalfUp(double value) { return int(std::floor(std::min(value, kLongestSide) + 0.5)); }

// Truncating division: a negative free space (overflow) leans the same way as a positive one.
int centringOffset(int freeSpace) { return (freeSpace + 1) / 2; }

Rect placed(int left, int top, int width, int height)
{
    return {left, top, left + width, top + height};
}

}  // namespace

Rect fitRectangle(const Rect& frame, int pictureWidth, int pictureHeight, int mode)
{
    if (pictureWidth <= 0 || pictureHeight <= 0 || mode < kFitInside || mode > kFitFill)
        return frame;
    const int fw = frame.width();
    const int fh = frame.height();
    const double pw = pictureWidth;
    const double ph = pictureHeight;
    switch (mode) {
    case kFitInside: {
        int width = fw;
        int height = roundHalfUp(ph * fw / pw);
        if (height > fh) {
            width = roundHalfUp(pw * fh / ph);
            height = fh;
        }
        return placed(frame.left + centringOffset(fw - width), frame.top + centringOffset(fh - height),
                      width, height);
    }
    case kFitWidth: {
        int height = roundHalfUp(ph * fw / pw);
        return placed(frame.left, frame.top + centringOffset(fh - height), fw, height);
    }
    case kFitHeight: {
        int width = roundHalfUp(pw * fh / ph);
        return placed(frame.left + centringOffset(fw - width), frame.top, width, fh);
    }
    default: {
        int height = roundHalfUp(ph * fw / pw);
        if (height < fh) {
            int width = roundHalfUp(pw * fh / ph);
            return placed(frame.left + centringOffset(fw - width), frame.top, width, fh);
        }
        return placed(frame.left, frame.top + centringOffset(fh - height), fw, height);
    }
    }
}

}  // namespace tavelune
