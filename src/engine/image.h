// The one in-memory picture: 32-bit BGRA pixels, rows bottom-up, with its bitmap header.
// Layer engine: the picture, codecs, geometry and their dialog models; sits on pixel only.
#pragma once

#include <cstddef>
#include <cstdint>

namespace tavelune {

/// The 40-byte Windows bitmap info header, same fields and packing; kept in step with an Image.
#pragma pack(push, 1)
struct BitmapInfoHeader {
    uint32_t biSize = 40;
    int32_t biWidth = 1;
    int32_t biHeight = 1;
    uint16_t biPlanes = 1;
    uint16_t biBitCount = 32;
    uint32_t biCompression = 0;
    uint32_t biSizeImage = 0;
    int32_t biXPelsPerMeter = 2834;
    int32_t biYPelsPerMeter = 2834;
    uint32_t biClrUsed = 0;
    uint32_t biClrImportant = 0;
};
#pragma pack(pop)
static_assert(sizeof(BitmapInfoHeader) == 40);

inline constexpr uint32_t kBiRgb = 0;
inline constexpr uint32_t kBiBitfields = 3;

/// Left, top, right, bottom in pixels, y from the top; right and bottom exclusive.
struct Rect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;

    int width() const { return right - left; }
    int height() const { return bottom - top; }
    bool isEmpty() const { return right <= left || bottom <= top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

struct ColourKey {
    uint32_t low = 0x00000000;
    uint32_t high = 0xFFFFFFFF;
    int opacity = 100;  // 100 or more: keying off
};

/// Sampler modes of sample(), drawImage() and resize().
enum SamplerMode : int { kNearest = 0, kBilinear = 1, kBicubic = 2 };

/// A picture. Pixel values read 0xAARRGGBB; the pixel in column x of row y (y from the top) is
/// pixels()[x + (height - 1 - y) * width]. A new or reset picture is the 1 x 1 placeholder,
/// which reports isEmpty(). Copies copy the pixels.
class Image {
public:
    Image();
    Image(const Image& other);
    Image(Image&& other) noexcept;
    Image& operator=(const Image& other);
    Image& operator=(Image&& other) noexcept;
    virtual ~Image();

    /// Allocates width x height pixels, copied from source (same layout) or filled with the
    /// fill colour. Fails (false, picture unchanged) for non-positive sizes, sizes over the
    /// pixel limit (engine/pixel_limit.h) or no memory; resize() likewise.
    bool create(int width, int height, float dpi, const uint32_t* source = nullptr);
    /// create() without the fill, for callers that write every pixel themselves.
    bool allocate(int width, int height, float dpi);
    /// Puts buffer (from allocatePixels, this picture's size) in place of the pixels and
    /// returns the old buffer for freePixels; null and nothing changed for the placeholder.
    uint32_t* exchangePixels(uint32_t* buffer);
    /// Back to the placeholder; the caller frees first (destroyPixels does both).
    void reset();
    void destroyPixels();

    int width() const { return m_width; }
    int height() const { return m_height; }
    float dpi() const { return m_dpi; }
    uint32_t* pixels() { return m_pixels; }
    const uint32_t* pixels() const { return m_pixels; }
    const BitmapInfoHeader& header() const { return m_header; }
    size_t pixelCount() const { return size_t(m_width) * size_t(m_height); }
    size_t byteSize() const { return pixelCount() * 4; }
    bool isEmpty() const { return m_pixels == &m_inlinePixel; }

    /// Stores dpi and recomputes the header's pixels per metre; returns the old dpi.
    float setDpi(float dpi);
    uint32_t fillColour() const { return m_fillColour; }
    uint32_t setFillColour(uint32_t colour);
    int opacity() const { return m_opacity; }
    int setOpacity(int percent);
    void setColourKey(uint32_t low, uint32_t high, int keyOpacity);
    ColourKey colourKey() const { return {m_keyLow, m_keyHigh, m_keyOpacity}; }

    bool setClip(int x, int y, int w, int h);
    bool setClipRect(const Rect& rect);
    Rect clipRect() const { return {m_clipLeft, m_clipTop, m_clipRight, m_clipBottom}; }
    void resetClip();

    /// Pixel at column x, row y from the top; no bounds check beyond an assert.
    uint32_t pixelAt(int x, int y) const { return m_pixels[rowIndex(y) + size_t(x)]; }
    uint32_t* rowFromTop(int y) { return m_pixels + rowIndex(y); }
    const uint32_t* rowFromTop(int y) const { return m_pixels + rowIndex(y); }

    void fill(uint32_t colour);
    bool setPixel(int x, int y, uint32_t colour);
    void drawLine(int x1, int y1, int x2, int y2, uint32_t colour);
    void drawRectangle(int x, int y, int w, int h, uint32_t outline, uint32_t fill);
    void drawImage(const Rect& destRect, const Image& source, const Rect& sourceRect, int samplerMode,
                   uint32_t outsideColour);
    void copyImage(int destX, int destY, const Image& source, int sourceX, int sourceY, int w, int h,
                   uint32_t outsideColour);
    uint32_t sample(double x, double y, int samplerMode) const;

    bool resize(int newWidth, int newHeight, int samplerMode);
    bool rotate(int degrees);
    void mirrorHorizontal();
    void flipVertical();

    /// Imports a device-independent bitmap of this picture's size. palette holds RGBQUAD
    /// entries (B, G, R, reserved); bits holds the rows padded to 4 bytes, bottom-up.
    bool fromDib(const BitmapInfoHeader& header, const uint32_t* palette, size_t paletteCount,
                 const uint8_t* bits, size_t bitsSize);

    /// Blends colour (with its own alpha) onto one pixel value.
    static uint32_t blendPixel(uint32_t destination, uint32_t colour);

private:
    size_t rowIndex(int y) const { return size_t(m_height - 1 - y) * size_t(m_width); }
    void freeBuffer();
    /// Everything but the pixels and the size.
    void copyState(const Image& other);
    void adoptBuffer(uint32_t* buffer, int width, int height);
    void updateHeader();
    uint32_t keyedColour(uint32_t colour, bool& skip) const;

    int32_t m_width = 1;
    int32_t m_height = 1;
    float m_dpi = 72.0f;
    uint32_t* m_pixels = nullptr;
    uint32_t m_inlinePixel = 0xFFFFFFFF;
    uint32_t m_fillColour = 0x00FFFFFF;
    uint8_t m_opacity = 100;
    uint32_t m_keyLow = 0x00000000;
    uint32_t m_keyHigh = 0xFFFFFFFF;
    uint8_t m_keyOpacity = 100;
    int32_t m_clipLeft = 0;
    int32_t m_clipTop = 0;
    int32_t m_clipRight = 1;
    int32_t m_clipBottom = 1;
    BitmapInfoHeader m_header;
};

/// Allocates n pixels without throwing; null on failure or when n overflows.
uint32_t* allocatePixels(size_t count);
void freePixels(uint32_t* buffer);

}  // namespace tavelune
