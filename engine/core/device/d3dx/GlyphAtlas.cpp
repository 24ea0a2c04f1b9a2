#include "d3dx/GlyphAtlas.h"

#include <algorithm>

namespace d3dx {
namespace detail {

GlyphAtlas::GlyphAtlas(int pageSize) : pageSize_(std::max(16, pageSize)) {}

int GlyphAtlas::PageSizeFor(int lineHeight)
{
    int want = std::max(1, lineHeight) * 10;
    int size = 256;
    while (size < want && size < 2048) size *= 2;
    return size;
}

bool GlyphAtlas::Place(int w, int h, int& page, int& x, int& y)
{
    // One texel of air around every glyph keeps bilinear taps clean.
    if (w + 2 > pageSize_ || h + 2 > pageSize_) return false;
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (pages_.empty() || attempt == 1) {
            Page p;
            p.coverage.assign(size_t(pageSize_) * pageSize_, 0);
            pages_.push_back(std::move(p));
        }
        Page& p = pages_.back();
        if (p.shelfX + w + 1 > pageSize_) {  // next shelf
            p.shelfY += p.shelfHeight + 1;
            p.shelfX = 1;
            p.shelfHeight = 0;
        }
        if (p.shelfY + h + 1 <= pageSize_) {
            page = int(pages_.size()) - 1;
            x = p.shelfX;
            y = p.shelfY;
            p.shelfX += w + 1;
            p.shelfHeight = std::max(p.shelfHeight, h);
            return true;
        }
    }
    return false;
}

const AtlasGlyph* GlyphAtlas::Find(FontFace& face, uint32_t codepoint)
{
    auto found = glyphs_.find(codepoint);
    if (found != glyphs_.end()) return &found->second;
    GlyphBitmap bitmap;
    if (!face.Render(codepoint, bitmap)) return nullptr;
    AtlasGlyph g;
    g.advance = bitmap.advance;
    g.left = bitmap.left;
    g.top = bitmap.top;
    int w = std::min(bitmap.width, pageSize_ - 2), h = std::min(bitmap.height, pageSize_ - 2);
    if (w > 0 && h > 0 && Place(w, h, g.page, g.x, g.y)) {
        g.width = w;
        g.height = h;
        Page& p = pages_[size_t(g.page)];
        for (int row = 0; row < h; ++row)
            std::copy_n(bitmap.coverage.data() + size_t(row) * bitmap.width, w,
                        p.coverage.data() + size_t(g.y + row) * pageSize_ + g.x);
        p.dirty = true;
    }
    return &glyphs_.emplace(codepoint, g).first->second;
}

}  // namespace detail
}  // namespace d3dx
