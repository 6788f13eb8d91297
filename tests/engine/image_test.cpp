// Image: construction, clipping, blending, sampling, blits, DIB import and geometry.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>

#include "engine/image.h"

namespace tavelune {
namespace {

Image picture(int w, int h, std::initializer_list<uint32_t> topDown)
{
    Image image;
    image.create(w, h, 72.0f);
    auto it = topDown.begin();
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.rowFromTop(y)[x] = *it++;
    return image;
}

TEST(Image, NewPictureIsOpaqueWhitePlaceholder)
{
    Image image;
    EXPECT_TRUE(image.isEmpty());
    EXPECT_EQ(image.width(), 1);
    EXPECT_EQ(image.height(), 1);
    EXPECT_EQ(image.dpi(), 72.0f);
    EXPECT_EQ(image.pixels()[0], 0xFFFFFFFFu);
    EXPECT_FALSE(image.create(0, 5, 72.0f));
    EXPECT_FALSE(image.create(5, -1, 72.0f));
    EXPECT_TRUE(image.isEmpty());
    EXPECT_EQ(image.width(), 1);
}

TEST(Image, CreateFillsAndKeepsHeaderInStep)
{
    Image image;
    ASSERT_TRUE(image.create(3, 2, 0.5f));
    EXPECT_FALSE(image.isEmpty());
    EXPECT_EQ(image.dpi(), 72.0f);
    for (size_t i = 0; i < image.pixelCount(); ++i)
        EXPECT_EQ(image.pixels()[i], 0x00FFFFFFu);
    const BitmapInfoHeader& header = image.header();
    EXPECT_EQ(header.biSize, 40u);
    EXPECT_EQ(header.biWidth, 3);
    EXPECT_EQ(header.biHeight, 2);
    EXPECT_EQ(header.biBitCount, 32);
    EXPECT_EQ(header.biXPelsPerMeter, 2834);
    EXPECT_EQ(image.byteSize(), 24u);
    EXPECT_EQ(image.setDpi(300.0f), 72.0f);
    EXPECT_EQ(image.header().biYPelsPerMeter, 11811);
    EXPECT_EQ(image.clipRect(), (Rect{0, 0, 3, 2}));
    // A file's claimed resolution can be anything; the 32-bit field saturates.
    image.setDpi(3.0e8f);
    EXPECT_EQ(image.header().biXPelsPerMeter, std::numeric_limits<int32_t>::max());
    image.setDpi(std::nanf(""));
    EXPECT_EQ(image.header().biXPelsPerMeter, 0);
}

TEST(Image, RowsAreStoredBottomUp)
{
    Image image = picture(2, 2, {1, 2, 3, 4});
    EXPECT_EQ(image.pixels()[0], 3u);
    EXPECT_EQ(image.pixels()[1], 4u);
    EXPECT_EQ(image.pixels()[2], 1u);
    EXPECT_EQ(image.pixelAt(1, 0), 2u);
}

TEST(Image, CopiesAreDeepAndMovesLeaveThePlaceholder)
{
    Image a = picture(2, 1, {0xFF000001, 0xFF000002});
    Image b = a;
    b.rowFromTop(0)[0] = 7;
    EXPECT_EQ(a.pixelAt(0, 0), 0xFF000001u);
    Image c = std::move(a);
    EXPECT_TRUE(a.isEmpty());
    EXPECT_EQ(c.pixelAt(1, 0), 0xFF000002u);
    Image d;
    d = Image();
    EXPECT_TRUE(d.isEmpty());
}

TEST(Image, BlendingFollowsAlphaRules)
{
    struct Case {
        uint32_t destination, colour, expected;
    };
    const Case cases[] = {
        {0xFF102030, 0x00FFFFFF, 0xFF102030},  // transparent colour changes nothing
        {0x00102030, 0x12ABCDEF, 0x12ABCDEF},  // onto alpha 0: stored unchanged
        {0xFF102030, 0xFFABCDEF, 0xFFABCDEF},  // opaque colour replaces
        // alpha 128 over opaque: new alpha 128 + (1 - 128k) * 255 = 254.99999 rounds to
        // 255.0 in single precision, so the pixel stays opaque and moves halfway
        {0xFF000000, 0x80FFFFFF, 0xFF808080},
        {0xFFFFFFFF, 0x80000000, 0xFF7F7F7F},
        {0xFFFFFFFF, 0x7F000000, 0xFF808080},  // a 50 % border band on white is grey 128
        {0x40000000, 0x40FFFFFF, 0x6F919191},  // 64 + (1 - 64k) * 64 = 111.94
    };
    for (const Case& c : cases)
        EXPECT_EQ(Image::blendPixel(c.destination, c.colour), c.expected) << std::hex << c.colour;
}

TEST(Image, SetPixelHonoursTheClipWindow)
{
    Image image;
    image.create(4, 4, 72.0f);
    EXPECT_FALSE(image.setClip(5, 5, 2, 2));
    EXPECT_EQ(image.clipRect(), (Rect{0, 0, 4, 4}));
    ASSERT_TRUE(image.setClip(-1, 1, 3, 10));
    EXPECT_EQ(image.clipRect(), (Rect{0, 1, 2, 4}));
    EXPECT_FALSE(image.setPixel(0, 0, 0xFF000000));
    EXPECT_FALSE(image.setPixel(2, 1, 0xFF000000));
    EXPECT_TRUE(image.setPixel(1, 3, 0xFF000000));
    EXPECT_EQ(image.pixelAt(1, 3), 0xFF000000u);
}

TEST(Image, LinesAndRectanglesIncludeTheirEnds)
{
    Image image;
    image.setFillColour(0xFFFFFFFF);
    image.create(5, 4, 72.0f);
    image.drawRectangle(0, 0, 5, 4, 0xFF000000, 0xFF0000FF);
    for (int x = 0; x < 5; ++x) {
        EXPECT_EQ(image.pixelAt(x, 0), 0xFF000000u);
        EXPECT_EQ(image.pixelAt(x, 3), 0xFF000000u);
    }
    for (int x = 1; x < 4; ++x)
        EXPECT_EQ(image.pixelAt(x, 1), 0xFF0000FFu);
    image.fill(0xFFFFFFFF);
    image.drawLine(4, 3, 0, 0, 0xFF00FF00);
    EXPECT_EQ(image.pixelAt(0, 0), 0xFF00FF00u);
    EXPECT_EQ(image.pixelAt(4, 3), 0xFF00FF00u);
}

TEST(Image, SamplingModesAtTheBorders)
{
    Image image = picture(3, 1, {0xFF000000, 0xFF0000C8, 0xFF000064});
    EXPECT_EQ(image.sample(3 - 0.2, 0, kNearest), 0xFF000064u);
    EXPECT_EQ(image.sample(0.49, 0, kNearest), 0xFF000000u);
    // bilinear halfway between 0 and 200
    EXPECT_EQ(image.sample(0.5, 0, kBilinear) & 0xFF, 100u);
    // at the last column the column is used twice
    EXPECT_EQ(image.sample(2.7, 0, kBilinear), 0xFF000064u);
    // bicubic at an integer position returns the pixel itself
    EXPECT_EQ(image.sample(1.0, 0.0, kBicubic), 0xFF0000C8u);
    // bicubic halfway up a step: 255 * (w(0.5) + w(1.5)) = 127.5
    Image steps = picture(4, 1, {0xFF000000, 0xFF000000, 0xFF0000FF, 0xFF0000FF});
    uint32_t v = steps.sample(1.5, 0, kBicubic) & 0xFF;
    EXPECT_EQ(v, 127u);
}

TEST(Image, DrawImageKeysOutNearWhite)
{
    Image dest;
    dest.setFillColour(0xFF000000);
    dest.create(2, 1, 72.0f);
    Image source = picture(2, 1, {0xFFF8F8F8, 0xFF102030});
    source.setColourKey(0x00F0F0F0, 0xFFFFFFFF, 0);
    dest.drawImage({0, 0, 2, 1}, source, {0, 0, 2, 1}, kNearest, 0);
    EXPECT_EQ(dest.pixelAt(0, 0), 0xFF000000u);
    EXPECT_EQ(dest.pixelAt(1, 0), 0xFF102030u);
}

TEST(Image, DrawImageScalesAndFillsOutsideSourceArea)
{
    Image dest;
    dest.setFillColour(0xFF000000);
    dest.create(4, 2, 72.0f);
    Image source = picture(2, 1, {0xFF0000FF, 0xFF00FF00});
    ASSERT_TRUE(source.setClip(0, 0, 1, 1));
    dest.drawImage({0, 0, 4, 2}, source, {0, 0, 2, 1}, kNearest, 0xFFFF0000);
    EXPECT_EQ(dest.pixelAt(0, 0), 0xFF0000FFu);
    EXPECT_EQ(dest.pixelAt(0, 1), 0xFF0000FFu);
    // nearest sampling at 0.5 rounds up and may read beyond the clip window
    EXPECT_EQ(dest.pixelAt(1, 1), 0xFF00FF00u);
    EXPECT_EQ(dest.pixelAt(2, 0), 0xFFFF0000u);  // source x 1.0 is outside the clip window
    EXPECT_EQ(dest.pixelAt(3, 1), 0xFFFF0000u);
}

TEST(Image, CopyImageAppliesOpacity)
{
    Image dest;
    dest.setFillColour(0xFF000000);
    dest.create(2, 1, 72.0f);
    Image source = picture(1, 1, {0xFFFFFFFF});
    source.setOpacity(50);
    dest.copyImage(0, 0, source, 0, 0, 2, 1, 0x00000000);
    // alpha (50 * 255 + 50) / 100 = 128 over black
    EXPECT_EQ(dest.pixelAt(0, 0), 0xFF808080u);
    EXPECT_EQ(dest.pixelAt(1, 0), 0xFF000000u);  // outside the source: transparent colour
}

// The row-wise copy and fill must give what compositing pixel by pixel gives, for opaque and
// translucent pixels, sources clipped or offset past either edge, and a clipped destination.
TEST(Image, CopyAndFillMatchPixelByPixelCompositing)
{
    uint32_t seed = 12345;
    auto next = [&] { return seed = seed * 1664525u + 1013904223u; };
    auto noise = [&](int w, int h) {
        Image image;
        image.create(w, h, 72.0f);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                uint32_t v = next();
                // A third opaque, a few fully transparent, the rest translucent.
                uint32_t alpha = (v >> 24) % 3 == 0 ? 255 : (v >> 24) % 7 == 0 ? 0 : v >> 24;
                image.rowFromTop(y)[x] = (alpha << 24) | (next() & 0xFFFFFF);
            }
        return image;
    };
    struct Case {
        int destX, destY, sourceX, sourceY, w, h;
        Rect sourceClip, destClip;
    };
    const Case cases[] = {
        {0, 0, 0, 0, 9, 7, {0, 0, 9, 7}, {0, 0, 13, 11}},
        {3, 2, 0, 0, 9, 7, {0, 0, 9, 7}, {0, 0, 13, 11}},
        {-2, -1, 1, 1, 20, 20, {2, 1, 7, 6}, {0, 0, 13, 11}},
        {4, 3, -3, -2, 12, 9, {0, 0, 9, 7}, {1, 2, 10, 9}},
        {0, 0, 5, 0, 13, 11, {0, 0, 9, 7}, {0, 0, 13, 11}},
    };
    const uint32_t outside[] = {0x00000000, 0xFF336699, 0x80FF0000};
    for (const Case& c : cases) {
        for (uint32_t outsideColour : outside) {
            Image source = noise(9, 7);
            ASSERT_TRUE(source.setClipRect(c.sourceClip));
            Image dest = noise(13, 11);
            Image expected = dest;
            ASSERT_TRUE(dest.setClipRect(c.destClip));
            dest.copyImage(c.destX, c.destY, source, c.sourceX, c.sourceY, c.w, c.h, outsideColour);
            for (int y = 0; y < 11; ++y)
                for (int x = 0; x < 13; ++x) {
                    const int fromX = c.sourceX + x - c.destX;
                    const int fromY = c.sourceY + y - c.destY;
                    const bool written = x >= c.destX && x < c.destX + c.w && y >= c.destY &&
                                         y < c.destY + c.h && x >= c.destClip.left &&
                                         x < c.destClip.right && y >= c.destClip.top &&
                                         y < c.destClip.bottom;
                    const bool inside = fromX >= c.sourceClip.left && fromX < c.sourceClip.right &&
                                        fromY >= c.sourceClip.top && fromY < c.sourceClip.bottom;
                    uint32_t want = expected.pixelAt(x, y);
                    if (written)
                        want = Image::blendPixel(
                            want, inside ? source.pixelAt(fromX, fromY) : outsideColour);
                    ASSERT_EQ(dest.pixelAt(x, y), want) << x << "," << y;
                }
        }
    }
    for (uint32_t fill : {0xFF204060u, 0x80204060u}) {
        Image dest = noise(13, 11);
        Image expected = dest;
        ASSERT_TRUE(dest.setClip(2, 1, 8, 9));
        dest.drawRectangle(0, 0, 12, 8, 0x00000000, fill);
        for (int y = 0; y < 11; ++y)
            for (int x = 0; x < 13; ++x) {
                // The clip is columns 2..9, rows 1..9; the rectangle's inside 1..10 x 1..6.
                const bool inClip = x >= 2 && x < 10 && y >= 1;
                uint32_t want = expected.pixelAt(x, y);
                if (inClip && y < 7)
                    want = Image::blendPixel(want, fill);
                // The transparent outline still clears pixels that were fully transparent.
                if (inClip && (y == 7 || x == 11))
                    want = Image::blendPixel(want, 0x00000000);
                ASSERT_EQ(dest.pixelAt(x, y), want) << x << "," << y;
            }
    }
}

TEST(Image, FromDibDecodesEveryBitDepth)
{
    Image image;
    image.create(2, 1, 72.0f);
    BitmapInfoHeader header;
    header.biWidth = 2;
    header.biHeight = 1;
    const uint32_t palette[2] = {0x00112233, 0x00445566};

    header.biBitCount = 1;
    const uint8_t one[4] = {0x40, 0, 0, 0};
    ASSERT_TRUE(image.fromDib(header, palette, 2, one, sizeof one));
    EXPECT_EQ(image.pixelAt(0, 0), 0xFF112233u);
    EXPECT_EQ(image.pixelAt(1, 0), 0xFF445566u);

    header.biBitCount = 16;
    const uint8_t sixteen[4] = {0xFF, 0x7F, 0x1F, 0x00};
    ASSERT_TRUE(image.fromDib(header, nullptr, 0, sixteen, sizeof sixteen));
    EXPECT_EQ(image.pixelAt(0, 0), 0xFFF8F8F8u);
    EXPECT_EQ(image.pixelAt(1, 0), 0xFF0000F8u);
    header.biCompression = kBiBitfields;
    const uint8_t sixFiveFive[4] = {0xE0, 0x07, 0x00, 0xF8};
    ASSERT_TRUE(image.fromDib(header, nullptr, 0, sixFiveFive, sizeof sixFiveFive));
    EXPECT_EQ(image.pixelAt(0, 0), 0xFF00FC00u);
    EXPECT_EQ(image.pixelAt(1, 0), 0xFFF80000u);

    header.biCompression = kBiRgb;
    header.biBitCount = 32;
    const uint8_t full[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_TRUE(image.fromDib(header, nullptr, 0, full, sizeof full));
    EXPECT_EQ(image.pixelAt(1, 0), 0x08070605u);

    EXPECT_FALSE(image.fromDib(header, nullptr, 0, full, 4));  // too short
    header.biCompression = 1;
    EXPECT_FALSE(image.fromDib(header, nullptr, 0, full, sizeof full));
    header.biCompression = kBiRgb;
    header.biWidth = 3;
    EXPECT_FALSE(image.fromDib(header, nullptr, 0, full, sizeof full));
}

TEST(ImageGeometry, ResizeNearestTakesEverySecondPixel)
{
    Image image;
    image.create(4, 4, 150.0f);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            image.rowFromTop(y)[x] = uint32_t(y * 4 + x);
    ASSERT_TRUE(image.resize(2, 2, kNearest));
    EXPECT_EQ(image.pixelAt(0, 0), 0u);
    EXPECT_EQ(image.pixelAt(1, 0), 2u);
    EXPECT_EQ(image.pixelAt(0, 1), 8u);
    EXPECT_EQ(image.pixelAt(1, 1), 10u);
    EXPECT_EQ(image.dpi(), 150.0f);
    EXPECT_EQ(image.header().biWidth, 2);
    EXPECT_FALSE(image.resize(0, 2, kNearest));
}

TEST(ImageGeometry, QuarterTurnsMoveTheCorners)
{
    Image image = picture(3, 2, {1, 2, 3, 4, 5, 6});
    Image clockwise = image;
    ASSERT_TRUE(clockwise.rotate(90));
    EXPECT_EQ(clockwise.width(), 2);
    EXPECT_EQ(clockwise.height(), 3);
    EXPECT_EQ(clockwise.pixelAt(1, 0), 1u);  // old top-left is now top-right
    EXPECT_EQ(clockwise.pixelAt(0, 0), 4u);
    Image counter = image;
    ASSERT_TRUE(counter.rotate(-90));
    EXPECT_EQ(counter.pixelAt(0, 2), 1u);  // old top-left lands bottom-left
    Image threeQuarters = image;
    ASSERT_TRUE(threeQuarters.rotate(270));
    EXPECT_EQ(0, std::memcmp(threeQuarters.pixels(), counter.pixels(), counter.byteSize()));
    Image half = image;
    ASSERT_TRUE(half.rotate(180));
    EXPECT_EQ(half.pixelAt(0, 0), 6u);
    EXPECT_EQ(half.pixelAt(2, 1), 1u);
    EXPECT_FALSE(image.rotate(45));
    image.setClip(1, 1, 1, 1);
    ASSERT_TRUE(image.rotate(360));
    EXPECT_EQ(image.clipRect(), (Rect{0, 0, 3, 2}));
    EXPECT_EQ(image.pixelAt(0, 0), 1u);
}

TEST(ImageGeometry, MirrorAndFlipAreInvolutions)
{
    Image image = picture(3, 3, {1, 2, 3, 4, 5, 6, 7, 8, 9});
    Image copy = image;
    copy.mirrorHorizontal();
    EXPECT_EQ(copy.pixelAt(0, 0), 3u);
    copy.mirrorHorizontal();
    copy.flipVertical();
    EXPECT_EQ(copy.pixelAt(0, 0), 7u);
    copy.flipVertical();
    EXPECT_EQ(0, std::memcmp(copy.pixels(), image.pixels(), image.byteSize()));
}

}  // namespace
}  // namespace tavelune
