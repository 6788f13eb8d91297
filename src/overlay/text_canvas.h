// A picture that draws text into its own pixels, glyph by glyph, with per-pixel alpha.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "engine/image.h"
#include "overlay/font_face.h"

namespace tavelune {

struct TextSize {
    int width = 0;
    int height = 0;
    friend bool operator==(const TextSize&, const TextSize&) = default;
};

/// Antialias modes of drawTextLine and drawText; any other value behaves as automatic.
enum AntialiasMode : int { kAntialiasAuto = 0, kAntialiasGrey = 1, kAntialiasTwoLevel = 2 };

/// Metrics of one glyph as the renderer places it (black box, origin above the baseline, advance).
struct GlyphMetrics {
    int blackBoxX = 0;
    int blackBoxY = 0;
    int originX = 0;
    int originY = 0;
    int cellIncX = 0;
};

/// An Image plus one current font. Texts are UTF-8; code points up to U+00FF are the
/// single-byte characters of the antialias rule. Belongs to the thread that made it.
class TextCanvas : public Image {
public:
    TextCanvas();
    ~TextCanvas() override;
    TextCanvas(const TextCanvas&) = delete;
    TextCanvas& operator=(const TextCanvas&) = delete;

    /// height as in a LOGFONT: negative is the character height in pixels, positive the cell
    /// height. Fails (current font kept) when no face can be opened.
    bool setFont(const std::string& faceName, int height, bool bold, bool italic, bool underline,
                 bool strikeOut);
    /// setFont with height = -MulDiv(points, dpi, 72) at this canvas's whole dpi.
    bool setFontPoints(const std::string& faceName, int points, bool bold, bool italic,
                       bool underline, bool strikeOut);

    /// Advances plus the last character's overhang to the right; (0, 0) for an empty text.
    TextSize measureTextLine(std::string_view text);
    /// Lines split at "\n" (after "\r\n" became "\n"); widest line by the sum of the heights.
    TextSize measureText(std::string_view text);

    /// One line with its top-left corner at (x, y); false when the font has no outline metrics,
    /// memory runs out or a glyph cannot be rendered (characters drawn so far stay).
    bool drawTextLine(int x, int y, std::string_view text, uint32_t colour, uint32_t background,
                      int antialias);
    /// Several lines clipped to the rectangle; failures of single lines are not reported.
    void drawText(int x, int y, int w, int h, std::string_view text, uint32_t colour,
                  uint32_t background, int antialias);

    /// Null without a font or with a bitmap-only face.
    const FontMetrics* fontMetrics() const;
    const FontFace* font() const { return m_font.get(); }
    /// The metrics the renderer uses for one character; none when it cannot be rendered.
    std::optional<GlyphMetrics> glyphMetrics(char32_t code, bool grey);

private:
    std::unique_ptr<FontFace> m_font;
};

/// A grey-level glyph pixel: colour with its alpha scaled by level/64, composed over background.
uint32_t greyGlyphPixel(uint32_t colour, uint32_t background, int level);

/// Whether the automatic mode draws a character grey-level at the given ascent.
bool automaticGrey(char32_t code, int ascent);

}  // namespace tavelune
