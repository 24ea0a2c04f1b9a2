// The glyph cache of a font: each character is rendered once into a page of
// 8-bit coverage, packed in shelves, and found again by its code point.
// Pages stay in memory; the font uploads the ones marked dirty.
#pragma once

#include <cstdint>
#include <unordered_map>
#include <vector>

#include "d3dx/FontFace.h"

namespace d3dx {
namespace detail {

struct AtlasGlyph {
    int page = 0;
    int x = 0, y = 0;           // top-left texel in the page
    int width = 0, height = 0;  // 0 for blank glyphs (space)
    int left = 0, top = 0;      // as GlyphBitmap
    int advance = 0;
};

class GlyphAtlas {
public:
    // Pages are pageSize x pageSize texels; a size for a line height is PageSizeFor.
    explicit GlyphAtlas(int pageSize);
    static int PageSizeFor(int lineHeight);

    // The cached glyph, rendered and packed on first use; null when the face
    // cannot render the character.
    const AtlasGlyph* Find(FontFace& face, uint32_t codepoint);

    int PageSize() const { return pageSize_; }
    int PageCount() const { return int(pages_.size()); }
    const uint8_t* PageCoverage(int page) const { return pages_[size_t(page)].coverage.data(); }
    bool PageDirty(int page) const { return pages_[size_t(page)].dirty; }
    void ClearDirty(int page) { pages_[size_t(page)].dirty = false; }

private:
    struct Page {
        std::vector<uint8_t> coverage;
        int shelfX = 1, shelfY = 1, shelfHeight = 0;
        bool dirty = true;
    };
    bool Place(int w, int h, int& page, int& x, int& y);

    int pageSize_;
    std::vector<Page> pages_;
    std::unordered_map<uint32_t, AtlasGlyph> glyphs_;
};

}  // namespace detail
}  // namespace d3dx
