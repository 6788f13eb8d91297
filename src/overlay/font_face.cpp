// FontFace: fontconfig picks the files, FreeType scales and renders the glyphs.
#include "overlay/font_face.h"

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <mutex>

#include "overlay/face_names.h"

namespace tavelune {

struct FontFace::FontFile {
    std::string path;
    int index = 0;
    bool embolden = false;
    bool oblique = false;
};

namespace {
using FontFile = FontFace::FontFile;

// The renderer's glyph cell is twice the widest advance by the cell height: at this size already
// tens of megabytes.
constexpr int kMaxPixelSize = 2048;
// What a LOGFONT height of 0 means: a plain dialog-sized font.
constexpr int kDefaultPixelSize = 12;
// Fallback faces are only for characters the primary face lacks; a few suffice.
constexpr size_t kMaxFallbacks = 8;

void ensureFontconfig()
{
    static std::once_flag once;
    std::call_once(once, [] { FcInit(); });
}

}  // namespace

void releaseFontconfigAtExit()
{
    // Registered before any font is made, so it runs after every static that holds one.
    static std::once_flag once;
    std::call_once(once, [] { std::atexit([] { FcFini(); }); });
}

namespace {

FcPattern* requestPattern(const FontRequest& request)
{
    FcPattern* pattern = FcPatternCreate();
    if (!pattern)
        return nullptr;
    // A Windows face name asks for its metric twin first, the name itself after it.
    const std::string twin = linuxFaceFor(request.faceName);
    for (const std::string& family : {twin, request.faceName})
        if (!family.empty())
            FcPatternAddString(pattern, FC_FAMILY,
                               reinterpret_cast<const FcChar8*>(family.c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, request.bold ? FC_WEIGHT_BOLD : FC_WEIGHT_REGULAR);
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    return pattern;
}

// Reads file, index and the synthesis fontconfig asks for from a prepared match.
bool fontFileOf(FcPattern* prepared, bool wantItalic, FontFile& out)
{
    FcChar8* path = nullptr;
    if (FcPatternGetString(prepared, FC_FILE, 0, &path) != FcResultMatch || !path)
        return false;
    out.path = reinterpret_cast<const char*>(path);
    int index = 0;
    if (FcPatternGetInteger(prepared, FC_INDEX, 0, &index) == FcResultMatch)
        out.index = index;
    FcBool embolden = FcFalse;
    if (FcPatternGetBool(prepared, FC_EMBOLDEN, 0, &embolden) == FcResultMatch)
        out.embolden = embolden == FcTrue;
    int slant = FC_SLANT_ROMAN;
    FcPatternGetInteger(prepared, FC_SLANT, 0, &slant);
    out.oblique = wantItalic && slant == FC_SLANT_ROMAN;
    return true;
}

// The best match first, then fontconfig's ranking of the others for the same request.
std::vector<FontFile> rankedFiles(const FontRequest& request)
{
    ensureFontconfig();
    std::vector<FontFile> files;
    FcPattern* pattern = requestPattern(request);
    if (!pattern)
        return files;
    FcResult result = FcResultNoMatch;
    if (FcPattern* match = FcFontMatch(nullptr, pattern, &result)) {
        FontFile file;
        if (fontFileOf(match, request.italic, file))
            files.push_back(file);
        FcPatternDestroy(match);
    }
    if (FcFontSet* set = FcFontSort(nullptr, pattern, FcTrue, nullptr, &result)) {
        for (int i = 0; i < set->nfont && files.size() < kMaxFallbacks + 1; ++i) {
            FcPattern* prepared = FcFontRenderPrepare(nullptr, pattern, set->fonts[i]);
            if (!prepared)
                continue;
            FontFile file;
            if (fontFileOf(prepared, request.italic, file) &&
                std::none_of(files.begin(), files.end(), [&](const FontFile& f) {
                    return f.path == file.path && f.index == file.index;
                }))
                files.push_back(file);
            FcPatternDestroy(prepared);
        }
        FcFontSetDestroy(set);
    }
    FcPatternDestroy(pattern);
    return files;
}

int scaled(long units, int pixelSize, int unitsPerEm)
{
    return int(std::lround(double(units) * pixelSize / unitsPerEm));
}

int roundedPixels(FT_Pos value26_6)
{
    return int((value26_6 + 32) >> 6);
}

uint64_t glyphKey(char32_t code, bool grey)
{
    return (uint64_t(code) << 1) | (grey ? 1 : 0);
}

}  // namespace

struct FontFace::Face {
    FT_Face face = nullptr;
    FontFile file;
    ~Face()
    {
        if (face)
            FT_Done_Face(face);
    }
};

FontFace::FontFace() = default;

FontFace::~FontFace()
{
    m_primary.reset();
    m_fallbacks.clear();
    if (m_library)
        FT_Done_FreeType(static_cast<FT_Library>(m_library));
}

std::unique_ptr<FontFace> FontFace::create(const FontRequest& request)
{
    std::unique_ptr<FontFace> font(new FontFace());
    if (!font->open(request))
        return nullptr;
    return font;
}

bool FontFace::open(const FontRequest& request)
{
    if (request.height < -kMaxPixelSize || request.height > kMaxPixelSize)
        return false;
    FT_Library library = nullptr;
    if (FT_Init_FreeType(&library) != 0)
        return false;
    m_library = library;
    m_request = request;

    std::vector<FontFile> files = rankedFiles(request);
    auto primary = std::make_unique<Face>();
    size_t next = 0;
    for (; next < files.size() && !primary->face; ++next) {
        if (FT_New_Face(library, files[next].path.c_str(), files[next].index, &primary->face) != 0)
            primary->face = nullptr;
        else
            primary->file = files[next];
    }
    if (!primary->face)
        return false;
    for (; next < files.size(); ++next) m_fallbackFiles.push_back(files[next]);
    FT_Face face = primary->face;
    m_file = primary->file.path;
    m_family = face->family_name ? face->family_name : "";
    m_outline = FT_IS_SCALABLE(face);
    if (!m_outline) {
        m_primary = std::move(primary);
        return true;
    }

    const int unitsPerEm = face->units_per_EM > 0 ? face->units_per_EM : 2048;
    const auto* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
    const auto* hhea = static_cast<const TT_HoriHeader*>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
    const auto* post = static_cast<const TT_Postscript*>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
    long ascentUnits = face->ascender;
    long descentUnits = -face->descender;
    if (os2 && os2->version != 0xFFFF && os2->usWinAscent + os2->usWinDescent > 0) {
        ascentUnits = os2->usWinAscent;
        descentUnits = os2->usWinDescent;
    }
    if (ascentUnits + descentUnits <= 0)
        return false;

    int pixelSize = kDefaultPixelSize;
    if (request.height < 0)
        pixelSize = -request.height;
    else if (request.height > 0)
        pixelSize = int(
            std::lround(double(request.height) * unitsPerEm / double(ascentUnits + descentUnits)));
    pixelSize = std::clamp(pixelSize, 1, kMaxPixelSize);
    if (FT_Set_Pixel_Sizes(face, 0, FT_UInt(pixelSize)) != 0)
        return false;
    m_pixelSize = pixelSize;

    FontMetrics& m = m_metrics;
    m.ascent = scaled(ascentUnits, pixelSize, unitsPerEm);
    m.descent = scaled(descentUnits, pixelSize, unitsPerEm);
    m.height = m.ascent + m.descent;
    if (hhea) {
        long extra =
            hhea->Line_Gap - ((ascentUnits + descentUnits) - (hhea->Ascender - hhea->Descender));
        m.externalLeading = std::max(0, scaled(extra, pixelSize, unitsPerEm));
        m.maxCharWidth = scaled(hhea->advance_Width_Max, pixelSize, unitsPerEm);
    } else {
        m.maxCharWidth = scaled(face->max_advance_width, pixelSize, unitsPerEm);
    }
    m.maxCharWidth = std::max(m.maxCharWidth, 1);
    m.underlined = request.underline;
    m.struckOut = request.strikeOut;
    long underlineTop = post ? post->underlinePosition : face->underline_position;
    long underlineThickness = post ? post->underlineThickness : face->underline_thickness;
    m.underscorePosition = scaled(underlineTop, pixelSize, unitsPerEm);
    m.underscoreSize = std::max(1, scaled(underlineThickness, pixelSize, unitsPerEm));
    if (os2 && os2->version != 0xFFFF && os2->yStrikeoutSize > 0) {
        m.strikeoutPosition = scaled(os2->yStrikeoutPosition, pixelSize, unitsPerEm);
        m.strikeoutSize = std::max(1, scaled(os2->yStrikeoutSize, pixelSize, unitsPerEm));
    } else {
        m.strikeoutPosition = (m.ascent + 2) / 3 + m.underscoreSize / 2;
        m.strikeoutSize = m.underscoreSize;
    }
    m_primary = std::move(primary);
    return true;
}

FontFace::Face* FontFace::faceFor(char32_t code)
{
    if (FT_Get_Char_Index(m_primary->face, FT_ULong(code)) != 0)
        return m_primary.get();
    if (auto it = m_faceOfCode.find(code); it != m_faceOfCode.end())
        return it->second;
    Face* chosen = m_primary.get();  // its missing-glyph box when nothing has the character
    for (const auto& fallback : m_fallbacks)
        if (FT_Get_Char_Index(fallback->face, FT_ULong(code)) != 0) {
            chosen = fallback.get();
            break;
        }
    while (chosen == m_primary.get() && m_fallbacksTried < m_fallbackFiles.size()) {
        auto face = std::make_unique<Face>();
        face->file = m_fallbackFiles[m_fallbacksTried++];
        if (FT_New_Face(static_cast<FT_Library>(m_library), face->file.path.c_str(),
                        face->file.index, &face->face) != 0) {
            face->face = nullptr;
            continue;
        }
        if (!FT_IS_SCALABLE(face->face) ||
            FT_Set_Pixel_Sizes(face->face, 0, FT_UInt(m_pixelSize)) != 0)
            continue;
        bool has = FT_Get_Char_Index(face->face, FT_ULong(code)) != 0;
        m_fallbacks.push_back(std::move(face));
        if (has)
            chosen = m_fallbacks.back().get();
    }
    m_faceOfCode.emplace(code, chosen);
    return chosen;
}

bool FontFace::render(char32_t code, bool grey, GlyphBitmap& out)
{
    if (!m_outline)
        return false;
    Face* face = faceFor(code);
    FT_Face ft = face->face;
    FT_UInt index = FT_Get_Char_Index(ft, FT_ULong(code));
    if (FT_Load_Glyph(ft, index, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0)
        return false;
    FT_GlyphSlot slot = ft->glyph;
    if (face->file.oblique)
        FT_GlyphSlot_Oblique(slot);
    if (face->file.embolden)
        FT_GlyphSlot_Embolden(slot);
    if (FT_Render_Glyph(slot, grey ? FT_RENDER_MODE_NORMAL : FT_RENDER_MODE_MONO) != 0)
        return false;
    const FT_Bitmap& bitmap = slot->bitmap;
    out.blackBoxX = int(bitmap.width);
    out.blackBoxY = int(bitmap.rows);
    out.originX = slot->bitmap_left;
    out.originY = slot->bitmap_top;
    out.cellIncX = roundedPixels(slot->advance.x);
    out.levels.assign(size_t(out.blackBoxX) * size_t(out.blackBoxY), 0);
    for (int row = 0; row < out.blackBoxY; ++row) {
        const unsigned char* in = bitmap.buffer + ptrdiff_t(row) * bitmap.pitch;
        uint8_t* levels = out.levels.data() + size_t(row) * size_t(out.blackBoxX);
        for (int column = 0; column < out.blackBoxX; ++column) {
            if (grey)
                levels[column] = uint8_t((unsigned(in[column]) * 64 + 127) / 255);
            else
                levels[column] = (in[column >> 3] >> (7 - (column & 7))) & 1;
        }
    }
    return true;
}

const GlyphBitmap* FontFace::glyph(char32_t code, bool grey)
{
    uint64_t key = glyphKey(code, grey);
    if (auto it = m_glyphs.find(key); it != m_glyphs.end())
        return &it->second;
    GlyphBitmap bitmap;
    if (!render(code, grey, bitmap))
        return nullptr;
    m_advances.emplace(code, bitmap.cellIncX);
    return &m_glyphs.emplace(key, std::move(bitmap)).first->second;
}

int FontFace::advance(char32_t code)
{
    if (auto it = m_advances.find(code); it != m_advances.end())
        return it->second;
    if (!m_outline)
        return 0;
    Face* face = faceFor(code);
    FT_Face ft = face->face;
    int result = 0;
    if (FT_Load_Glyph(ft, FT_Get_Char_Index(ft, FT_ULong(code)),
                      FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
        FT_GlyphSlot slot = ft->glyph;
        if (face->file.oblique)
            FT_GlyphSlot_Oblique(slot);
        if (face->file.embolden)
            FT_GlyphSlot_Embolden(slot);
        result = roundedPixels(slot->advance.x);
    }
    m_advances.emplace(code, result);
    return result;
}

}  // namespace tavelune
