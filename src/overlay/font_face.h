// One outline font at one pixel size: face lookup by name, cell metrics and cached glyph bitmaps.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace tavelune {

/// What a font is asked for; height as in a LOGFONT (negative: em size in pixels, positive:
/// ascent + descent, 0: the default size).
struct FontRequest {
    std::string faceName;
    int height = 0;
    bool bold = false;
    bool italic = false;
    bool underline = false;
    bool strikeOut = false;
};

/// The text metrics of the font at its size, in pixels.
struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;  // ascent + descent
    int externalLeading = 0;
    int maxCharWidth = 0;
    bool underlined = false;
    bool struckOut = false;
    int underscorePosition = 0;  // top of the underline above the baseline (negative: below)
    int underscoreSize = 0;
    int strikeoutPosition = 0;  // top of the strike-out bar above the baseline
    int strikeoutSize = 0;
};

/// One rendered glyph: black box, origin of its top-left pixel relative to the pen position on
/// the baseline (y up), advance, and one byte per pixel, rows top-down: levels 0..64 for
/// grey-level glyphs, 0 or 1 for two-level glyphs.
struct GlyphBitmap {
    int blackBoxX = 0;
    int blackBoxY = 0;
    int originX = 0;
    int originY = 0;
    int cellIncX = 0;
    std::vector<uint8_t> levels;
};

/// Has fontconfig's state released when the program exits, so leak checkers see none of it.
/// Only for programs in which nothing else (a GUI toolkit) uses fontconfig; call early.
void releaseFontconfigAtExit();

/// A face resolved through fontconfig and opened with FreeType. Characters the face lacks come
/// from the faces fontconfig ranks next for the same request, at the same size. Belongs to one
/// thread.
class FontFace {
public:
    /// Null when no face can be found or opened, or the size is out of range.
    static std::unique_ptr<FontFace> create(const FontRequest& request);
    ~FontFace();
    FontFace(const FontFace&) = delete;
    struct FontFile;  // a face file as fontconfig ranks it
    FontFace& operator=(const FontFace&) = delete;

    const FontRequest& request() const { return m_request; }
    /// False for a bitmap-only face: it has no outline metrics.
    bool isOutline() const { return m_outline; }
    const FontMetrics& metrics() const { return m_metrics; }
    /// The file the primary face came from, and its family ("Liberation Sans").
    const std::string& file() const { return m_file; }
    const std::string& family() const { return m_family; }

    /// The glyph of a code point, rendered once and kept; null when it cannot be rendered.
    const GlyphBitmap* glyph(char32_t code, bool grey);
    /// Advance of a code point in pixels (0 when the glyph cannot be loaded).
    int advance(char32_t code);

private:
    struct Face;
    FontFace();
    bool open(const FontRequest& request);
    Face* faceFor(char32_t code);
    bool render(char32_t code, bool grey, GlyphBitmap& out);

    FontRequest m_request;
    FontMetrics m_metrics;
    std::string m_file;
    std::string m_family;
    bool m_outline = false;
    int m_pixelSize = 0;
    void* m_library = nullptr;  // FT_Library
    std::unique_ptr<Face> m_primary;
    std::vector<std::unique_ptr<Face>> m_fallbacks;
    std::vector<FontFile> m_fallbackFiles;  // fontconfig's ranking, opened on demand
    size_t m_fallbacksTried = 0;
    std::unordered_map<char32_t, Face*> m_faceOfCode;
    std::unordered_map<uint64_t, GlyphBitmap> m_glyphs;
    std::unordered_map<char32_t, int> m_advances;
};

}  // namespace tavelune
