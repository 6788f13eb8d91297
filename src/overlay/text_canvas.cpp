// TextCanvas: measuring and drawing text through a per-line glyph cell.
#include "overlay/text_canvas.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "overlay/character_codes.h"
#include "pixel/blend_kernels.h"

namespace tavelune {
namespace {

std::string withPlainLineBreaks(std::string_view text)
{
    std::string result;
    result.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n')
            continue;
        result.push_back(text[i]);
    }
    return result;
}

// MulDiv: the product over the divisor, rounded half away from zero.
int mulDiv(int number, int numerator, int denominator)
{
    long long product = (long long)number * numerator;
    long long half = denominator / 2;
    long long q = product >= 0 ? (product + half) / denominator : (product - half) / denominator;
    return int(q);
}

}  // namespace

uint32_t greyGlyphPixel(uint32_t colour, uint32_t background, int level)
{
    const uint32_t alpha = ((colour >> 24) * uint32_t(level)) >> 6;
    const uint32_t source = (colour & 0x00FFFFFF) | (alpha << 24);
    // Both alphas 0 leaves the composition undefined; the answer wanted there is transparent black.
    if (alpha == 0 && (background >> 24) == 0)
        return 0;
    return compositePixel(background, source);
}

bool automaticGrey(char32_t code, int ascent)
{
    return isDoubleByte(code) ? ascent >= 23 : ascent >= 13;
}

TextCanvas::TextCanvas() = default;
TextCanvas::~TextCanvas() = default;

bool TextCanvas::setFont(const std::string& faceName, int height, bool bold, bool italic,
                         bool underline, bool strikeOut)
{
    auto font = FontFace::create({faceName, height, bold, italic, underline, strikeOut});
    if (!font)
        return false;
    m_font = std::move(font);
    return true;
}

bool TextCanvas::setFontPoints(const std::string& faceName, int points, bool bold, bool italic,
                               bool underline, bool strikeOut)
{
    return setFont(faceName, -mulDiv(points, int(dpi()), 72), bold, italic, underline, strikeOut);
}

const FontMetrics* TextCanvas::fontMetrics() const
{
    return m_font && m_font->isOutline() ? &m_font->metrics() : nullptr;
}

std::optional<GlyphMetrics> TextCanvas::glyphMetrics(char32_t code, bool grey)
{
    if (!fontMetrics())
        return std::nullopt;
    const GlyphBitmap* glyph = m_font->glyph(code, grey);
    if (!glyph)
        return std::nullopt;
    return GlyphMetrics{glyph->blackBoxX, glyph->blackBoxY, glyph->originX, glyph->originY,
                        glyph->cellIncX};
}

TextSize TextCanvas::measureTextLine(std::string_view text)
{
    const FontMetrics* metrics = fontMetrics();
    if (text.empty() || !metrics)
        return {};
    const std::vector<char32_t> codes = characterCodes(text);
    long long width = 0;
    for (char32_t code : codes) width += m_font->advance(code);
    if (const GlyphBitmap* last = m_font->glyph(codes.back(), false)) {
        int overhang = last->blackBoxX + last->originX - last->cellIncX;
        if (overhang > 0)
            width += overhang;
    }
    return {int(std::min<long long>(width, 0x7FFFFFFF)), metrics->height};
}

TextSize TextCanvas::measureText(std::string_view text)
{
    const std::string plain = withPlainLineBreaks(text);
    TextSize total;
    size_t start = 0;
    while (start < plain.size()) {
        size_t end = plain.find('\n', start);
        std::string_view piece = std::string_view(plain).substr(
            start, end == std::string::npos ? std::string::npos : end - start);
        TextSize size = measureTextLine(piece.empty() ? std::string_view(" ") : piece);
        total.width = std::max(total.width, size.width);
        total.height += size.height;
        if (end == std::string::npos)
            break;
        start = end + 1;
    }
    return total;
}

