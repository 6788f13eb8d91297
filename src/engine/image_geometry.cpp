// Image geometry: resampling, quarter turns, mirror and flip.
#include <algorithm>
#include <utility>

#include "engine/image.h"

namespace tavelune {

bool Image::resize(int newWidth, int newHeight, int samplerMode)
{
    if (newWidth <= 0 || newHeight <= 0)
        return false;
    uint32_t* buffer = allocatePixels(size_t(newWidth) * size_t(newHeight));
    if (!buffer)
        return false;
    const double stepX = double(m_width) / double(newWidth);
    const double stepY = double(m_height) / double(newHeight);
    for (int i = 0; i < newHeight; ++i) {
        uint32_t* row = buffer + size_t(newHeight - 1 - i) * size_t(newWidth);
        const double y = i * stepY;
        for (int j = 0; j < newWidth; ++j)
            row[j] = sample(j * stepX, y, samplerMode);
    }
    adoptBuffer(buffer, newWidth, newHeight);
    return true;
}

bool Image::rotate(int degrees)
{
    if (degrees % 90 != 0)
        return false;
    // Any multiple of 90 is read by its geometric meaning: 270 turns like -90.
    int quarter = ((degrees / 90) % 4 + 4) % 4;
    if (quarter == 0) {
        resetClip();
        return true;
    }
    if (quarter == 2) {
        flipVertical();
        mirrorHorizontal();
        return true;
    }
    const int oldWidth = m_width;
    const int oldHeight = m_height;
    uint32_t* buffer = allocatePixels(pixelCount());
    if (!buffer)
        return false;
    const int newWidth = oldHeight;
    const int newHeight = oldWidth;
    for (int y = 0; y < newHeight; ++y) {
        uint32_t* row = buffer + size_t(newHeight - 1 - y) * size_t(newWidth);
        for (int x = 0; x < newWidth; ++x)
            row[x] = quarter == 1 ? pixelAt(y, oldHeight - 1 - x) : pixelAt(oldWidth - 1 - y, x);
    }
    adoptBuffer(buffer, newWidth, newHeight);
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
