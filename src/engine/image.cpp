// Image: buffer ownership, header upkeep, clipping, blending, sampling and blits.
#include "engine/image.h"

#include "engine/pixel_limit.h"
#include "engine/sampling_math.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <new>

namespace tavelune {
namespace {

constexpr float kInverse255 = 0.003921569f;  // the single-precision value nearest 1/255
constexpr double kInchesPerCentimetre = 0.39370078740157477;

uint32_t channel(uint32_t pixel, int shift) { return (pixel >> shift) & 0xFF; }

bool insideKeyBox(uint32_t colour, uint32_t low, uint32_t high)
{
    for (int shift = 0; shift < 32; shift += 8) {
        uint32_t c = channel(colour, shift);
        if (c < channel(low, shift) || c > channel(high, shift))
            return false;
    }
    return true;
}

}  // namespace

uint32_t* allocatePixels(size_t count)
{
    if (count == 0 || count > std::numeric_limits<size_t>::max() / sizeof(uint32_t))
        return nullptr;
    return static_cast<uint32_t*>(std::malloc(count * sizeof(uint32_t)));
}

void freePixels(uint32_t* buffer) { std::free(buffer); }

Image::Image() : m_pixels(&m_inlinePixel) { updateHeader(); }

Image::Image(const Image& other) : Image() { *this = other; }

Image::Image(Image&& other) noexcept : Image() { *this = std::move(other); }

Image& Image::operator=(const Image& other)
{
    if (this == &other)
        return *this;
    if (other.isEmpty()) {
        reset();
    } else {
        uint32_t* copy = allocatePixels(other.pixelCount());
        if (!copy)
            throw std::bad_alloc();
        std::memcpy(copy, other.m_pixels, other.byteSize());
        adoptBuffer(copy, other.m_width, other.m_height);
    }
    copyState(other);
    return *this;
}

Image& Image::operator=(Image&& other) noexcept
{
    if (this == &other)
        return *this;
    freeBuffer();
    m_width = other.m_width;
    m_height = other.m_height;
    m_pixels = other.isEmpty() ? &m_inlinePixel : other.m_pixels;
    copyState(other);
    other.m_pixels = &other.m_inlinePixel;
    other.reset();
    return *this;
}

Image::~Image() { freeBuffer(); }

void Image::copyState(const Image& other)
{
    m_dpi = other.m_dpi;
    m_inlinePixel = other.m_inlinePixel;
    m_fillColour = other.m_fillColour;
    m_opacity = other.m_opacity;
    m_keyLow = other.m_keyLow;
    m_keyHigh = other.m_keyHigh;
    m_keyOpacity = other.m_keyOpacity;
    m_clipLeft = other.m_clipLeft;
    m_clipTop = other.m_clipTop;
    m_clipRight = other.m_clipRight;
    m_clipBottom = other.m_clipBottom;
    updateHeader();
}

void Image::freeBuffer()
{
    if (m_pixels != &m_inlinePixel)
        freePixels(m_pixels);
    m_pixels = &m_inlinePixel;
}

void Image::adoptBuffer(uint32_t* buffer, int width, int height)
{
    freeBuffer();
    m_pixels = buffer;
    m_width = width;
    m_height = height;
    resetClip();
    updateHeader();
}

void Image::updateHeader()
{
    m_header = BitmapInfoHeader{};
    m_header.biWidth = m_width;
    m_header.biHeight = m_height;
    // A file may claim any resolution; the header field is 32-bit, so it saturates.
    double wanted = double(m_dpi) * 100.0 * kInchesPerCentimetre;
    constexpr double kLargest = std::numeric_limits<int32_t>::max();
    auto perMetre = std::isnan(wanted) ? 0 : int32_t(std::clamp(wanted, -kLargest, kLargest));
    m_header.biXPelsPerMeter = perMetre;
    m_header.biYPelsPerMeter = perMetre;
}

bool Image::create(int width, int height, float dpi, const uint32_t* source)
{
    if (width <= 0 || height <= 0 || !withinPixelLimit(uint64_t(width), uint64_t(height)))
        return false;
    size_t count = size_t(width) * size_t(height);
    uint32_t* buffer = allocatePixels(count);
    if (!buffer)
        return false;
    if (source)
        std::memcpy(buffer, source, count * sizeof(uint32_t));
    else
        std::fill_n(buffer, count, m_fillColour);
    m_dpi = dpi < 1.0f ? 72.0f : dpi;
    adoptBuffer(buffer, width, height);
    return true;
}

bool Image::allocate(int width, int height, float dpi)
{
    if (width <= 0 || height <= 0 || !withinPixelLimit(uint64_t(width), uint64_t(height)))
        return false;
    uint32_t* buffer = allocatePixels(size_t(width) * size_t(height));
    if (!buffer)
        return false;
    m_dpi = dpi < 1.0f ? 72.0f : dpi;
    adoptBuffer(buffer, width, height);
    return true;
}

uint32_t* Image::exchangePixels(uint32_t* buffer)
{
    if (isEmpty() || !buffer)
        return nullptr;
    uint32_t* old = m_pixels;
    m_pixels = buffer;
    return old;
}

void Image::reset()
{
    // Freeing here as well keeps a reset from ever leaking the buffer.
    freeBuffer();
    m_width = 1;
    m_height = 1;
    m_dpi = 72.0f;
    m_inlinePixel = 0xFFFFFFFF;
    m_fillColour = 0x00FFFFFF;
    m_opacity = 100;
    m_keyLow = 0x00000000;
    m_keyHigh = 0xFFFFFFFF;
    m_keyOpacity = 100;
    resetClip();
    updateHeader();
}

void Image::destroyPixels() { reset(); }

float Image::setDpi(float dpi)
{
    float old = m_dpi;
    m_dpi = dpi;
    updateHeader();
    return old;
}

uint32_t Image::setFillColour(uint32_t colour)
{
    uint32_t old = m_fillColour;
    m_fillColour = colour;
    return old;
}

int Image::setOpacity(int percent)
{
    int old = m_opacity;
    m_opacity = uint8_t(std::clamp(percent, 0, 100));
    return old;
}

void Image::setColourKey(uint32_t low, uint32_t high, int keyOpacity)
{
    m_keyLow = low;
    m_keyHigh = high;
    m_keyOpacity = uint8_t(std::clamp(keyOpacity, 0, 255));
}

void Image::resetClip()
{
    m_clipLeft = 0;
    m_clipTop = 0;
    m_clipRight = m_width;
    m_clipBottom = m_height;
}

bool Image::setClip(int x, int y, int w, int h)
{
    int64_t right = std::min<int64_t>(int64_t(x) + w, m_width);
    int64_t bottom = std::min<int64_t>(int64_t(y) + h, m_height);
    int64_t left = std::max(x, 0);
    int64_t top = std::max(y, 0);
    if (right <= left || bottom <= top)
        return false;
    m_clipLeft = int32_t(left);
    m_clipTop = int32_t(top);
    m_clipRight = int32_t(right);
    m_clipBottom = int32_t(bottom);
    return true;
}

bool Image::setClipRect(const Rect& rect)
{
    return setClip(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
}

void Image::fill(uint32_t colour) { std::fill_n(m_pixels, pixelCount(), colour); }

uint32_t Image::blendPixel(uint32_t destination, uint32_t colour)
{
    uint32_t alpha = colour >> 24;
    uint32_t destAlpha = destination >> 24;
    if (alpha == 255 || destAlpha == 0)
        return colour;
    if (alpha == 0)
        return destination;
    // Stored in single precision, as the film's compositing does: a blend over an opaque
    // pixel then stays exactly opaque (255.0, not 254.99999).
    double newAlpha =
        float(double(alpha) + (1.0 - double(alpha) * double(kInverse255)) * double(destAlpha));
    double ratio = double(alpha) / newAlpha;
    uint32_t result = uint32_t(newAlpha) << 24;
    for (int shift = 0; shift < 24; shift += 8) {
        double d = channel(destination, shift);
        double c = channel(colour, shift);
        result |= uint32_t(d + ratio * (c - d)) << shift;
    }
    return result;
}

bool Image::setPixel(int x, int y, uint32_t colour)
{
    if (x < m_clipLeft || x >= m_clipRight || y < m_clipTop || y >= m_clipBottom)
        return false;
    uint32_t& target = m_pixels[rowIndex(y) + size_t(x)];
    target = blendPixel(target, colour);
    return true;
}

void Image::drawLine(int x1, int y1, int x2, int y2, uint32_t colour)
{
    int dx = std::abs(x2 - x1);
    int dy = -std::abs(y2 - y1);
    int stepX = x1 < x2 ? 1 : -1;
    int stepY = y1 < y2 ? 1 : -1;
    int error = dx + dy;
    for (;;) {
        setPixel(x1, y1, colour);
        if (x1 == x2 && y1 == y2)
            break;
        int doubled = 2 * error;
        if (doubled >= dy) {
            error += dy;
            x1 += stepX;
        }
        if (doubled <= dx) {
            error += dx;
            y1 += stepY;
        }
    }
}

void Image::drawRectangle(int x, int y, int w, int h, uint32_t outline, uint32_t fill)
{
    if (w <= 0 || h <= 0)
        return;
    if ((fill >> 24) != 0) {
        int left = std::max(x + 1, m_clipLeft);
        int right = std::min(x + w - 1, m_clipRight);
        int top = std::max(y + 1, m_clipTop);
        int bottom = std::min(y + h - 1, m_clipBottom);
        // Row by row rather than through setPixel: the bounds are already clipped, and an
        // opaque fill replaces the pixels outright (a frame fills a whole picture).
        for (int row = top; row < bottom && left < right; ++row) {
            uint32_t* line = rowFromTop(row);
            if ((fill >> 24) == 255)
                std::fill(line + left, line + right, fill);
            else
                for (int column = left; column < right; ++column)
                    line[column] = blendPixel(line[column], fill);
        }
    }
    drawLine(x, y, x + w - 1, y, outline);
    drawLine(x, y + h - 1, x + w - 1, y + h - 1, outline);
    drawLine(x, y, x, y + h - 1, outline);
    drawLine(x + w - 1, y, x + w - 1, y + h - 1, outline);
}

uint32_t Image::keyedColour(uint32_t colour, bool& skip) const
{
    skip = false;
    if (m_keyOpacity < 100 && insideKeyBox(colour, m_keyLow, m_keyHigh)) {
        if (m_keyOpacity == 0) {
            skip = true;
            return colour;
        }
        uint32_t alpha = ((colour >> 24) * m_keyOpacity + 50) / 100;
        colour = (colour & 0x00FFFFFF) | (alpha << 24);
    }
    if (m_opacity < 100) {
        uint32_t alpha = (m_opacity * (colour >> 24) + 50) / 100;
        colour = (colour & 0x00FFFFFF) | (alpha << 24);
    }
    return colour;
}

uint32_t Image::sample(double x, double y, int samplerMode) const
{
    const int lastColumn = m_width - 1;
    const int lastRow = m_height - 1;
    if (samplerMode == kBilinear) {
        int x0 = std::clamp(int(x), 0, lastColumn);
        int y0 = std::clamp(int(y), 0, lastRow);
        int x1 = x0 < lastColumn ? x0 + 1 : x0;
        int y1 = y0 < lastRow ? y0 + 1 : y0;
        double fx = x - x0;
        double fy = y - y0;
        uint32_t p00 = pixelAt(x0, y0), p10 = pixelAt(x1, y0);
        uint32_t p01 = pixelAt(x0, y1), p11 = pixelAt(x1, y1);
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            uint32_t top = detail::lerpByte(channel(p00, shift), channel(p10, shift), fx);
            uint32_t bottom = detail::lerpByte(channel(p01, shift), channel(p11, shift), fx);
            result |= (detail::lerpByte(top, bottom, fy) & 0xFF) << shift;
        }
        return result;
    }
    if (samplerMode == kBicubic) {
        int ix = std::clamp(int(x), 0, lastColumn);
        int iy = std::clamp(int(y), 0, lastRow);
        double fx = x - ix;
        double fy = y - iy;
        double columnWeights[4], rowWeights[4];
        detail::cubicWeights(fx, columnWeights);
        detail::cubicWeights(fy, rowWeights);
        // Clamping the neighbour index gives exactly the edge replacements (-1 -> 0 at the
        // first column, +1/+2 -> 0 at the last, +2 -> +1 at the last but one).
        int columns[4], rows[4];
        for (int k = 0; k < 4; ++k) {
            columns[k] = std::clamp(ix + k - 1, 0, lastColumn);
            rows[k] = std::clamp(iy + k - 1, 0, lastRow);
        }
        uint32_t result = 0;
        for (int shift = 0; shift < 32; shift += 8) {
            double sum = 0.0;
            for (int c = 0; c < 4; ++c) {
                double columnSum = 0.0;
                for (int r = 0; r < 4; ++r)
                    columnSum += rowWeights[r] * channel(pixelAt(columns[c], rows[r]), shift);
                sum += columnWeights[c] * columnSum;
            }
            result |= uint32_t(std::clamp(sum, 0.0, 255.0)) << shift;
        }
        return result;
    }
    int column = std::clamp(int(x + 0.5), 0, lastColumn);
    int row = std::clamp(int(y + 0.5), 0, lastRow);
    return pixelAt(column, row);
}

void Image::drawImage(const Rect& destRect, const Image& source, const Rect& sourceRect,
                      int samplerMode, uint32_t outsideColour)
{
    Rect dest{std::max(destRect.left, m_clipLeft), std::max(destRect.top, m_clipTop),
              std::min(destRect.right, m_clipRight), std::min(destRect.bottom, m_clipBottom)};
    Rect clip = source.clipRect();
    Rect area{std::max(sourceRect.left, clip.left), std::max(sourceRect.top, clip.top),
              std::min(sourceRect.right, clip.right), std::min(sourceRect.bottom, clip.bottom)};
    if (dest.isEmpty() || area.isEmpty() || destRect.isEmpty())
        return;
    double sx = double(sourceRect.width()) / double(destRect.width());
    double sy = double(sourceRect.height()) / double(destRect.height());
    for (int y = dest.top; y < dest.bottom; ++y) {
        double sourceY = sourceRect.top + (y - destRect.top) * sy;
        uint32_t* row = rowFromTop(y);
        for (int x = dest.left; x < dest.right; ++x) {
            double sourceX = sourceRect.left + (x - destRect.left) * sx;
            uint32_t colour = outsideColour;
            if (sourceX >= area.left && sourceX < area.right && sourceY >= area.top &&
                sourceY < area.bottom) {
                bool skip = false;
                colour = source.keyedColour(source.sample(sourceX, sourceY, samplerMode), skip);
                if (skip)
                    continue;
            }
            row[x] = blendPixel(row[x], colour);
        }
    }
}

void Image::copyImage(int destX, int destY, const Image& source, int sourceX, int sourceY, int w,
                      int h, uint32_t outsideColour)
{
    if (w <= 0 || h <= 0)
        return;
    Rect dest{std::max(destX, m_clipLeft), std::max(destY, m_clipTop),
              int(std::min<int64_t>(int64_t(destX) + w, m_clipRight)),
              int(std::min<int64_t>(int64_t(destY) + h, m_clipBottom))};
    if (dest.isEmpty())
        return;
    Rect area = source.clipRect();
    // Neither keyed nor faded: each source pixel goes through unchanged, so the columns that
    // lie inside the source can be read along its row.
    const bool plain = source.m_keyOpacity >= 100 && source.m_opacity >= 100;
    const int64_t shift = int64_t(sourceX) - destX;
    const int insideLeft = int(std::clamp<int64_t>(area.left - shift, dest.left, dest.right));
    const int insideRight = int(std::clamp<int64_t>(area.right - shift, insideLeft, dest.right));
    for (int y = dest.top; y < dest.bottom; ++y) {
        int64_t fromY = int64_t(sourceY) + (y - destY);
        uint32_t* row = rowFromTop(y);
        if (plain && fromY >= area.top && fromY < area.bottom) {
            for (int x = dest.left; x < insideLeft; ++x) row[x] = blendPixel(row[x], outsideColour);
            const uint32_t* from = source.rowFromTop(int(fromY));
            for (int x = insideLeft; x < insideRight; ++x) {
                const uint32_t colour = from[x + shift];
                row[x] = (colour >> 24) == 255 ? colour : blendPixel(row[x], colour);
            }
            for (int x = insideRight; x < dest.right; ++x)
                row[x] = blendPixel(row[x], outsideColour);
            continue;
        }
        for (int x = dest.left; x < dest.right; ++x) {
            int64_t fromX = int64_t(sourceX) + (x - destX);
            uint32_t colour = outsideColour;
            if (fromX >= area.left && fromX < area.right && fromY >= area.top &&
                fromY < area.bottom) {
                bool skip = false;
                colour = source.keyedColour(source.pixelAt(int(fromX), int(fromY)), skip);
                if (skip)
                    continue;
            }
            row[x] = blendPixel(row[x], colour);
        }
    }
}

bool Image::fromDib(const BitmapInfoHeader& header, const uint32_t* palette, size_t paletteCount,
                    const uint8_t* bits, size_t bitsSize)
{
    if (header.biWidth != m_width || header.biHeight != m_height || !bits)
        return false;
    if (header.biCompression != kBiRgb && header.biCompression != kBiBitfields)
        return false;
    const int bitCount = header.biBitCount;
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 &&
        bitCount != 32)
        return false;
    const size_t stride = ((size_t(m_width) * size_t(bitCount) + 31) / 32) * 4;
    if (bitsSize / stride < size_t(m_height))
        return false;
    auto paletteColour = [&](size_t index) -> uint32_t {
        uint32_t entry = (palette && index < paletteCount) ? palette[index] : 0;
        return 0xFF000000u | (entry & 0x00FFFFFF);
    };
    const bool fiveSixFive = header.biCompression == kBiBitfields;
    for (int row = 0; row < m_height; ++row) {
        const uint8_t* in = bits + size_t(row) * stride;
        uint32_t* out = m_pixels + size_t(row) * size_t(m_width);
        for (int x = 0; x < m_width; ++x) {
            switch (bitCount) {
            case 1:
                out[x] = paletteColour((in[x >> 3] >> (7 - (x & 7))) & 1);
                break;
            case 4:
                out[x] = paletteColour((in[x >> 1] >> ((x & 1) ? 0 : 4)) & 0x0F);
                break;
            case 8:
                out[x] = paletteColour(in[x]);
                break;
            case 16: {
                uint32_t v = uint32_t(in[2 * x]) | (uint32_t(in[2 * x + 1]) << 8);
                uint32_t blue = (v & 0x1F) << 3;
                uint32_t green = fiveSixFive ? ((v >> 5) & 0x3F) << 2 : ((v >> 5) & 0x1F) << 3;
                uint32_t red = fiveSixFive ? ((v >> 11) & 0x1F) << 3 : ((v >> 10) & 0x1F) << 3;
                out[x] = 0xFF000000u | (red << 16) | (green << 8) | blue;
                break;
            }
            case 24:
                out[x] = 0xFF000000u | (uint32_t(in[3 * x + 2]) << 16) |
                         (uint32_t(in[3 * x + 1]) << 8) | in[3 * x];
                break;
            default:
                std::memcpy(&out[x], in + 4 * size_t(x), 4);
                break;
            }
        }
    }
    return true;
}

}  // namespace tavelune
