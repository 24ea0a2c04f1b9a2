#include "d3dx/FontFace.h"

#include <cmath>
#include <mutex>

#include <fontconfig/fontconfig.h>
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_OUTLINE_H
#include FT_SYNTHESIS_H
#include FT_TRUETYPE_TABLES_H

namespace d3dx {
namespace detail {
namespace {

// One FreeType library for all fonts; the device layer runs on one thread.
FT_Library Library()
{
    static FT_Library library = [] {
        FT_Library lib = nullptr;
        if (FT_Init_FreeType(&lib) != 0) lib = nullptr;
        return lib;
    }();
    return library;
}

// Finds the file that fontconfig picks for a Windows font request.
bool Match(const char* faceName, int weight, bool italic, std::string& file, int& index, std::string& family,
           int& fcWeight, int& fcSlant)
{
    static bool ready = FcInit() == FcTrue;
    if (!ready) return false;
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return false;
    if (faceName && *faceName) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(faceName));
    int w = weight <= 0 ? 400 : weight > 1000 ? 1000 : weight;
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(w));
    FcPatternAddInteger(pattern, FC_SLANT, italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(nullptr, pattern, &result);
    FcPatternDestroy(pattern);
    if (!match) return false;
    FcChar8* path = nullptr;
    FcChar8* fam = nullptr;
    bool ok = FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch && path;
    if (ok) {
        file = reinterpret_cast<const char*>(path);
        if (FcPatternGetInteger(match, FC_INDEX, 0, &index) != FcResultMatch) index = 0;
        if (FcPatternGetString(match, FC_FAMILY, 0, &fam) == FcResultMatch && fam)
            family = reinterpret_cast<const char*>(fam);
        if (FcPatternGetInteger(match, FC_WEIGHT, 0, &fcWeight) != FcResultMatch) fcWeight = FC_WEIGHT_REGULAR;
        if (FcPatternGetInteger(match, FC_SLANT, 0, &fcSlant) != FcResultMatch) fcSlant = FC_SLANT_ROMAN;
    }
    FcPatternDestroy(match);
    return ok;
}

}  // namespace

struct FontFace::Impl {
    FT_Face face = nullptr;
    ~Impl()
    {
        if (face) FT_Done_Face(face);
    }
};

FontFace::~FontFace() = default;

std::unique_ptr<FontFace> FontFace::Open(const char* faceName, int height, int width, int weight, bool italic,
                                         std::string* error)
{
    auto fail = [&](const char* why) {
        if (error) *error = why;
        return std::unique_ptr<FontFace>();
    };
    FT_Library lib = Library();
    if (!lib) return fail("FreeType could not start");
    std::string file, family;
    int index = 0, fcWeight = FC_WEIGHT_REGULAR, fcSlant = FC_SLANT_ROMAN;
    if (!Match(faceName, weight, italic, file, index, family, fcWeight, fcSlant))
        return fail("no font matches the face name");

    std::unique_ptr<FontFace> font(new FontFace());
    font->impl_.reset(new Impl());
    if (FT_New_Face(lib, file.c_str(), index, &font->impl_->face) != 0 || !font->impl_->face)
        return fail("the font file cannot be opened");
    FT_Face face = font->impl_->face;
    if (!FT_IS_SCALABLE(face) || face->units_per_EM == 0) return fail("the font is not scalable");
    FT_Select_Charmap(face, FT_ENCODING_UNICODE);

    // Windows scales a positive height to the cell (win ascent + win descent),
    // a negative one to the em.
    double upem = face->units_per_EM;
    double winAscent = face->ascender, winDescent = -face->descender;
    if (const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2))) {
        if (os2->usWinAscent + os2->usWinDescent > 0) {
            winAscent = os2->usWinAscent;
            winDescent = os2->usWinDescent;
        }
    }
    if (winAscent + winDescent <= 0) return fail("the font has no vertical metrics");
    if (height == 0) height = 16;
    if (height > 2048 || height < -2048) return fail("font height out of range");
    double ppem;
    if (height > 0) {
        ppem = upem * height / (winAscent + winDescent);
        font->ascent_ = int(std::lround(winAscent * height / (winAscent + winDescent)));
        font->descent_ = height - font->ascent_;
    } else {
        ppem = -height;
        font->ascent_ = int(std::lround(winAscent * ppem / upem));
        font->descent_ = int(std::lround(winDescent * ppem / upem));
    }
    double xppem = ppem;
    double avgUnits = 0;
    if (const TT_OS2* os2 = static_cast<const TT_OS2*>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2)))
        avgUnits = os2->xAvgCharWidth;
    if (avgUnits <= 0) avgUnits = upem / 2;
    if (width > 0 && width <= 2048) xppem = ppem * width / (avgUnits * ppem / upem);
    if (FT_Set_Char_Size(face, FT_F26Dot6(std::lround(xppem * 64)), FT_F26Dot6(std::lround(ppem * 64)), 72, 72) != 0)
        return fail("the font cannot be scaled to that size");

    font->weight_ = weight <= 0 ? 400 : weight;
    font->italic_ = italic;
    font->family_ = family;
    font->file_ = file;
    font->emboldenSynthetic_ = weight >= 600 && fcWeight < FC_WEIGHT_DEMIBOLD;
    font->slantSynthetic_ = italic && fcSlant == FC_SLANT_ROMAN;
    font->averageWidth_ = int(std::lround(avgUnits * xppem / upem));
    font->maxWidth_ = int(std::lround(double(face->max_advance_width) * xppem / upem));
    if (font->slantSynthetic_) {
        FT_Matrix shear = {0x10000, 0x0366A, 0, 0x10000};  // about 12 degrees
        FT_Set_Transform(face, &shear, nullptr);
    }
    return font;
}

