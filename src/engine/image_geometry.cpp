// Image geometry: resampling, quarter turns, mirror and flip.
#include <algorithm>
#include <utility>

#include "engine/image.h"
#include "engine/pixel_limit.h"
#include "engine/quarter_turn.h"
#include "engine/resample.h"

namespace tavelune {

bool Image::resize(int newWidth, int newHeight, int samplerMode)
{
    if (!withinPixelLimit(uint64_t(std::max(newWidth, 0)), uint64_t(std::max(newHeight, 0))))
        return false;
    uint32_t* buffer = allocatePixels(size_t(newWidth) * size_t(newHeight));
    if (!buffer)
        return false;
    resamplePixels(*this, newWidth, newHeight, samplerMode, buffer);
    adoptBuffer(buffer, newWidth, newHeight);
    return true;
}

bool Image::rotate(int degrees)
{
    if (degrees % 90 != 0)
        return false;
    // Any multiple of 90 is read by its geometric meaning: 270 turns like -90.
    const int quarter = ((degrees / 90) % 4 + 4) % 4;
    if (quarter == 0) {
        resetClip();
        return true;
    }
    if (quarter == 2) {
        flipVertical();
        mirrorHorizontal();
        return true;
    }
    uint32_t* buffer = allocatePixels(pixelCount());
    if (!buffer)
        return false;
    turnPixels(*this, quarter == 1, buffer);
    adoptBuffer(buffer, m_height, m_width);
    return true;
}

void Image::mirrorHorizontal()
{
    for (int y = 0; y < m_height; ++y) {
        uint32_t* row = rowFromTop(y);
        std::reverse(row, row + m_width);
    }
    resetClip();
}

void Image::flipVertical()
{
    for (int top = 0, bottom = m_height - 1; top < bottom; ++top, --bottom)
        std::swap_ranges(rowFromTop(top), rowFromTop(top) + m_width, rowFromTop(bottom));
    resetClip();
}

}  // namespace tavelune