bool TextCanvas::drawTextLine(int x, int y, std::string_view text, uint32_t colour,
                              uint32_t background, int antialias)
{
    if (text.empty())
        return true;
    const FontMetrics* metricsPointer = fontMetrics();
    if (!metricsPointer)
        return false;
    const FontMetrics& metrics = *metricsPointer;
    const std::vector<char32_t> codes = characterCodes(text);
    const int cellWidth = 2 * metrics.maxCharWidth;
    const int cellHeight = metrics.height + metrics.externalLeading;
    if (cellWidth <= 0 || cellHeight <= 0)
        return false;
    // Only what lands inside the clip is drawn, so a line far larger than the canvas costs
    // what its visible part costs; a character's pixels never reach past its cell.
    const Rect clip = clipRect();
    if (int64_t(y) >= clip.bottom || int64_t(y) + std::min(metrics.height, cellHeight) <= clip.top)
        return true;
    std::vector<uint32_t> cell;
    try {
        cell.resize(size_t(cellWidth) * size_t(cellHeight));
    } catch (const std::bad_alloc&) {
        return false;
    }
    auto cellRow = [&](int row) { return cell.data() + size_t(row) * size_t(cellWidth); };
    auto paintBar = [&](int firstRow, int rows, int columns) {
        columns = std::min(columns, cellWidth);
        for (int j = 0; j < rows; ++j) {
            int row = firstRow + j;
            if (row >= cellHeight)
                break;
            if (row < 0)
                continue;
            std::fill_n(cellRow(row), std::max(columns, 0), colour);
        }
    };

    for (char32_t code : codes) {
        if (x >= clip.right)
            break;  // advances never go back
        if (int64_t(x) + cellWidth <= clip.left) {
            x += m_font->advance(code);
            continue;
        }
        std::fill(cell.begin(), cell.end(), background);
        bool grey = antialias == kAntialiasGrey ||
                    (antialias != kAntialiasTwoLevel && automaticGrey(code, metrics.ascent));
        const GlyphBitmap* glyph = m_font->glyph(code, grey);
        if (!glyph)
            return false;

        // Pixels of the glyph that fall outside the cell are dropped.
        const int columnStart = std::max(0, -glyph->originX);
        const int columnEnd = std::min(glyph->blackBoxX, cellWidth - glyph->originX);
        for (int j = 0; j < glyph->blackBoxY; ++j) {
            const int row = metrics.ascent + j - glyph->originY;
            if (row < 0 || row >= cellHeight)
                continue;
            const uint8_t* levels = glyph->levels.data() + size_t(j) * size_t(glyph->blackBoxX);
            uint32_t* out = cellRow(row);
            for (int k = columnStart; k < columnEnd; ++k) {
                const int level = levels[k];
                if (level == 0)
                    continue;
                out[glyph->originX + k] = grey ? greyGlyphPixel(colour, background, level) : colour;
            }
        }
        if (metrics.struckOut && metrics.strikeoutSize != 0)
            paintBar(metrics.ascent - metrics.strikeoutPosition, metrics.strikeoutSize,
                     glyph->cellIncX);
        if (metrics.underlined)
            paintBar(metrics.ascent - metrics.underscorePosition, metrics.underscoreSize,
                     glyph->cellIncX);

        const int columns =
            std::min(cellWidth, std::max(glyph->cellIncX, glyph->blackBoxX + glyph->originX));
        const int rows = std::min(metrics.height, cellHeight);
        for (int r = 0; r < rows; ++r) {
            const uint32_t* in = cellRow(r);
            for (int k = 0; k < columns; ++k) setPixel(x + k, y + r, in[k]);
        }
        x += glyph->cellIncX;
    }
    return true;
}

void TextCanvas::drawText(int x, int y, int w, int h, std::string_view text, uint32_t colour,
                          uint32_t background, int antialias)
{
    const Rect saved = clipRect();
    // An empty or off-picture rectangle shows nothing, rather than leaving the old clip in force.
    if (!setClip(x, y, w, h))
        return;
    const std::string plain = withPlainLineBreaks(text);
    std::string_view rest(plain);
    for (size_t end = rest.find('\n'); end != std::string_view::npos; end = rest.find('\n')) {
        std::string_view line = rest.substr(0, end);
        drawTextLine(x, y, line, colour, background, antialias);
        y += measureTextLine(line.empty() ? std::string_view("\n") : line).height;
        rest.remove_prefix(end + 1);
    }
    if (!rest.empty())
        drawTextLine(x, y, rest, colour, background, antialias);
    setClipRect(saved);
}

}  // namespace tavelune