bool FontFace::Load(uint32_t codepoint)
{
    FT_Face face = impl_->face;
    FT_UInt glyph = FT_Get_Char_Index(face, codepoint);
    if (glyph == 0 && codepoint >= 0x20) glyph = FT_Get_Char_Index(face, 0xFFFD);
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) != 0) return false;
    if (emboldenSynthetic_) FT_GlyphSlot_Embolden(face->glyph);
    return true;
}

int FontFace::Advance(uint32_t codepoint)
{
    auto found = advances_.find(codepoint);
    if (found != advances_.end()) return found->second;
    int advance = 0;
    if (codepoint >= 0x20 && Load(codepoint)) advance = int((impl_->face->glyph->advance.x + 32) >> 6);
    advances_.emplace(codepoint, advance);
    return advance;
}

bool FontFace::Render(uint32_t codepoint, GlyphBitmap& out)
{
    out = GlyphBitmap();
    out.advance = Advance(codepoint);
    if (codepoint < 0x20) return true;
    if (!Load(codepoint)) return false;
    FT_GlyphSlot slot = impl_->face->glyph;
    if (FT_Render_Glyph(slot, FT_RENDER_MODE_NORMAL) != 0) return false;
    const FT_Bitmap& bm = slot->bitmap;
    if (bm.pixel_mode != FT_PIXEL_MODE_GRAY) return bm.width == 0 || bm.rows == 0;
    out.width = int(bm.width);
    out.height = int(bm.rows);
    out.left = slot->bitmap_left;
    out.top = slot->bitmap_top;
    out.coverage.resize(size_t(out.width) * out.height);
    for (int y = 0; y < out.height; ++y) {
        const unsigned char* row = bm.buffer + (bm.pitch >= 0 ? y * bm.pitch : (out.height - 1 - y) * -bm.pitch);
        for (int x = 0; x < out.width; ++x) {
            int v = row[x];
            if (bm.num_grays != 256 && bm.num_grays > 1) v = v * 255 / (bm.num_grays - 1);
            out.coverage[size_t(y) * out.width + x] = uint8_t(v);
        }
    }
    return true;
}

}  // namespace detail
}  // namespace d3dx
