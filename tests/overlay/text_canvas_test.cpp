// TextCanvas: antialias thresholds, measuring rules, underline and strike-out, clipping.
#include "overlay/text_canvas.h"

#include <gtest/gtest.h>

#include <cstring>
#include <set>

#include "overlay/character_codes.h"
#include "overlay/font_face.h"

namespace tavelune {
namespace {

constexpr const char* kLatinFace = "DejaVu Sans";
constexpr const char* kChineseFace = "WenQuanYi Micro Hei";
constexpr uint32_t kBlack = 0xFF000000;

// A transparent canvas big enough for a few lines.
void prepare(TextCanvas& canvas, int w = 400, int h = 200)
{
    canvas.setFillColour(0);
    ASSERT_TRUE(canvas.create(w, h, 72.0f));
}

// The LOGFONT height (negative, pixels) at which the face's ascent is the one asked for.
int heightForAscent(const char* face, int ascent)
{
    for (int pixels = 4; pixels < 60; ++pixels) {
        TextCanvas canvas;
        if (canvas.setFont(face, -pixels, false, false, false, false) &&
            canvas.fontMetrics()->ascent == ascent)
            return -pixels;
    }
    ADD_FAILURE() << "no size of " << face << " has ascent " << ascent;
    return -ascent;
}

struct Ink {
    int partial = 0;  // pixels with alpha strictly between 0 and 255
    int solid = 0;
    int left = 1 << 30, right = -1, top = 1 << 30, bottom = -1;
};

Ink inkOf(const Image& image)
{
    Ink ink;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            uint32_t alpha = image.pixelAt(x, y) >> 24;
            if (alpha == 0)
                continue;
            (alpha == 255 ? ink.solid : ink.partial)++;
            ink.left = std::min(ink.left, x);
            ink.right = std::max(ink.right, x);
            ink.top = std::min(ink.top, y);
            ink.bottom = std::max(ink.bottom, y);
        }
    return ink;
}

bool drawsGrey(const char* face, int ascent, const char* text, int antialias)
{
    TextCanvas canvas;
    prepare(canvas);
    EXPECT_TRUE(canvas.setFont(face, heightForAscent(face, ascent), false, false, false, false));
    EXPECT_EQ(canvas.fontMetrics()->ascent, ascent);
    EXPECT_TRUE(canvas.drawTextLine(2, 2, text, kBlack, 0, antialias));
    Ink ink = inkOf(canvas);
    EXPECT_GT(ink.solid + ink.partial, 0) << text;
    return ink.partial > 0;
}

TEST(TextCanvas, EmptyTextMeasuresNothingAndDrawsNothing)
{
    TextCanvas canvas;
    prepare(canvas, 20, 20);
    ASSERT_TRUE(canvas.setFont(kLatinFace, -12, false, false, false, false));
    EXPECT_EQ(canvas.measureTextLine(""), (TextSize{0, 0}));
    EXPECT_EQ(canvas.measureText(""), (TextSize{0, 0}));
    EXPECT_TRUE(canvas.drawTextLine(0, 0, "", kBlack, 0, 0));
    canvas.drawText(0, 0, 20, 20, "", kBlack, 0, 0);
    EXPECT_EQ(inkOf(canvas).solid + inkOf(canvas).partial, 0);
}

TEST(TextCanvas, AutomaticModeSwitchesToGreyAtTheAscentThresholds)
{
    struct Row {
        const char* face;
        int ascent;
        const char* text;
        int antialias;
        bool grey;
    };
    const Row rows[] = {
        {kLatinFace, 12, "O", kAntialiasAuto, false},
        {kLatinFace, 13, "O", kAntialiasAuto, true},
        {kChineseFace, 13, "O", kAntialiasAuto, true},
        {kChineseFace, 13, "中", kAntialiasAuto, false},
        {kChineseFace, 22, "中", kAntialiasAuto, false},
        {kChineseFace, 23, "中", kAntialiasAuto, true},
        {kLatinFace, 12, "O", kAntialiasGrey, true},
        {kChineseFace, 23, "中", kAntialiasTwoLevel, false},
        {kLatinFace, 12, "O", 7, false},  // unknown modes behave as automatic
        {kLatinFace, 13, "O", 7, true},
    };
    for (const Row& row : rows)
        EXPECT_EQ(drawsGrey(row.face, row.ascent, row.text, row.antialias), row.grey)
            << row.face << " ascent " << row.ascent << " " << row.text << " mode " << row.antialias;
}

TEST(TextCanvas, GreyLevelScalesTheTextAlphaAndComposesOverTheBackground)
{
    EXPECT_EQ(greyGlyphPixel(0xFF123456, 0, 32), 0x7F123456u);
    EXPECT_EQ(greyGlyphPixel(0xFF123456, 0, 64), 0xFF123456u);
    EXPECT_EQ(greyGlyphPixel(0x80123456, 0, 32), 0x40123456u);
    EXPECT_EQ(greyGlyphPixel(0x00123456, 0, 40), 0u);  // no alpha over nothing: transparent black
    EXPECT_EQ(greyGlyphPixel(0x00123456, 0x00ABCDEF, 40), 0u);
    // Over an opaque white background the level mixes the colours and the result stays opaque.
    uint32_t mixed = greyGlyphPixel(0xFF000000, 0xFFFFFFFF, 32);
    EXPECT_EQ(mixed >> 24, 255u);
    EXPECT_EQ(mixed & 0xFF, 128u);
    // The composition has no shortcut for a full level: opaque over opaque comes out as 254.
    EXPECT_EQ(greyGlyphPixel(0xFF000000, 0xFFFFFFFF, 64), 0xFE000000u);
}

TEST(TextCanvas, GreyTextOverTransparencyOnlyHoldsLevelAlphas)
{
    std::set<uint32_t> levelAlphas;
    for (uint32_t level = 0; level <= 64; ++level) levelAlphas.insert((255 * level) >> 6);
    TextCanvas canvas;
    prepare(canvas);
    ASSERT_TRUE(canvas.setFont(kLatinFace, -20, false, false, false, false));
    // One glyph per line: where neighbouring cells overlap, their edges blend into other alphas.
    canvas.drawText(0, 0, 400, 200, "O\ns\n&", 0xFF204060, 0, kAntialiasGrey);
    int partial = 0;
    for (int y = 0; y < canvas.height(); ++y)
        for (int x = 0; x < canvas.width(); ++x) {
            uint32_t pixel = canvas.pixelAt(x, y);
            if (pixel == 0)
                continue;
            EXPECT_EQ(pixel & 0xFFFFFF, 0x204060u);
            EXPECT_TRUE(levelAlphas.count(pixel >> 24)) << (pixel >> 24);
            partial += (pixel >> 24) != 255;
        }
    EXPECT_GT(partial, 0);
}

TEST(TextCanvas, LineBreaksAreMeasuredAsPieces)
{
    TextCanvas canvas;
    ASSERT_TRUE(canvas.setFont(kLatinFace, -14, false, false, false, false));
    const int line = canvas.fontMetrics()->height;
    const TextSize ab = canvas.measureTextLine("ab");
    const TextSize wide = canvas.measureTextLine("wwwww");
    ASSERT_GT(ab.width, 0);
    EXPECT_EQ(ab.height, line);
    struct Row {
        const char* text;
        TextSize size;
    };
    const Row rows[] = {
        {"ab", ab},
        {"ab\n", ab},
        {"ab\r\n", ab},
        {"ab\r\n\r\nab", {ab.width, 3 * line}},
        {"ab\n\nwwwww", {wide.width, 3 * line}},
        {"\n", {canvas.measureTextLine(" ").width, line}},
        {"wwwww\nab\n", {wide.width, 2 * line}},
    };
    for (const Row& row : rows) EXPECT_EQ(canvas.measureText(row.text), row.size) << row.text;
}

TEST(TextCanvas, DrawingLinesLeavesAnEmptyLineBetweenDoubleBreaks)
{
    TextCanvas two;
    prepare(two);
    ASSERT_TRUE(two.setFont(kLatinFace, -14, false, false, false, false));
    const int line = two.fontMetrics()->height;
    two.drawText(0, 0, 400, 200, "Hi\r\n\r\nHi", kBlack, 0, 0);

    TextCanvas single;
    prepare(single);
    ASSERT_TRUE(single.setFont(kLatinFace, -14, false, false, false, false));
    single.drawText(0, 0, 400, 200, "Hi", kBlack, 0, 0);
    Ink first = inkOf(single);
    Ink both = inkOf(two);
    EXPECT_EQ(both.top, first.top);
    EXPECT_EQ(both.bottom, first.bottom + 2 * line);
    for (int y = 0; y < line; ++y)
        for (int x = 0; x < 400; ++x)
            ASSERT_EQ(two.pixelAt(x, y + 2 * line), single.pixelAt(x, y)) << x << "," << y;

    TextCanvas trailing;
    prepare(trailing);
    ASSERT_TRUE(trailing.setFont(kLatinFace, -14, false, false, false, false));
    trailing.drawText(0, 0, 400, 200, "Hi\r\n", kBlack, 0, 0);
    EXPECT_EQ(std::memcmp(trailing.pixels(), single.pixels(), single.byteSize()), 0);
}

TEST(TextCanvas, ItalicOverhangOfTheLastLetterWidensTheLine)
{
    TextCanvas canvas;
    prepare(canvas);
    ASSERT_TRUE(canvas.setFont("Liberation Serif", -30, false, true, false, false));
    auto overhang = [&](char32_t code) {
        auto glyph = canvas.glyphMetrics(code, false);
        EXPECT_TRUE(glyph);
        return glyph->blackBoxX + glyph->originX - glyph->cellIncX;
    };
    const int f = overhang('f');
    ASSERT_GT(f, 0) << "the italic f sticks out to the right";
    ASSERT_LE(overhang('x'), 0);
    const int fx = canvas.measureTextLine("fx").width;
    const int xf = canvas.measureTextLine("xf").width;
    EXPECT_EQ(xf - fx, f);
    EXPECT_EQ(canvas.measureTextLine("f").width, canvas.glyphMetrics('f', false)->cellIncX + f);
    // The widened measure is exactly where the ink ends.
    ASSERT_TRUE(canvas.drawTextLine(0, 0, "xf", kBlack, 0, kAntialiasTwoLevel));
    EXPECT_EQ(inkOf(canvas).right, xf - 1);

    // The italic j starts left of its cell; those pixels are dropped, not drawn left of x.
    ASSERT_LT(canvas.glyphMetrics('j', false)->originX, 0);
    canvas.fill(0);
    ASSERT_TRUE(canvas.drawTextLine(10, 0, "j", kBlack, 0, kAntialiasTwoLevel));
    EXPECT_EQ(inkOf(canvas).left, 10);
}

TEST(TextCanvas, UnderlineAndStrikeOutSpanEachAdvance)
{
    for (bool strike : {false, true}) {
        TextCanvas canvas;
        prepare(canvas);
        ASSERT_TRUE(canvas.setFont(kLatinFace, -24, false, false, !strike, strike));
        const FontMetrics& m = *canvas.fontMetrics();
        const int top = strike ? m.ascent - m.strikeoutPosition : m.ascent - m.underscorePosition;
        const int size = strike ? m.strikeoutSize : m.underscoreSize;
        ASSERT_GT(size, 0);
        const int x0 = 5, y0 = 3;
        ASSERT_TRUE(canvas.drawTextLine(x0, y0, "a b", 0xFF0000FF, 0, 0));
        const int advance = canvas.measureTextLine("a b").width;
        for (int j = 0; j < size; ++j)
            for (int k = 0; k < advance; ++k)
                ASSERT_EQ(canvas.pixelAt(x0 + k, y0 + top + j), 0xFF0000FFu)
                    << (strike ? "strike" : "underline") << " column " << k << " row " << j;
        EXPECT_EQ(canvas.pixelAt(x0 + advance, y0 + top) >> 24, 0u);
        EXPECT_EQ(canvas.pixelAt(x0 - 1, y0 + top) >> 24, 0u);
    }
}

TEST(TextCanvas, CharacterCodesReadUtf8AndKeepStrayBytes)
{
    struct Row {
        std::string text;
        std::vector<char32_t> codes;
    };
    const Row rows[] = {
        {"Ab", {'A', 'b'}},
        {"中文", {0x4E2D, 0x6587}},
        {"é", {0xE9}},
        {"a\xE4", {'a', 0xE4}},                // a lone lead byte at the end
        {"\xE4\xB8", {0xE4, 0xB8}},            // a truncated sequence
        {"\xC0\xAF", {0xC0, 0xAF}},            // overlong
        {"\xED\xA0\x80", {0xED, 0xA0, 0x80}},  // surrogate
        {"\xF0\x9F\x98\x80", {0x1F600}},
    };
    for (const Row& row : rows) EXPECT_EQ(characterCodes(row.text), row.codes) << row.text;
    EXPECT_FALSE(isDoubleByte(0xFF));
    EXPECT_TRUE(isDoubleByte(0x100));

    TextCanvas canvas;
    prepare(canvas);
    ASSERT_TRUE(canvas.setFont(kChineseFace, -16, false, false, false, false));
    EXPECT_TRUE(canvas.drawTextLine(0, 0, "中\xE4", kBlack, 0, 0));
    EXPECT_GT(canvas.measureTextLine("中\xE4").width, canvas.measureTextLine("中").width);
}

TEST(TextCanvas, DrawTextStaysInsideItsRectangleAndRestoresTheClip)
{
    TextCanvas canvas;
    prepare(canvas, 100, 60);
    ASSERT_TRUE(canvas.setFont(kLatinFace, -20, true, false, true, false));
    const Rect before = canvas.clipRect();
    canvas.drawText(10, 5, 30, 20, "MMMMMMMM\nMMMMMMMM", kBlack, 0, 0);
    EXPECT_EQ(canvas.clipRect(), before);
    Ink ink = inkOf(canvas);
    ASSERT_GT(ink.solid, 0);
    EXPECT_GE(ink.left, 10);
    EXPECT_LE(ink.right, 39);
    EXPECT_GE(ink.top, 5);
    EXPECT_LE(ink.bottom, 24);
    // A rectangle off the picture shows nothing at all.
    TextCanvas other;
    prepare(other, 100, 60);
    ASSERT_TRUE(other.setFont(kLatinFace, -20, false, false, false, false));
    other.drawText(200, 200, 30, 20, "MM", kBlack, 0, 0);
    other.drawText(0, 0, 0, 20, "MM", kBlack, 0, 0);
    EXPECT_EQ(inkOf(other).solid + inkOf(other).partial, 0);
}

TEST(TextCanvas, TransparentBackgroundKeepsEarlierTextAndOpaqueBackgroundPaintsTheCell)
{
    TextCanvas canvas;
    prepare(canvas, 60, 40);
    ASSERT_TRUE(canvas.setFont(kLatinFace, -20, false, false, false, false));
    ASSERT_TRUE(canvas.drawTextLine(0, 0, "I", kBlack, 0, kAntialiasTwoLevel));
    Ink first = inkOf(canvas);
    ASSERT_TRUE(canvas.drawTextLine(0, 0, "-", 0xFFFF0000, 0, kAntialiasTwoLevel));
    EXPECT_GE(inkOf(canvas).solid, first.solid);  // the I is still there under the dash
    EXPECT_EQ(canvas.pixelAt(first.left, first.top), kBlack);

    ASSERT_TRUE(canvas.drawTextLine(0, 0, " ", kBlack, 0xFF00FF00, kAntialiasTwoLevel));
    EXPECT_EQ(canvas.pixelAt(0, 0), 0xFF00FF00u);
    EXPECT_EQ(canvas.pixelAt(0, canvas.fontMetrics()->height - 1), 0xFF00FF00u);
    EXPECT_EQ(canvas.pixelAt(0, canvas.fontMetrics()->height) >> 24, 0u);
}

TEST(TextCanvas, FontSizesAndFailures)
{
    TextCanvas canvas;
    EXPECT_FALSE(canvas.drawTextLine(0, 0, "a", kBlack, 0, 0)) << "no font yet";
    EXPECT_EQ(canvas.measureTextLine("a"), (TextSize{0, 0}));
    canvas.setDpi(96.0f);
    ASSERT_TRUE(canvas.setFontPoints(kLatinFace, 8, false, false, false, false));
    const FontMetrics points = *canvas.fontMetrics();
    ASSERT_TRUE(canvas.setFont(kLatinFace, -11, false, false, false, false));
    EXPECT_EQ(canvas.fontMetrics()->height, points.height);
    EXPECT_EQ(canvas.fontMetrics()->ascent, points.ascent);
    // A positive height is the cell height.
    ASSERT_TRUE(canvas.setFont(kLatinFace, 30, false, false, false, false));
    EXPECT_NEAR(canvas.fontMetrics()->height, 30, 1);
    EXPECT_FALSE(canvas.setFont(kLatinFace, -100000, false, false, false, false));
    EXPECT_NEAR(canvas.fontMetrics()->height, 30, 1) << "a failed setFont keeps the old font";
}

// Settings name Windows faces; each draws with its Linux metric twin, other names as
// fontconfig resolves them.
TEST(FontFace, WindowsFaceNamesDrawTheirLinuxTwins)
{
    const std::pair<const char*, const char*> rows[] = {
        {"MS Sans Serif", "Liberation Sans"},    {"arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"}, {"Courier New", "Liberation Mono"},
        {"宋体", "WenQuanYi Micro Hei"},         {"SimSun", "WenQuanYi Micro Hei"},
        {"新細明體", "WenQuanYi Micro Hei"},     {"DejaVu Serif", "DejaVu Serif"},
    };
    for (const auto& [asked, drawn] : rows) {
        const std::unique_ptr<FontFace> face = FontFace::create({asked, -20});
        ASSERT_TRUE(face) << asked;
        EXPECT_EQ(face->family(), drawn) << asked;
    }
}

TEST(TextCanvas, CharactersMissingFromTheFaceComeFromAnotherFace)
{
    TextCanvas canvas;
    prepare(canvas);
    ASSERT_TRUE(canvas.setFont(kLatinFace, -24, false, false, false, false));
    auto han = canvas.glyphMetrics(0x4E2D, true);
    auto missing = canvas.glyphMetrics(0xE000, true);  // a private-use code nothing draws
    ASSERT_TRUE(han && missing);
    EXPECT_NE(han->blackBoxX * 1000 + han->blackBoxY,
              missing->blackBoxX * 1000 + missing->blackBoxY);
    EXPECT_GE(han->cellIncX, 20);
}

}  // namespace
}  // namespace tavelune
