#include "media/Glyphs.h"

#include <algorithm>
#include <cmath>

namespace media {
namespace {

const std::vector<Glyph>& Font()
{
    static const std::vector<Glyph> glyphs = {
        {'K',
         8.2f,
         {{{0, 0},
           {2.6f, 0},
           {2.6f, 3.9f},
           {5.2f, 0},
           {8.2f, 0},
           {4.5f, 5},
           {8.2f, 10},
           {5.2f, 10},
           {2.6f, 6.1f},
           {2.6f, 10},
           {0, 10}}}},
        {'O',
         8.6f,
         {{{2.6f, 0}, {6, 0}, {8.6f, 2.6f}, {8.6f, 7.4f}, {6, 10}, {2.6f, 10}, {0, 7.4f}, {0, 2.6f}},
          {{3.6f, 2.6f}, {5, 2.6f}, {6, 3.6f}, {6, 6.4f}, {5, 7.4f}, {3.6f, 7.4f}, {2.6f, 6.4f}, {2.6f, 3.6f}}}},
        {'L', 7.0f, {{{0, 0}, {2.6f, 0}, {2.6f, 7.4f}, {7, 7.4f}, {7, 10}, {0, 10}}}},
        {'V', 9.0f, {{{0, 0}, {2.7f, 0}, {4.5f, 6.4f}, {6.3f, 0}, {9, 0}, {5.9f, 10}, {3.1f, 10}}}},
        {'A',
         9.0f,
         {{{3.1f, 0}, {5.9f, 0}, {9, 10}, {6.3f, 10}, {5.8f, 8.2f}, {3.2f, 8.2f}, {2.7f, 10}, {0, 10}},
          {{4.5f, 3.4f}, {5.25f, 6.0f}, {3.75f, 6.0f}}}},
        {'R',
         8.4f,
         {{{0, 0},
           {6.2f, 0},
           {8.2f, 2},
           {8.2f, 4.2f},
           {6.7f, 5.7f},
           {8.4f, 10},
           {5.6f, 10},
           {4.2f, 6.3f},
           {2.6f, 6.3f},
           {2.6f, 10},
           {0, 10}},
          {{2.6f, 2.4f}, {5.1f, 2.4f}, {5.6f, 2.9f}, {5.6f, 3.4f}, {5.1f, 3.9f}, {2.6f, 3.9f}}}},
        {'X',
         8.6f,
         {{{0, 0},
           {2.9f, 0},
           {4.3f, 3.0f},
           {5.7f, 0},
           {8.6f, 0},
           {5.8f, 5},
           {8.6f, 10},
           {5.7f, 10},
           {4.3f, 7.0f},
           {2.9f, 10},
           {0, 10},
           {2.8f, 5}}}},
        {'Y',
         8.6f,
         {{{0, 0}, {2.9f, 0}, {4.3f, 3.4f}, {5.7f, 0}, {8.6f, 0}, {5.6f, 6.0f}, {5.6f, 10}, {3.0f, 10}, {3.0f, 6.0f}}}},
        {'-', 4.4f, {{{0.4f, 4}, {4.0f, 4}, {4.0f, 6.2f}, {0.4f, 6.2f}}}},
        {' ', 4.0f, {}},
    };
    return glyphs;
}

// Distance to a polygon set and whether the point is inside (even-odd).
void PolygonDistance(const std::vector<std::vector<GlyphPoint>>& contours, float x, float y, float& dist, bool& inside)
{
    for (const auto& c : contours) {
        const std::size_t n = c.size();
        for (std::size_t i = 0, j = n - 1; i < n; j = i++) {
            const GlyphPoint& a = c[j];
            const GlyphPoint& b = c[i];
            const float vx = b.x - a.x, vy = b.y - a.y;
            const float len2 = vx * vx + vy * vy;
            float t = len2 > 0 ? ((x - a.x) * vx + (y - a.y) * vy) / len2 : 0;
            t = std::clamp(t, 0.0f, 1.0f);
            dist = std::min(dist, std::hypot(x - a.x - t * vx, y - a.y - t * vy));
            if ((a.y > y) != (b.y > y) && x < a.x + (y - a.y) * vx / vy) inside = !inside;
        }
    }
}

}  // namespace

const Glyph* FindGlyph(char letter)
{
    for (const Glyph& g : Font())
        if (g.letter == letter) return &g;
    return nullptr;
}

float TextWidth(const std::string& text, float gap)
{
    float w = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (const Glyph* g = FindGlyph(text[i])) w += g->width;
        if (i + 1 < text.size()) w += gap;
    }
    return w;
}

float TextSdf(const std::string& text, float x, float y, float scale, float gap, float slant, float px, float py)
{
    // Into glyph units: undo the slant about the baseline (y = 10).
    const float gy = (py - y) / scale;
    float gx = (px - x) / scale - slant * (10.0f - gy);
    float best = 1e9f;
    bool anyInside = false;
    for (char ch : text) {
        const Glyph* g = FindGlyph(ch);
        if (!g) continue;
        float d = 1e9f;
        bool inside = false;
        PolygonDistance(g->contours, gx, gy, d, inside);
        if (inside) anyInside = true;
        best = std::min(best, d);
        gx -= g->width + gap;
    }
    // The slant shortens horizontal distances a little; close enough for edges.
    return (anyInside ? -best : best) * scale;
}

}  // namespace media
