// Border and mat: presets, geometry, inside and outside borders, mat pictures, side rules.
#include "overlay/apply_border.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/test_support.h"

namespace tavelune {
namespace {

BorderSettings enabledInitial()
{
    BorderSettings settings = BorderSettings::initial();
    settings.enabled = true;
    return settings;
}

TEST(Border, InitialValuesAreTheWhiteMatPreset)
{
    const BorderSettings s = BorderSettings::initial();
    EXPECT_FALSE(s.enabled);
    EXPECT_EQ(s.mat.sides, (Sides{17, 32, 17, 17}));
    EXPECT_EQ(s.matColour, 0xFFFFFF);
    EXPECT_EQ(s.border.sides, (Sides{1, 1, 1, 1}));
    EXPECT_EQ(s.borderColour, 0x000000);
    EXPECT_EQ(s.mat.unit, 0);
    EXPECT_EQ(s.border.unit, 0);
    EXPECT_FALSE(s.mat.equalSides || s.border.equalSides || s.matPicture || s.inside);
    EXPECT_EQ(s.opacity, 100);

    BorderSettings black = s;
    black.mat.unit = 2;
    black.border.equalSides = true;
    black.chooseMatPicture("/x/y.png");
    black.inside = true;
    black.opacity = 40;
    black.applyPreset(kPresetBlackMatWhiteBorder);
    EXPECT_EQ(black.mat.sides, (Sides{17, 32, 17, 17}));
    EXPECT_EQ(black.matColour, 0x000000);
    EXPECT_EQ(black.border.sides, (Sides{2, 2, 2, 2}));
    EXPECT_EQ(black.borderColour, 0xFFFFFF);
    EXPECT_EQ(black.mat.unit, 0);
    EXPECT_FALSE(black.border.equalSides || black.matPicture || black.inside);
    EXPECT_TRUE(black.matPicturePath.empty());
    EXPECT_EQ(black.opacity, 100);
    black.applyPreset(5);
    EXPECT_EQ(black.matColour, 0x000000) << "unknown presets change nothing";
}

TEST(Border, WhiteMatPresetFramesA600By400Photo)
{
    Image photo = test::solidPicture(600, 400, 0xFF808080);
    const Rect margins = applyBorder(photo, enabledInitial()).value();
    EXPECT_EQ(margins, (Rect{17, 17, 17, 32}));
    ASSERT_EQ(photo.width(), 634);
    ASSERT_EQ(photo.height(), 449);
    EXPECT_EQ(photo.pixelAt(17, 17), 0xFF808080u);
    EXPECT_EQ(photo.pixelAt(616, 416), 0xFF808080u);
    for (int y = 16; y <= 417; ++y) {
        ASSERT_EQ(photo.pixelAt(16, y), 0xFF000000u) << y;
        ASSERT_EQ(photo.pixelAt(617, y), 0xFF000000u) << y;
        ASSERT_EQ(photo.pixelAt(15, y), 0xFFFFFFFFu) << y;
        ASSERT_EQ(photo.pixelAt(618, y), 0xFFFFFFFFu) << y;
    }
    for (int x = 16; x <= 617; ++x) {
        ASSERT_EQ(photo.pixelAt(x, 16), 0xFF000000u) << x;
        ASSERT_EQ(photo.pixelAt(x, 417), 0xFF000000u) << x;
        ASSERT_EQ(photo.pixelAt(x, 15), 0xFFFFFFFFu) << x;
        ASSERT_EQ(photo.pixelAt(x, 418), 0xFFFFFFFFu) << x;
    }
    EXPECT_EQ(photo.pixelAt(0, 448), 0xFFFFFFFFu);
}

TEST(Border, OutsideBorderRaisesTheMatToItsWidth)
{
    BorderSettings s = enabledInitial();
    s.mat.sides = {0, 0, 0, 0};
    s.matColour = 0x00FF00;
    s.border.sides = {5, 5, 5, 5};
    s.borderColour = 0x0000FF;
    s.opacity = 50;
    Image photo = test::solidPicture(20, 10, 0xFF000000);
    EXPECT_EQ(applyBorder(photo, s), (Rect{5, 5, 5, 5}));
    ASSERT_EQ(photo.width(), 30);
    ASSERT_EQ(photo.height(), 20);
    // The half-transparent red band lies over the green mat.
    EXPECT_EQ(photo.pixelAt(2, 10), Image::blendPixel(0xFF00FF00, 0x7FFF0000));
    EXPECT_EQ(photo.pixelAt(0, 5), Image::blendPixel(0xFF00FF00, 0x7FFF0000));
    EXPECT_EQ(photo.pixelAt(5, 5), 0xFF000000u);
}

TEST(Border, InsideBorderTintsABandOfThePhoto)
{
    BorderSettings s = enabledInitial();
    s.inside = true;
    s.border.sides = {10, 10, 10, 10};
    s.opacity = 50;
    Image photo = test::solidPicture(60, 40, 0xFFFFFFFF);
    photo.rowFromTop(20)[30] = 0xFF123456;
    EXPECT_EQ(applyBorder(photo, s), (Rect{17, 17, 17, 32}));
    ASSERT_EQ(photo.width(), 60 + 34);
    ASSERT_EQ(photo.height(), 40 + 49);
    auto at = [&](int x, int y) { return photo.pixelAt(17 + x, 17 + y); };
    // Black at alpha 127 (opacity 50) blended over the white photo, about grey 128.
    const uint32_t tint = Image::blendPixel(0xFFFFFFFF, 0x7F000000);
    ASSERT_NEAR(double(tint & 0xFF), 128.0, 1.0);
    // Corners are left out: the rectangle's edges meet there and blend twice.
    for (int y = 0; y < 40; ++y)
        for (int x = 0; x < 60; ++x) {
            const bool corner = (x == 0 || x == 59) && (y == 0 || y == 39);
            const bool band = x < 10 || x >= 50 || y < 10 || y >= 30;
            if (corner)
                continue;
            if (band) {
                ASSERT_EQ(at(x, y), tint) << x << "," << y;
            } else if (x != 30 || y != 20) {
                ASSERT_EQ(at(x, y), 0xFFFFFFFFu) << x << "," << y;
            }
        }
    EXPECT_EQ(at(30, 20), 0xFF123456u);
    EXPECT_EQ(photo.pixelAt(16, 16), 0xFFFFFFFFu) << "the mat stays white";
}

TEST(Border, InsideBorderWiderThanThePhotoTintsAllOfIt)
{
    BorderSettings s = enabledInitial();
    s.inside = true;
    s.mat.sides = {0, 0, 0, 0};
    s.border.sides = {0, 0, 6, 6};  // left + right = 12 > 10
    const BorderGeometry g = borderGeometry(s, 10, 4, 72);
    EXPECT_EQ(g.border, (Rect{10, 0, 0, 0}));
    Image photo = test::solidPicture(10, 4, 0xFFFFFFFF);
    ASSERT_TRUE(applyBorder(photo, s));
    for (int y = 1; y < 3; ++y)
        for (int x = 1; x < 9; ++x) ASSERT_EQ(photo.pixelAt(x, y), 0xFF000000u) << x << "," << y;
}

TEST(Border, WidthsFollowTheirUnitsAtThePhotoDpi)
{
    BorderSettings s = enabledInitial();
    s.mat.unit = 1;
    s.mat.sides = {1, 1, 1, 1};
    s.border.unit = 3;
    s.border.sides = {2.5, 0, 0, 0};
    BorderGeometry g = borderGeometry(s, 100, 100, 300);
    EXPECT_EQ(g.mat, (Rect{300, 300, 300, 300}));
    EXPECT_EQ(g.border, (Rect{0, 30, 0, 0}));
    s.border.sides.top = 400;  // wider than the mat: the mat follows
    s.border.unit = 0;
    g = borderGeometry(s, 100, 100, 300);
    EXPECT_EQ(g.mat.top, 400);
    s.mat.sides = {-5, -5, -5, -5};
    s.mat.unit = 0;
    s.border.sides = {0, 0, 0, 0};
    EXPECT_EQ(borderGeometry(s, 100, 100, 300).mat, (Rect{0, 0, 0, 0}));
}

TEST(Border, OpacityBecomesTheBorderAlpha)
{
    BorderSettings s = BorderSettings::initial();
    struct Row {
        int opacity;
        uint32_t alpha;
    };
    for (Row row : {Row{100, 255}, Row{50, 127}, Row{0, 0}, Row{1, 2}, Row{300, 255}, Row{-4, 0}}) {
        s.opacity = row.opacity;
        EXPECT_EQ(borderPixel(s) >> 24, row.alpha) << row.opacity;
    }
    s.opacity = 100;
    s.borderColour = kNoColour;
    EXPECT_EQ(borderPixel(s), 0xFFFFFFFFu);
    s.borderColour = 0x0000FF;
    EXPECT_EQ(borderPixel(s), 0xFFFF0000u);
}

TEST(Border, MatPictureIsStretchedOverTheCanvas)
{
    BorderSettings s = enabledInitial();
    s.chooseMatPicture("mat.png");
    EXPECT_TRUE(s.matPicture);
    s.border.sides = {0, 0, 0, 0};
    std::string asked;
    auto loader = [&](const std::string& path, Image& out) {
        asked = path;
        out = test::solidPicture(2, 2, 0xFF0000FF);
        return true;
    };
    Image photo = test::solidPicture(10, 10, 0xFF000000);
    ASSERT_TRUE(applyBorder(photo, s, loader));
    EXPECT_EQ(asked, "mat.png");
    EXPECT_EQ(photo.pixelAt(0, 0), 0xFF0000FFu);
    EXPECT_EQ(photo.pixelAt(photo.width() - 1, photo.height() - 1), 0xFF0000FFu);
    EXPECT_EQ(photo.pixelAt(17, 17), 0xFF000000u);
}

TEST(Border, MissingMatPictureFallsBackToTheMatColour)
{
    test::MessageCollector messages;
    test::TempDir folder;
    BorderSettings s = enabledInitial();
    s.matColour = 0x00FFFF;  // yellow
    s.chooseMatPicture(folder.file("gone.png"));
    Image photo = test::solidPicture(10, 10, 0xFF000000);
    const Result<Rect, ImageError> framed = applyBorder(photo, s);
    ASSERT_TRUE(framed);
    EXPECT_EQ(photo.width(), 44);
    EXPECT_EQ(photo.pixelAt(0, 0), 0xFFFFFF00u);
    // The failed open travels with the frame for the caller to show.
    ASSERT_EQ(framed.warnings().size(), 1u);
    EXPECT_EQ(framed.warnings()[0].code, ImageError::ReadFailed);
    EXPECT_TRUE(messages.messages().empty());
}

TEST(Border, DisabledPageLeavesThePhotoAlone)
{
    Image photo = test::solidPicture(10, 8, 0xFF102030);
    const Image before = photo;
    EXPECT_EQ(applyBorder(photo, BorderSettings::initial()), (Rect{0, 0, 0, 0}));
    EXPECT_EQ(photo.width(), 10);
    EXPECT_EQ(std::memcmp(photo.pixels(), before.pixels(), before.byteSize()), 0);
}

TEST(Border, EqualSidesAndUnitChanges)
{
    SideGroup group{{3, 4, 5, 6}, 0, false};
    group.setSide(Side::Left, 9);
    EXPECT_EQ(group.sides, (Sides{3, 4, 9, 6}));
    group.setEqualSides(true);
    EXPECT_EQ(group.sides, (Sides{3, 3, 3, 3}));
    group.setSide(Side::Bottom, 7.5);
    EXPECT_EQ(group.sides, (Sides{7.5, 7.5, 7.5, 7.5}));
    group.setEqualSides(false);
    group.setSide(Side::Right, 1);
    EXPECT_EQ(group.sides, (Sides{7.5, 7.5, 7.5, 1}));

    SideGroup mat{{300, 150, 0, 1}, 0, false};
    mat.changeUnit(1, 300);
    EXPECT_EQ(mat.sides, (Sides{1, 0.5, 0, 0.003}));
    mat.changeUnit(3, 300);
    EXPECT_EQ(mat.sides, (Sides{25.4, 12.7, 0, 0.076}));
    mat.changeUnit(0, 300);
    EXPECT_EQ(mat.sides, (Sides{300, 150, 0, 1}));
}

}  // namespace
}  // namespace tavelune
