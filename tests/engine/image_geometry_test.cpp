// Geometry: resampling results, the fast kernels against the per-pixel ones, quarter turns,
// EXIF orientation and the size limit for opened pictures.
#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

#include "engine/exif_orientation.h"
#include "engine/fit_within.h"
#include "engine/image.h"
#include "engine/quarter_turn.h"
#include "engine/resample.h"

namespace tavelune {
namespace {

Image noisePicture(int w, int h, unsigned seed)
{
    Image image;
    image.create(w, h, 96.0f);
    std::mt19937 random(seed);
    for (size_t i = 0; i < image.pixelCount(); ++i)
        image.pixels()[i] = uint32_t(random());
    return image;
}

// Each pixel names its own position: column in the low byte, row in the next.
Image positionPicture(int w, int h)
{
    Image image;
    image.create(w, h, 72.0f);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            image.rowFromTop(y)[x] = 0xFF000000u | uint32_t(y) << 8 | uint32_t(x);
    return image;
}

std::vector<uint32_t> topDownPixels(const Image& image)
{
    std::vector<uint32_t> out;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            out.push_back(image.pixelAt(x, y));
    return out;
}

uint32_t blue(uint32_t pixel) { return pixel & 0xFF; }

TEST(ImageGeometry, BilinearResizeTruncatesAfterEveryInterpolation)
{
    // Blue 10, 22 / 40, 51; alpha 0, 255 / 0, 255. 2 -> 5 steps by 0.4.
    Image image;
    image.create(2, 2, 72.0f);
    image.rowFromTop(0)[0] = 0x0000000A;
    image.rowFromTop(0)[1] = 0xFF000016;
    image.rowFromTop(1)[0] = 0x00000028;
    image.rowFromTop(1)[1] = 0xFF000033;
    ASSERT_TRUE(image.resize(5, 5, kBilinear));
    // x 0.8: top 10 + 0.8 * 12 = 19.6 -> 19, bottom 40 + 0.8 * 11 = 48.8 -> 48;
    // y 0.4: 19 + 0.4 * 29 = 30.6 -> 30 (31 if the first results were not truncated)
    EXPECT_EQ(blue(image.pixelAt(2, 1)), 30u);
    EXPECT_EQ(blue(image.pixelAt(2, 0)), 19u);
    // alpha is interpolated like the colours: 0.8 * 255 = 204
    EXPECT_EQ(image.pixelAt(2, 0) >> 24, 204u);
    // positions 1.2 and 1.6 lie past the last column: that column is used twice
    EXPECT_EQ(image.pixelAt(3, 0), 0xFF000016u);
    EXPECT_EQ(image.pixelAt(4, 4), 0xFF000033u);
    EXPECT_EQ(image.pixelAt(0, 0), 0x0000000Au);  // no half-pixel offset
}

TEST(ImageGeometry, BicubicResizeWeightsClampsAndEdgeNeighbours)
{
    // A step 0, 0, 255, 255 sampled every quarter pixel. Kernel weights at a quarter:
    // w(1.25) = -0.140625, w(0.25) = 0.890625, w(0.75) = 0.296875, w(1.75) = -0.046875.
    Image step;
    step.create(4, 1, 72.0f);
    const uint32_t levels[4] = {0, 0, 255, 255};
    for (int x = 0; x < 4; ++x)
        step.rowFromTop(0)[x] = 0xFF000000u | levels[x];
    ASSERT_TRUE(step.resize(16, 1, kBicubic));
    struct Case {
        int column;
        uint32_t expected;
    };
    const Case cases[] = {
        {3, 0},     // x 0.75: 255 * w(1.25) = -35.9, clamped to 0
        {5, 63},    // x 1.25: 255 * (0.296875 - 0.046875) = 63.75
        {6, 127},   // x 1.5: 255 * (0.625 - 0.125) = 127.5
        {7, 191},   // x 1.75: 255 * (0.890625 - 0.140625) = 191.25
        {9, 255},   // x 2.25: 255 * (0.890625 + 0.296875 - 0.046875) = 290.9, clamped
        {14, 255},  // x 3.5, last column: every neighbour is the last pixel
    };
    for (const Case& c : cases)
        EXPECT_EQ(blue(step.pixelAt(c.column, 0)), c.expected) << "column " << c.column;
    EXPECT_EQ(step.pixelAt(6, 0) >> 24, 255u);

    // Edge neighbours: -1 reads column 0 at the first column, +2 reads +1 at the last but one.
    Image ramp;
    ramp.create(4, 1, 72.0f);
    const uint32_t values[4] = {0, 100, 200, 40};
    for (int x = 0; x < 4; ++x)
        ramp.rowFromTop(0)[x] = 0xFF000000u | values[x];
    ASSERT_TRUE(ramp.resize(8, 1, kBicubic));
    // x 0.5: columns 0, 0, 1, 2: 100 * 0.625 - 200 * 0.125 = 37.5
    EXPECT_EQ(blue(ramp.pixelAt(1, 0)), 37u);
    // x 2.5: columns 1, 2, 3, 3: -12.5 + 125 + 25 - 5 = 132.5
    EXPECT_EQ(blue(ramp.pixelAt(5, 0)), 132u);
}

TEST(ImageGeometry, ResizeKeepsDpiResetsClipAndFailsCleanly)
{
    Image image = noisePicture(6, 4, 1);
    image.setDpi(240.0f);
    ASSERT_TRUE(image.setClip(1, 1, 2, 2));
    const std::vector<uint32_t> before = topDownPixels(image);
    EXPECT_FALSE(image.resize(0, 3, kBicubic));
    EXPECT_FALSE(image.resize(3, -2, kBilinear));
    EXPECT_EQ(topDownPixels(image), before);
    EXPECT_EQ(image.clipRect(), (Rect{1, 1, 3, 3}));
    ASSERT_TRUE(image.resize(3, 9, kBicubic));
    EXPECT_EQ(image.width(), 3);
    EXPECT_EQ(image.height(), 9);
    EXPECT_EQ(image.dpi(), 240.0f);
    EXPECT_EQ(image.header().biWidth, 3);
    EXPECT_EQ(image.header().biHeight, 9);
    EXPECT_EQ(image.header().biXPelsPerMeter, 9448);
    EXPECT_EQ(image.clipRect(), (Rect{0, 0, 3, 9}));
}

TEST(ImageGeometry, FastResampleEqualsPerPixelSampling)
{
    struct Case {
        int w, h, newW, newH;
    };
    const Case cases[] = {
        {1, 1, 7, 3},    {1, 9, 4, 2},     {9, 1, 20, 1},   {2, 2, 5, 5},   {7, 5, 3, 2},
        {13, 11, 13, 11}, {17, 3, 40, 9},  {64, 48, 21, 16}, {5, 8, 800, 1},
        // large enough to be split over threads
        {600, 400, 257, 131}, {120, 80, 700, 500},
    };
    unsigned seed = 7;
    for (const Case& c : cases) {
        const Image source = noisePicture(c.w, c.h, seed++);
        for (int mode : {0, 1, 2, 5}) {
            std::vector<uint32_t> fast(size_t(c.newW) * size_t(c.newH));
            std::vector<uint32_t> slow(fast.size());
            resamplePixels(source, c.newW, c.newH, mode, fast.data());
            resamplePixelsBySample(source, c.newW, c.newH, mode, slow.data());
            EXPECT_EQ(0, std::memcmp(fast.data(), slow.data(), fast.size() * 4))
                << c.w << "x" << c.h << " -> " << c.newW << "x" << c.newH << " mode " << mode;
        }
    }
}

TEST(ImageGeometry, FastQuarterTurnEqualsPerPixelTurn)
{
    struct Case {
        int w, h;
    };
    const Case cases[] = {{1, 1}, {1, 70}, {70, 1}, {3, 2}, {64, 64}, {65, 130}, {301, 517}};
    for (const Case& c : cases) {
        const Image source = noisePicture(c.w, c.h, unsigned(c.w * 1000 + c.h));
        for (bool clockwise : {true, false}) {
            std::vector<uint32_t> fast(source.pixelCount());
            std::vector<uint32_t> slow(fast.size());
            turnPixels(source, clockwise, fast.data());
            turnPixelsByPixel(source, clockwise, slow.data());
            EXPECT_EQ(fast, slow) << c.w << "x" << c.h << (clockwise ? " clockwise" : " counter");
        }
    }
}

TEST(ImageGeometry, TurnsComposeAsRotations)
{
    const Image original = noisePicture(37, 23, 3);
    const std::vector<uint32_t> pixels = topDownPixels(original);

    Image image = original;
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(image.rotate(90));
    EXPECT_EQ(topDownPixels(image), pixels);

    image = original;
    ASSERT_TRUE(image.rotate(90));
    ASSERT_TRUE(image.rotate(-90));
    EXPECT_EQ(topDownPixels(image), pixels);

    // Other multiples of 90 turn by their geometric meaning.
    Image counter = original;
    ASSERT_TRUE(counter.rotate(-90));
    for (int degrees : {270, -450, 630}) {
        image = original;
        ASSERT_TRUE(image.rotate(degrees)) << degrees;
        EXPECT_EQ(topDownPixels(image), topDownPixels(counter)) << degrees;
    }
    Image half = original;
    ASSERT_TRUE(half.rotate(180));
    for (int degrees : {-180, 540}) {
        image = original;
        ASSERT_TRUE(image.rotate(degrees)) << degrees;
        EXPECT_EQ(topDownPixels(image), topDownPixels(half)) << degrees;
    }
    for (int degrees : {1, -89, 135, 359})
        EXPECT_FALSE(image.rotate(degrees)) << degrees;
}

TEST(ImageGeometry, QuarterTurnUpdatesHeaderAndClipKeepsDpi)
{
    Image image = positionPicture(5, 2);
    image.setDpi(300.0f);
    ASSERT_TRUE(image.setClip(0, 0, 2, 1));
    ASSERT_TRUE(image.rotate(90));
    EXPECT_EQ(image.header().biWidth, 2);
    EXPECT_EQ(image.header().biHeight, 5);
    EXPECT_EQ(image.clipRect(), (Rect{0, 0, 2, 5}));
    EXPECT_EQ(image.dpi(), 300.0f);
    // clockwise: the old bottom-left corner (0, 1) comes to the top-left
    EXPECT_EQ(image.pixelAt(0, 0), 0xFF000100u);
    EXPECT_EQ(image.pixelAt(1, 4), 0xFF000004u);  // old top-right to bottom-right
}

TEST(ImageGeometry, MirrorAndFlipResetTheClipOnEvenSides)
{
    Image image = positionPicture(4, 2);
    ASSERT_TRUE(image.setClip(1, 0, 1, 1));
    image.mirrorHorizontal();
    EXPECT_EQ(image.clipRect(), (Rect{0, 0, 4, 2}));
    EXPECT_EQ(image.pixelAt(0, 0), 0xFF000003u);
    EXPECT_EQ(image.pixelAt(2, 1), 0xFF000101u);
    ASSERT_TRUE(image.setClip(1, 0, 1, 1));
    image.flipVertical();
    EXPECT_EQ(image.clipRect(), (Rect{0, 0, 4, 2}));
    EXPECT_EQ(image.pixelAt(0, 0), 0xFF000103u);
    EXPECT_EQ(image.pixelAt(3, 1), 0xFF000000u);
}

// Where the stored picture's row 0 and column 0 lie in the upright picture, per Orientation.
enum class Side { Top, Bottom, Left, Right };
struct OrientationMeaning {
    int orientation;
    Side row0;
    Side column0;
};

// Builds the picture a camera stores for an upright picture under an Orientation value.
Image storedFor(const Image& upright, const OrientationMeaning& meaning)
{
    const int uw = upright.width();
    const int uh = upright.height();
    const bool sideways = meaning.row0 == Side::Left || meaning.row0 == Side::Right;
    Image stored;
    stored.create(sideways ? uh : uw, sideways ? uw : uh, 72.0f);
    for (int r = 0; r < stored.height(); ++r) {
        for (int c = 0; c < stored.width(); ++c) {
            int x = 0, y = 0;
            switch (meaning.row0) {
            case Side::Top: y = r; break;
            case Side::Bottom: y = uh - 1 - r; break;
            case Side::Left: x = r; break;
            case Side::Right: x = uw - 1 - r; break;
            }
            switch (meaning.column0) {
            case Side::Top: y = c; break;
            case Side::Bottom: y = uh - 1 - c; break;
            case Side::Left: x = c; break;
            case Side::Right: x = uw - 1 - c; break;
            }
            stored.rowFromTop(r)[c] = upright.pixelAt(x, y);
        }
    }
    return stored;
}

TEST(ExifOrientation, EveryValueComesOutUpright)
{
    const OrientationMeaning meanings[] = {
        {1, Side::Top, Side::Left},    {2, Side::Top, Side::Right},
        {3, Side::Bottom, Side::Right}, {4, Side::Bottom, Side::Left},
        {5, Side::Left, Side::Top},    {6, Side::Right, Side::Top},
        {7, Side::Right, Side::Bottom}, {8, Side::Left, Side::Bottom},
    };
    const Image upright = positionPicture(4, 3);
    for (const OrientationMeaning& meaning : meanings) {
        Image image = storedFor(upright, meaning);
        ASSERT_TRUE(applyExifOrientation(image, meaning.orientation));
        EXPECT_EQ(image.width(), 4) << meaning.orientation;
        EXPECT_EQ(image.height(), 3) << meaning.orientation;
        EXPECT_EQ(topDownPixels(image), topDownPixels(upright)) << meaning.orientation;
    }
    for (int other : {0, 9, -1, 65535}) {
        Image image = positionPicture(4, 3);
        ASSERT_TRUE(applyExifOrientation(image, other));
        EXPECT_EQ(topDownPixels(image), topDownPixels(upright)) << other;
    }
}

TEST(FitWithin, LongerSideBecomesTheLimit)
{
    struct Case {
        int w, h, expectedW, expectedH;
    };
    const Case cases[] = {
        {1600, 1200, 800, 600}, {1200, 1600, 600, 800}, {1000, 1000, 800, 800},
        {801, 3, 800, 2},       // 3 * 800 / 801 = 2.996, truncated
        {7, 1003, 5, 800},      // 7 * 800 / 1003 = 5.58
        {800, 800, 800, 800},   {300, 20, 300, 20},
        {4000, 2, 800, 1},      // 2 * 800 / 4000 = 0.4 would be no picture at all
    };
    for (const Case& c : cases) {
        Image image = noisePicture(c.w, c.h, 11);
        ASSERT_TRUE(fitWithin(image, 800)) << c.w << "x" << c.h;
        EXPECT_EQ(image.width(), c.expectedW) << c.w << "x" << c.h;
        EXPECT_EQ(image.height(), c.expectedH) << c.w << "x" << c.h;
    }
    Image image = noisePicture(10, 10, 2);
    EXPECT_FALSE(fitWithin(image, 0));
    EXPECT_EQ(image.width(), 10);
}

TEST(FitWithin, ReducesWithBilinearSampling)
{
    const Image original = noisePicture(1203, 451, 5);
    Image fitted = original;
    ASSERT_TRUE(fitWithin(fitted, 800));
    Image expected = original;
    ASSERT_TRUE(expected.resize(800, 299, kBilinear));
    EXPECT_EQ(topDownPixels(fitted), topDownPixels(expected));
    // and not nearest: a reduction of noise by 1.5 mixes neighbours
    Image nearest = original;
    ASSERT_TRUE(nearest.resize(800, 299, kNearest));
    EXPECT_NE(topDownPixels(fitted), topDownPixels(nearest));
}

}  // namespace
}  // namespace tavelune
