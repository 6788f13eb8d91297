// Watermark and signature: placement, units, opacity, colour key, text overlays.
#include "overlay/apply_overlay.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstring>
#include <sys/resource.h>

#include "overlay/info_tags.h"
#include "overlay/overlay_messages.h"
#include "overlay/text_canvas.h"
#include "overlay/unit_fields.h"
#include "pixel/pixel.h"
#include "support/test_support.h"

namespace tavelune {
namespace {

TEST(Overlay, InitialValuesOfTheTwoPages)
{
    const OverlaySettings watermark = OverlaySettings::watermark();
    const OverlaySettings signature = OverlaySettings::signature();
    for (const OverlaySettings* page : {&watermark, &signature}) {
        EXPECT_FALSE(page->enabled);
        EXPECT_EQ(page->unit, 0);
        EXPECT_EQ(page->opacity, 100);
        EXPECT_EQ(page->transparentColour, kNoColour);
        EXPECT_EQ(page->font, OverlayFont{});
        EXPECT_EQ(page->font.faceName, "MS Sans Serif");
        EXPECT_EQ(page->font.height, -11);
        EXPECT_EQ(page->textColour, 0u);
        EXPECT_TRUE(page->picture.isEmpty());
    }
    EXPECT_EQ(watermark.mode, OverlayMode::Picture);
    EXPECT_EQ(watermark.horizontal, kAlignLeft);
    EXPECT_EQ(watermark.vertical, kAlignTop);
    EXPECT_EQ(watermark.offsetX, 22);
    EXPECT_EQ(watermark.offsetY, 22);
    EXPECT_EQ(signature.mode, OverlayMode::Text);
    EXPECT_EQ(signature.horizontal, kAlignRight);
    EXPECT_EQ(signature.vertical, kAlignBottom);
    EXPECT_EQ(signature.offsetX, 17);
    EXPECT_EQ(signature.offsetY, 10);
}

TEST(Overlay, PositionMeasuresInwardFromTheChosenEdge)
{
    struct Row {
        int horizontal, vertical, offX, offY, W, H, w, h;
        OverlayPosition at;
    };
    const Row rows[] = {
        {kAlignRight, kAlignBottom, 17, 10, 1000, 800, 100, 20, {883, 770}},
        {kAlignCentre, kAlignMiddle, 0, 0, 105, 50, 100, 45, {2, 2}},
        {kAlignCentre, kAlignMiddle, 3, -4, 100, 100, 20, 20, {43, 36}},
        {kAlignLeft, kAlignTop, 22, 22, 50, 50, 10, 10, {22, 22}},
        {kAlignCentre, kAlignTop, 0, 0, 10, 10, 15, 15, {-2, 0}},  // truncation toward zero
        {9, 9, 5, 6, 10, 10, 1, 1, {5, 6}},  // unknown alignments count as left and top
    };
    for (const Row& r : rows)
        EXPECT_EQ(overlayPosition(r.horizontal, r.vertical, r.offX, r.offY, r.W, r.H, r.w, r.h),
                  r.at);
}

TEST(Overlay, OffsetsBecomeWholePixelsByCeiling)
{
    struct Row {
        double value;
        int unit;
        double dpi;
        int pixels;
    };
    const Row rows[] = {
        {1.2, 0, 72, 2},   {-1.5, 0, 72, -1}, {1, 2, 300, 119},        {1, 1, 300, 300},
        {2.5, 3, 300, 30}, {0, 1, 300, 0},    {1e12, 1, 300, 1 << 28},
    };
    for (const Row& r : rows)
        EXPECT_EQ(fieldPixels(r.value, r.unit, r.dpi), r.pixels) << r.value << " unit " << r.unit;
}

TEST(Overlay, UnitChangeConvertsBothOffsets)
{
    OverlaySettings page = OverlaySettings::watermark();
    page.offsetX = 300;
    page.offsetY = -150;
    page.changeUnit(2, 300);
    EXPECT_EQ(formatFieldValue(page.offsetX), "2.54");
    EXPECT_EQ(formatFieldValue(page.offsetY), "-1.27");
    EXPECT_EQ(page.unit, 2);
    page.changeUnit(0, 300);
    EXPECT_EQ(formatFieldValue(page.offsetX), "300");
    EXPECT_EQ(formatFieldValue(page.offsetY), "-150");
    page.changeUnit(1, 72);
    EXPECT_EQ(formatFieldValue(page.offsetX), "4.167");  // rounded half up to 3 decimals
}

TEST(Overlay, FieldTextsAndFormatting)
{
    EXPECT_TRUE(acceptsFieldText("-12.345", true));
    EXPECT_FALSE(acceptsFieldText("-12.345", false));
    EXPECT_FALSE(acceptsFieldText("1.2345", true));
    EXPECT_FALSE(acceptsFieldText("1.2.3", true));
    EXPECT_FALSE(acceptsFieldText("12345678901", true));
    EXPECT_TRUE(acceptsFieldText("1234567890", false));
    EXPECT_FALSE(acceptsFieldText("1e5", true));
    EXPECT_EQ(fieldValue("2.5"), 2.5);
    EXPECT_EQ(fieldValue(""), 0);
    EXPECT_EQ(formatFieldValue(2.0), "2");
    EXPECT_EQ(formatFieldValue(0.1), "0.1");
    EXPECT_EQ(formatFieldValue(-0.0001), "0");
    EXPECT_EQ(opacityAfterEdit(250), 100);
    EXPECT_EQ(opacityAfterEdit(40), 40);
}

TEST(Overlay, TransparentColourKeysExactlyThatColour)
{
    EXPECT_EQ(transparentColourKey(kNoColour).opacity, 100);
    EXPECT_EQ(transparentColourKey(kNoColour).low, 0xFF000000u);
    EXPECT_EQ(transparentColourKey(kNoColour).high, 0xFFFFFFFFu);
    const ColourKey red = transparentColourKey(0x0000FF);  // a COLORREF: red in the low byte
    EXPECT_EQ(red.low, 0x00FF0000u);
    EXPECT_EQ(red.high, 0xFFFF0000u);
    EXPECT_EQ(red.opacity, 0);

    Image logo = test::solidPicture(3, 1, 0xFFFFFFFF);
    logo.rowFromTop(0)[1] = 0xFFFEFFFF;  // near white stays
    logo.rowFromTop(0)[2] = 0x80FFFFFF;  // white at any alpha goes
    OverlaySettings page = OverlaySettings::watermark();
    page.enabled = true;
    page.offsetX = page.offsetY = 0;
    page.setTransparentColour(0xFFFFFF);
    ASSERT_TRUE(page.setPicture(logo));
    Image photo = test::solidPicture(3, 1, 0xFF000000);
    EXPECT_TRUE(applyOverlay(photo, page, {}));
    EXPECT_EQ(photo.pixelAt(0, 0), 0xFF000000u);
    EXPECT_EQ(photo.pixelAt(1, 0), 0xFFFEFFFFu);
    EXPECT_EQ(photo.pixelAt(2, 0), 0xFF000000u);

    page.setTransparentColour(kNoColour);
    photo = test::solidPicture(3, 1, 0xFF000000);
    EXPECT_TRUE(applyOverlay(photo, page, {}));
    EXPECT_EQ(photo.pixelAt(0, 0), 0xFFFFFFFFu);
}

TEST(Overlay, PictureKeyFollowsTheButtonAcrossOpenAndRemove)
{
    OverlaySettings page = OverlaySettings::watermark();
    page.setTransparentColour(0x00FF00);  // no picture yet
    ASSERT_TRUE(page.setPicture(test::solidPicture(2, 2, 0xFF00FF00)));
    EXPECT_EQ(page.picture.colourKey().opacity, 0);
    EXPECT_EQ(page.picture.colourKey().low, 0x0000FF00u);
    ASSERT_TRUE(page.setPicture(test::solidPicture(4, 1, 0xFF123456, 300.0f)));
    EXPECT_EQ(page.picture.colourKey().opacity, 0) << "another picture keeps the key";
    EXPECT_EQ(page.picture.width(), 4);
    EXPECT_EQ(page.picture.dpi(), 300.0f);
    page.removePicture();
    EXPECT_TRUE(page.picture.isEmpty());
    EXPECT_EQ(page.picture.colourKey().opacity, 100);
    EXPECT_FALSE(page.setPicture(Image()));
}

TEST(Overlay, OpacityHalvesEveryOverlayPixelWithRounding)
{
    OverlaySettings page = OverlaySettings::watermark();
    page.enabled = true;
    page.offsetX = 1;
    page.offsetY = 1;
    page.opacity = 50;
    ASSERT_TRUE(page.setPicture(test::solidPicture(2, 2, 0xFFFFFFFF)));
    Image photo = test::solidPicture(4, 4, 0xFF000000);
    EXPECT_TRUE(applyOverlay(photo, page, {}));
    // Alpha (50 x 255 + 50) / 100 = 128 blended over black.
    const uint32_t half = Image::blendPixel(0xFF000000, 0x80FFFFFF);
    EXPECT_EQ(half & 0xFFFFFF, 0x808080u);
    EXPECT_EQ(photo.pixelAt(1, 1), half);
    EXPECT_EQ(photo.pixelAt(2, 2), half);
    EXPECT_EQ(photo.pixelAt(0, 0), 0xFF000000u);
    EXPECT_EQ(photo.pixelAt(3, 3), 0xFF000000u);

    page.opacity = 250;  // counts as 100
    photo = test::solidPicture(4, 4, 0xFF000000);
    EXPECT_TRUE(applyOverlay(photo, page, {}));
    EXPECT_EQ(photo.pixelAt(1, 1), 0xFFFFFFFFu);
}

TEST(Overlay, PicturesPartlyOutsideThePhotoAreClipped)
{
    OverlaySettings page = OverlaySettings::watermark();
    page.enabled = true;
    page.horizontal = kAlignRight;
    page.offsetX = -2;  // two columns stick out on the right
    page.offsetY = 0;
    ASSERT_TRUE(page.setPicture(test::solidPicture(4, 1, 0xFFFF0000)));
    Image photo = test::solidPicture(6, 2, 0xFF000000);
    EXPECT_TRUE(applyOverlay(photo, page, {}));
    EXPECT_EQ(photo.pixelAt(3, 0), 0xFF000000u);
    EXPECT_EQ(photo.pixelAt(4, 0), 0xFFFF0000u);
    EXPECT_EQ(photo.pixelAt(5, 0), 0xFFFF0000u);
    EXPECT_EQ(photo.pixelAt(5, 1), 0xFF000000u);
}

TEST(Overlay, NothingChangesWhenThereIsNothingToDraw)
{
    const Image original = test::solidPicture(40, 30, 0xFF336699);
    auto unchanged = [&](const OverlaySettings& page, const TextExpander& expand) {
        Image photo = original;
        EXPECT_TRUE(applyOverlay(photo, page, expand));
        return std::memcmp(photo.pixels(), original.pixels(), original.byteSize()) == 0;
    };
    OverlaySettings text = OverlaySettings::signature();
    text.text = "Tavelune";
    EXPECT_TRUE(unchanged(text, {})) << "disabled page";
    text.enabled = true;
    EXPECT_FALSE(unchanged(text, {}));
    text.text.clear();
    EXPECT_TRUE(unchanged(text, {})) << "empty text";
    text.text = "<Shutter/>";
    EXPECT_TRUE(unchanged(text, tagExpander(nullptr, {}))) << "a tag with no value";
    OverlaySettings picture = OverlaySettings::watermark();
    picture.enabled = true;
    EXPECT_TRUE(unchanged(picture, {})) << "no picture";
}

TEST(Overlay, TagExpanderWarnsOnlyWhenItCutsTheText)
{
    test::MessageCollector messages;
    TagContext context;
    context.userName = std::string(kMaxExpandedTagText, 'u');
    const TextExpander expand = tagExpander(nullptr, context);
    Image photo = test::solidPicture(40, 40, 0xFFFFFFFF);
    const ExpandedText whole = expand("<UserName/>", photo);
    EXPECT_EQ(whole.text.size(), kMaxExpandedTagText);
    EXPECT_FALSE(whole.cut);
    const ExpandedText cut = expand("<UserName/><UserName/>", photo);
    EXPECT_EQ(cut.text.size(), kMaxExpandedTagText);
    EXPECT_TRUE(cut.cut);
    // The overlay draws the cut text and hands the box back; it shows nothing itself.
    OverlaySettings page = OverlaySettings::watermark();
    page.enabled = true;
    page.mode = OverlayMode::Text;
    page.text = "<UserName/><UserName/>";
    const ImageStatus drawn = applyOverlay(photo, page, expand);
    ASSERT_TRUE(drawn);
    ASSERT_EQ(drawn.warnings().size(), 1u);
    EXPECT_EQ(drawn.warnings()[0].code, ImageError::TextCut);
    EXPECT_EQ(imageErrorText(drawn.warnings()[0]), messages::kTagTextCut);
    EXPECT_TRUE(messages.texts().empty());
}

TEST(Overlay, TextSignatureSitsAtTheOffsetsFromTheCorner)
{
    OverlaySettings page = OverlaySettings::signature();
    page.enabled = true;
    page.text = "Tavelune\r\n<ImageSize/>";
    page.font.faceName = "DejaVu Sans";
    page.font.height = -16;
    page.textColour = 0x0000FF;  // red as a COLORREF
    Image photo = test::solidPicture(300, 200, 0xFFFFFFFF);
    std::string expanded;
    EXPECT_TRUE(applyOverlay(photo, page, [&](const std::string& text, const Image& image) {
        expanded = expandTags(text, &image, nullptr, {});
        return expanded;
    }));
    EXPECT_EQ(expanded, "Tavelune\r\n300 x 200");

    TextCanvas probe;
    ASSERT_TRUE(probe.setFont("DejaVu Sans", -16, false, false, false, false));
    const TextSize size = probe.measureText(expanded);
    const int x = 300 - 17 - size.width;
    const int y = 200 - 10 - size.height;
    int red = 0;
    for (int row = 0; row < 200; ++row)
        for (int column = 0; column < 300; ++column) {
            uint32_t pixel = photo.pixelAt(column, row);
            if (pixel == 0xFFFFFFFF)
                continue;
            ASSERT_GE(column, x);
            ASSERT_LT(column, x + size.width);
            ASSERT_GE(row, y);
            ASSERT_LT(row, y + size.height);
            EXPECT_GE(pixel >> 24, 254u);
            red += pixel == 0xFFFF0000;
        }
    EXPECT_GT(red, 20);
}

bool samePixels(const Image& a, const Image& b)
{
    return a.width() == b.width() && a.height() == b.height() &&
           std::memcmp(a.pixels(), b.pixels(), a.byteSize()) == 0;
}

// The whole text drawn on a canvas of its own size, then laid on the photo: what the
// overlay's pixels must be wherever the text lands on the picture.
Image wholeCanvasReference(const Image& photo, const OverlaySettings& page)
{
    TextCanvas canvas;
    EXPECT_TRUE(canvas.setFont(page.font.faceName, page.font.height, false, false,
                               page.font.underline, false));
    const TextSize size = canvas.measureText(page.text);
    canvas.setFillColour(0);
    EXPECT_TRUE(canvas.create(size.width, size.height, 72.0f));
    canvas.drawText(0, 0, size.width, size.height, page.text, colorRefToPixel(page.textColour), 0,
                    kAntialiasAuto);
    const OverlayPosition at = overlayPosition(page.horizontal, page.vertical, int(page.offsetX),
                                               int(page.offsetY), photo.width(), photo.height(),
                                               size.width, size.height);
    Image result = photo;
    canvas.setOpacity(page.opacity);
    result.copyImage(at.x, at.y, canvas, 0, 0, size.width, size.height, 0);
    return result;
}

TEST(Overlay, TextPartlyOffThePictureGivesTheWholeTextsPixels)
{
    struct Row {
        const char* text;
        int horizontal, vertical, offX, offY;
    };
    const Row rows[] = {
        {"Tavelune", kAlignLeft, kAlignTop, 10, 10},
        {"Tavelune off the left", kAlignLeft, kAlignTop, -37, 5},
        {"Tavelune off the right", kAlignRight, kAlignBottom, -41, 3},
        {"Over the top\nand two\nlines", kAlignCentre, kAlignTop, 0, -13},
        {"Under the bottom", kAlignLeft, kAlignBottom, 7, -9},
        {"Wider than the whole photo on every side, centred on it", kAlignCentre, kAlignMiddle,
         0, 0},
    };
    Image photo = test::solidPicture(90, 40, 0xFF204060);
    photo.rowFromTop(20)[45] = 0xFFFFFFFF;
    for (const Row& row : rows) {
        OverlaySettings page = OverlaySettings::signature();
        page.enabled = true;
        page.text = row.text;
        page.font.faceName = "DejaVu Sans";
        page.font.height = -23;
        page.font.underline = true;
        page.textColour = 0x30C0F0;
        page.opacity = 70;
        page.horizontal = row.horizontal;
        page.vertical = row.vertical;
        page.offsetX = row.offX;
        page.offsetY = row.offY;
        Image drawn = photo;
        ASSERT_TRUE(applyOverlay(drawn, page, {})) << row.text;
        const Image expected = wholeCanvasReference(photo, page);
        EXPECT_TRUE(samePixels(drawn, expected)) << row.text;
        EXPECT_FALSE(samePixels(drawn, photo)) << row.text;
    }
}

TEST(Overlay, AHugeTextCostsWhatItsVisiblePartCosts)
{
    // 400 characters at 2048 pixels would be a canvas of about 4 GB drawn glyph by glyph; the
    // part on a 24 MP picture is the same as that of 5 characters, and so must be the cost.
    Image photo = test::solidPicture(6000, 4000, 0xFF808080);
    OverlaySettings page = OverlaySettings::watermark();
    page.enabled = true;
    page.mode = OverlayMode::Text;
    page.font.faceName = "DejaVu Sans";
    page.font.height = -2048;
    page.offsetX = page.offsetY = 0;
    page.vertical = kAlignMiddle;
    auto timed = [&](int characters) {
        page.text = std::string(size_t(characters), 'W');
        photo.fill(0xFF808080);
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(applyOverlay(photo, page, {}));
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        EXPECT_NE(photo.pixelAt(300, 2000), 0xFF808080u) << "the first letter is drawn";
        return seconds;
    };
    const double visible = timed(5);
    const double huge = timed(400);
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    EXPECT_LT(huge, 2 * visible + 0.25) << visible;
    EXPECT_LT(huge, 10.0);
    EXPECT_LT(usage.ru_maxrss, 300L * 1024) << "KB";
}

}  // namespace
}  // namespace tavelune
