// Quarter turns. Walking the output in order reads the source down a column, one cache line
// per pixel; small square tiles keep both sides in cache.
#include "engine/quarter_turn.h"

#include <algorithm>

#include "engine/parallel.h"

namespace tavelune {
namespace {

constexpr int kTile = 64;

}  // namespace

void turnPixels(const Image& source, bool clockwise, uint32_t* out)
{
    const int oldWidth = source.width();
    const int oldHeight = source.height();
    const uint32_t* in = source.pixels();
    // In buffer terms (both bottom-up): new row b (from the bottom), column x takes old buffer
    // row x, column W - 1 - b when turning clockwise, and old buffer row H - 1 - x, column b
    // when turning counter-clockwise.
    const int newWidth = oldHeight;
    const int newHeight = oldWidth;
    const int tileRows = (newHeight + kTile - 1) / kTile;
    forEachRowBand(tileRows, size_t(kTile) * size_t(newWidth), [&](int beginTile, int endTile) {
        for (int tileRow = beginTile; tileRow < endTile; ++tileRow) {
            const int rowBegin = tileRow * kTile;
            const int rowEnd = std::min(rowBegin + kTile, newHeight);
            for (int columnBegin = 0; columnBegin < newWidth; columnBegin += kTile) {
                const int columnEnd = std::min(columnBegin + kTile, newWidth);
                for (int b = rowBegin; b < rowEnd; ++b) {
                    uint32_t* row = out + size_t(b) * size_t(newWidth);
                    if (clockwise) {
                        const uint32_t* column = in + size_t(oldWidth - 1 - b);
                        for (int x = columnBegin; x < columnEnd; ++x)
                            row[x] = column[size_t(x) * size_t(oldWidth)];
                    } else {
                        const uint32_t* column = in + size_t(b);
                        for (int x = columnBegin; x < columnEnd; ++x)
                            row[x] = column[size_t(oldHeight - 1 - x) * size_t(oldWidth)];
                    }
                }
            }
        }
    });
}

void turnPixelsByPixel(const Image& source, bool clockwise, uint32_t* out)
{
    const int oldWidth = source.width();
    const int oldHeight = source.height();
    const int newWidth = oldHeight;
    const int newHeight = oldWidth;
    for (int y = 0; y < newHeight; ++y) {
        uint32_t* row = out + size_t(newHeight - 1 - y) * size_t(newWidth);
        for (int x = 0; x < newWidth; ++x)
            row[x] = clockwise ? source.pixelAt(y, oldHeight - 1 - x)
                               : source.pixelAt(oldWidth - 1 - y, x);
    }
}

}  // namespace tavelune
