#include "media/Textures.h"

#include <algorithm>
#include <cmath>

#include "media/Glyphs.h"

namespace media {
namespace {

constexpr float kPi = 3.14159265358979f;

// A colour that does not change over the shape.
struct Solid {
    Rgba c;
    Rgba operator()(float, float) const { return c; }
};

float Union(float a, float b)
{
    return std::min(a, b);
}
float Subtract(float a, float b)
{
    return std::max(a, -b);
}

// Five-pointed star centred on (cx, cy), outer radius r, pointing up.
float StarSdf(float px, float py, float cx, float cy, float r, float inner)
{
    float best = 1e9f;
    bool inside = false;
    GlyphPoint pts[10];
    for (int i = 0; i < 10; ++i) {
        const float a = -kPi / 2 + i * kPi / 5;
        const float rr = i % 2 == 0 ? r : r * inner;
        pts[i] = {cx + rr * std::cos(a), cy + rr * std::sin(a)};
    }
    for (int i = 0, j = 9; i < 10; j = i++) {
        const GlyphPoint& a = pts[j];
        const GlyphPoint& b = pts[i];
        const float vx = b.x - a.x, vy = b.y - a.y;
        const float t = std::clamp(((px - a.x) * vx + (py - a.y) * vy) / (vx * vx + vy * vy), 0.0f, 1.0f);
        best = std::min(best, std::hypot(px - a.x - t * vx, py - a.y - t * vy));
        if ((a.y > py) != (b.y > py) && px < a.x + (py - a.y) * vx / vy) inside = !inside;
    }
    return inside ? -best : best;
}

// Soft round falloff: 1 inside r0, 0 beyond r1.
float Falloff(float d, float r0, float r1)
{
    return 1.0f - SmoothStep(r0, r1, d);
}

}  // namespace

Image MakeGrid()
{
    // A stone slab: dark joint on the border (half of it on each side, so
    // tiles share a full joint), a bevel lit from the lower left as the game's
    // light falls on the board, and a faint mottle.
    const int n = 64;
    Image img(n, n);
    Noise noise(0x4B6F6C76u);
    const Rgba base = Hex(0x8FB3A8), joint = Hex(0x2E403C);
    img.Map([&](float px, float py, Rgba) {
        const float edge = std::min(std::min(px, n - px), std::min(py, n - py));
        const float t = (px + (n - py)) / (2.0f * n);  // light toward the lower left
        Rgba c = Mix(Scale(base, 1.06f), Scale(base, 0.90f), 1.0f - t);
        c = Scale(c, 0.985f + 0.03f * noise.Next());
        if (edge < 6.0f) {
            // Bevel: faces toward the lower left catch the light.
            const float toLeft = px, toBottom = n - py, toRight = n - px, toTop = py;
            const bool lit = std::min(toLeft, toBottom) < std::min(toRight, toTop);
            c = Scale(c, lit ? 1.16f : 0.78f);
        }
        if (edge < 2.0f) c = Mix(joint, c, (edge - 1.0f) * 0.8f);
        return Rgba{c.r, c.g, c.b, 1.0f};
    });
    return img;
}

Image MakeBallShadow()
{
    const int n = 64;
    Image img(n, n, {0, 0, 0, 0});
    const float c = n * 0.5f;
    img.Map([&](float px, float py, Rgba) {
        const float r = std::hypot(px - c, py - c) / c;  // 1 at the quad's edge
        return Rgba{0, 0, 0, 0.82f * Falloff(r, 0.30f, 0.88f)};
    });
    return img;
}

Image MakeCoinShadow()
{
    // The coin's footprint seen from above: long along its face (u), thin across.
    const int n = 64;
    Image img(n, n, {0, 0, 0, 0});
    const float c = n * 0.5f;
    img.Map([&](float px, float py, Rgba) {
        const float ex = (px - c) / (c * 0.52f), ey = (py - c) / (c * 0.16f);
        const float r = std::sqrt(ex * ex + ey * ey);
        return Rgba{0, 0, 0, 0.75f * Falloff(r, 0.35f, 1.0f)};
    });
    return img;
}

Image MakeParticle()
{
    const int n = 32;
    Image img(n, n, {1, 1, 1, 0});
    const float c = n * 0.5f;
    img.Map([&](float px, float py, Rgba) {
        const float r = std::hypot(px - c, py - c) / (c - 0.5f);
        const float a = r >= 1 ? 0.0f : std::pow(1.0f - r, 1.6f);
        return Rgba{1, 1, 1, a};
    });
    return img;
}

Image MakeCoin()
{
    const int n = 128;
    const float c = n * 0.5f;
    Image img(n, n, Hex(0xC89B2A, 0));
    const Rgba gold = Hex(0xF2C64B), deep = Hex(0xB07C1A), light = Hex(0xFFF0A8), dark = Hex(0x6E4A0E);
    // Disc with a gradient from the upper left.
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c, c - 0.5f); },
             [&](float x, float y) { return Mix(light, deep, ((x - 10) + (y - 10)) / (2.0f * n)); });
    // Raised rim: a bright upper-left arc and a dark lower-right one.
    img.Fill([&](float x, float y) { return RingSdf(x, y, c, c, c - 12, c - 4); },
             [&](float x, float y) {
                 const float k = ((x - c) + (y - c)) / (2 * c);  // -0.7 upper left .. 0.7 lower right
                 return Mix(Mix(light, gold, 0.2f), deep, 0.5f + k);
             });
    img.Fill([&](float x, float y) { return RingSdf(x, y, c, c, c - 13.5f, c - 12); }, Solid{Scale(dark, 1.0f)});
    img.Fill([&](float x, float y) { return RingSdf(x, y, c, c, c - 1.5f, c - 0.5f); }, Solid{dark});
    // Field inside the rim, a touch deeper than the rim.
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c, c - 13.5f); },
             [&](float x, float y) { return Mix(gold, deep, ((x - 20) + (y - 20)) / (2.0f * n) + 0.1f); });
    // Embossed star: shadow to the lower right, highlight to the upper left, face.
    const float sr = c * 0.52f;
    img.Fill([&](float x, float y) { return StarSdf(x, y, c + 2, c + 3, sr, 0.45f); }, Solid{Hex(0x7A5312, 0.8f)});
    img.Fill([&](float x, float y) { return StarSdf(x, y, c - 1.5f, c - 0.5f, sr, 0.45f); }, Solid{light});
    img.Fill([&](float x, float y) { return StarSdf(x, y, c, c + 1, sr - 1.5f, 0.45f); },
             [&](float, float y) { return Mix(Hex(0xFFE27A), gold, (y - (c - sr)) / (2 * sr)); });
    // Little dots around the field.
    for (int i = 0; i < 16; ++i) {
        const float a = i * 2 * kPi / 16;
        const float x0 = c + (c - 19) * std::cos(a), y0 = c + (c - 19) * std::sin(a);
        img.Fill([&](float x, float y) { return CircleSdf(x, y, x0 + 0.6f, y0 + 0.6f, 1.8f); }, Solid{dark});
        img.Fill([&](float x, float y) { return CircleSdf(x, y, x0 - 0.4f, y0 - 0.4f, 1.5f); }, Solid{light});
    }
    return img;
}

Image MakeBomb()
{
    // Opaque, so the X-ray view keeps full alpha where it is drawn.
    const int n = 128;
    const float c = n * 0.5f;
    Image img(n, n);
    const Rgba red = Hex(0x9E2B1E), redDark = Hex(0x5A130D), stripe = Hex(0x2A0B08);
    img.Map([&](float px, float py, Rgba) {
        const float edge = std::min(std::min(px, n - px), std::min(py, n - py));
        Rgba col = Mix(Scale(red, 1.1f), redDark, std::hypot(px - c, py - c) / (c * 1.35f));
        // Hazard stripes on a band round the border.
        if (edge < 16 && std::fmod(px + py, 22.0f) < 11.0f) col = Mix(col, Hex(0xE0B020), 0.85f);
        if (edge < 16 && edge > 14.5f) col = stripe;
        if (edge < 2.5f) col = stripe;
        return Rgba{col.r, col.g, col.b, 1};
    });
    // Drop shadow, body, cap, fuse and spark.
    const float br = 31;
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c + 5, c + 8, br); }, Solid{Hex(0x000000, 0.45f)});
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c + 4, br); },
             [&](float x, float y) {
                 const float d = std::hypot(x - (c - 11), y - (c - 8)) / (br * 1.7f);
                 return Mix(Hex(0x5A5F6A), Hex(0x0C0D10), d);
             });
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c - 12, c - 8, 7); }, Solid{Hex(0xFFFFFF, 0.55f)});
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c - 14, c - 10, 3); }, Solid{Hex(0xFFFFFF, 0.9f)});
    img.Fill([&](float x, float y) { return RoundBoxSdf(x, y, c + 8, c - 34, c + 24, c - 22, 3); },
             [&](float, float y) { return Mix(Hex(0x8A8F99), Hex(0x30333A), (y - (c - 34)) / 12); });
    const float fx0 = c + 16, fy0 = c - 34, fx1 = c + 24, fy1 = c - 44, fx2 = c + 33, fy2 = c - 44;
    img.Fill(
        [&](float x, float y) {
            return Union(SegmentSdf(x, y, fx0, fy0, fx1, fy1, 2.4f), SegmentSdf(x, y, fx1, fy1, fx2, fy2, 2.4f));
        },
        Solid{Hex(0xD8C8A0)});
    img.Fill([&](float x, float y) { return StarSdf(x, y, fx2 + 2, fy2 - 1, 12, 0.38f); }, Solid{Hex(0xFF8A00)});
    img.Fill([&](float x, float y) { return StarSdf(x, y, fx2 + 2, fy2 - 1, 7, 0.45f); }, Solid{Hex(0xFFF27A)});
    return img;
}

Image MakeGoal()
{
    const int n = 128;
    const float c = n * 0.5f, r = c - 1;
    Image img(n, n, Hex(0xFFFFFF, 0));
    // Chequered disc, eight squares across, with a soft shine.
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c, r - 10); },
             [&](float x, float y) {
                 const int ix = static_cast<int>(x / 16), iy = static_cast<int>(y / 16);
                 const Rgba sq = (ix + iy) % 2 == 0 ? Hex(0xF4F4F0) : Hex(0x1C1C22);
                 return Mix(sq, Hex(0x808080), std::hypot(x - c * 0.7f, y - c * 0.7f) / (n * 1.6f));
             });
    // Gold rim with a dark outline either side.
    img.Fill([&](float x, float y) { return RingSdf(x, y, c, c, r - 11, r); }, Solid{Hex(0x3A2A08)});
    img.Fill([&](float x, float y) { return RingSdf(x, y, c, c, r - 9.5f, r - 1.5f); },
             [&](float x, float y) { return Mix(Hex(0xFFE58A), Hex(0xB8860B), ((x - c) + (y - c)) / (2 * c) + 0.5f); });
    // Green centre target with a white flag triangle.
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c, 17); }, Solid{Hex(0x1E5E2A)});
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c, 14.5f); }, Solid{Hex(0x3DBB55)});
    img.Fill([&](float x, float y) { return SegmentSdf(x, y, c - 5, c - 10, c - 5, c + 10, 1.4f); },
             Solid{Hex(0xF4F4F0)});
    img.Fill(
        [&](float x, float y) {
            // Pennant: triangle from the pole to the right.
            const float d1 = SegmentSdf(x, y, c - 4, c - 10, c + 9, c - 5, 0.0f);
            const float d2 = SegmentSdf(x, y, c + 9, c - 5, c - 4, c, 0.0f);
            const float d3 = SegmentSdf(x, y, c - 4, c, c - 4, c - 10, 0.0f);
            const bool inside =
                x >= c - 4 && (y - (c - 10)) >= (x - (c - 4)) * 5.0f / 13.0f && (c - y) >= (x - (c - 4)) * 5.0f / 13.0f;
            const float d = std::min(d1, std::min(d2, d3));
            return inside ? -d : d;
        },
        Solid{Hex(0xF4F4F0)});
    return img;
}

Image MakeRing()
{
    // Planar on the ring mesh: the image's square spans the ring's outer
    // diameter, so its radius 2.0 (the edge of the goal zone) is 0.889 here.
    const int n = 128;
    const float c = n * 0.5f;
    Image img(n, n, Hex(0x5CFF9A, 0));
    img.Map([&](float px, float py, Rgba) {
        const float r = std::hypot(px - c, py - c) / c;
        const float glow = std::exp(-std::pow((r - 0.889f) / 0.045f, 2.0f));
        const float halo = 0.35f * std::exp(-std::pow((r - 0.889f) / 0.09f, 2.0f));
        // Twelve brighter dashes turning round the ring.
        const float a = std::atan2(py - c, px - c);
        const float dash = 0.5f + 0.5f * std::cos(12 * a);
        const float alpha = Clamp01((glow * (0.55f + 0.45f * dash) + halo) * (r < 1.0f ? 1.0f : 0.0f));
        const Rgba col = Mix(Hex(0x2EE07A), Hex(0xE8FFF0), glow * dash);
        return Rgba{col.r, col.g, col.b, alpha};
    });
    return img;
}

Image MakePlayerStart()
{
    const int n = 64;
    const float c = n * 0.5f;
    Image img(n, n, Hex(0x3A7BD5, 0));
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c, c - 1); }, Solid{Hex(0x0E2A55, 0.9f)});
    img.Fill([&](float x, float y) { return CircleSdf(x, y, c, c, c - 4); },
             [&](float x, float y) { return Mix(Hex(0x7DB6FF), Hex(0x1F56A8), (x + y) / (2.0f * n)); });
    img.Fill([&](float x, float y) { return RingSdf(x, y, c, c, c - 10, c - 7); }, Solid{Hex(0xFFFFFF, 0.85f)});
    img.Fill(
        [&](float x, float y) {
            // Play triangle pointing right.
            const float d1 = SegmentSdf(x, y, c - 7, c - 11, c - 7, c + 11, 0);
            const float d2 = SegmentSdf(x, y, c - 7, c + 11, c + 12, c, 0);
            const float d3 = SegmentSdf(x, y, c + 12, c, c - 7, c - 11, 0);
            const bool inside = x >= c - 7 && std::fabs(y - c) <= (c + 12 - x) * 11.0f / 19.0f;
            const float d = std::min(d1, std::min(d2, d3));
            return inside ? -d : d;
        },
        Solid{Hex(0xFFFFFF)});
    return img;
}

Image MakeLogo()
{
    const int w = 256, h = 128;
    Image img(w, h, Hex(0x10343A, 0));
    // Plaque: dark teal glass with a light border.
    img.Fill([&](float x, float y) { return RoundBoxSdf(x, y, 4, 10, w - 4, h - 10, 16); },
             Solid{Hex(0x0A1F24, 0.55f)});
    img.Fill([&](float x, float y) { return RoundBoxSdf(x, y, 6, 12, w - 6, h - 12, 14); },
             [&](float, float y) { return Mix(Hex(0x2E6E74, 0.82f), Hex(0x0E2B30, 0.88f), (y - 12) / (h - 24)); });
    img.Fill(
        [&](float x, float y) {
            return Subtract(RoundBoxSdf(x, y, 8, 14, w - 8, h - 14, 12), RoundBoxSdf(x, y, 10, 16, w - 10, h - 16, 10));
        },
        Solid{Hex(0xA8E0D8, 0.6f)});

    const std::string text = "KOLVAR";
    const float gap = 1.4f, slant = 0.16f, scale = 3.85f;
    const float textW = TextWidth(text, gap) * scale + slant * 10 * scale;
    const float x0 = (w - textW) * 0.5f, y0 = 38;
    auto letters = [&](float dx, float dy) {
        return [=](float x, float y) { return TextSdf(text, x0 + dx, y0 + dy, scale, gap, slant, x, y); };
    };
    auto grow = [](auto sdf, float by) { return [=](float x, float y) { return sdf(x, y) - by; }; };
    // Drop shadow, dark outline, gold letters with a glossy upper half.
    img.Fill(grow(letters(3, 4), 3.0f), Solid{Hex(0x000000, 0.5f)});
    img.Fill(grow(letters(0, 0), 3.0f), Solid{Hex(0x3A1E04)});
    const float top = y0, bottom = y0 + 10 * scale;
    img.Fill(letters(0, 0), [&](float, float y) {
        const float t = (y - top) / (bottom - top);
        return t < 0.48f ? Mix(Hex(0xFFF6C0), Hex(0xFFD040), t / 0.48f)
                         : Mix(Hex(0xF0A010), Hex(0xB86A08), (t - 0.48f) / 0.52f);
    });
    img.Fill(grow(letters(0, 0), -0.0f), [&](float, float y) {
        const float t = (y - top) / (bottom - top);
        return Hex(0xFFFFFF, t < 0.12f ? 0.35f : 0.0f);
    });

    // A small ball and bomb under the name, joined by a dotted trail.
    const float by = 98;
    img.Fill(
        [&](float x, float y) { return CircleSdf(x, y, 56, by, 7); },
        [&](float x, float y) { return Mix(Hex(0xE8FFF8), Hex(0x5F9F94), std::hypot(x - 53, y - (by - 3)) / 12); });
    for (int i = 0; i < 9; ++i) {
        const float dx = 74 + i * 12.0f;
        img.Fill([&](float x, float y) { return CircleSdf(x, y, dx, by, 1.8f); }, Solid{Hex(0xA8E0D8, 0.8f)});
    }
    img.Fill(
        [&](float x, float y) { return CircleSdf(x, y, 194, by + 1, 7.5f); },
        [&](float x, float y) { return Mix(Hex(0x6A6F7A), Hex(0x0C0D10), std::hypot(x - 191, y - (by - 2)) / 13); });
    img.Fill([&](float x, float y) { return SegmentSdf(x, y, 199, by - 5, 203, by - 10, 1.2f); }, Solid{Hex(0xD8C8A0)});
    img.Fill([&](float x, float y) { return CircleSdf(x, y, 204, by - 11.5f, 2.6f); }, Solid{Hex(0xFFC23A)});
    return img;
}

Image MakeXRayFrame()
{
    const int n = 256;
    const float c = n * 0.5f;
    Image img(n, n, {0, 0, 0, 0});
    const float outer = 0, inner0 = 16, innerTop = 30, radius = 3;
    auto window = [&](float x, float y) { return RoundBoxSdf(x, y, inner0, innerTop, n - inner0, n - inner0, 14); };
    auto body = [&](float x, float y) { return RoundBoxSdf(x, y, outer, outer, n - outer, n - outer, radius); };

    // Soft dark glass tint toward the window's edge (the middle stays clear).
    img.Map([&](float x, float y, Rgba) {
        const float d = -window(x, y);  // distance inside the window
        return Rgba{0.02f, 0.08f, 0.07f, d > 0 ? 0.45f * (1.0f - SmoothStep(0, 18, d)) : 0.0f};
    });
    // Metal bezel: brushed gradient, lighter at the top.
    img.Fill([&](float x, float y) { return Subtract(body(x, y), window(x, y)); },
             [&](float x, float y) {
                 const float t = y / n;
                 Rgba col = Mix(Hex(0xC9D2D6), Hex(0x59646B), t);
                 col = Scale(col, 0.96f + 0.04f * std::sin(x * 0.9f + y * 0.15f));
                 return col;
             });
    // Outer and inner outlines, and an inner bevel line.
    img.Fill([&](float x, float y) { return std::fabs(body(x, y) + 1.0f) - 1.0f; }, Solid{Hex(0x1B2226)});
    img.Fill([&](float x, float y) { return std::fabs(window(x, y) - 1.5f) - 1.5f; }, Solid{Hex(0x1B2226)});
    img.Fill([&](float x, float y) { return std::fabs(body(x, y) + 4.0f) - 0.7f; }, Solid{Hex(0xFFFFFF, 0.35f)});
    // Screws in the corners.
    const float sp[4][2] = {{12, 12}, {n - 12.0f, 12}, {12, n - 12.0f}, {n - 12.0f, n - 12.0f}};
    for (const auto& s : sp) {
        img.Fill(
            [&](float x, float y) { return CircleSdf(x, y, s[0], s[1], 3.6f); },
            [&](float x, float y) { return Mix(Hex(0xF0F4F6), Hex(0x4A545A), ((x - s[0]) + (y - s[1])) / 8 + 0.5f); });
        img.Fill([&](float x,
                     float y) { return SegmentSdf(x, y, s[0] - 2.2f, s[1] + 2.2f, s[0] + 2.2f, s[1] - 2.2f, 0.6f); },
                 Solid{Hex(0x20282C)});
    }
    // Label plate in the top bar.
    const std::string label = "X-RAY";
    const float scale = 1.9f, gap = 1.2f;
    const float lw = TextWidth(label, gap) * scale;
    const float lx = c - lw * 0.5f, ly = 6.5f;
    img.Fill([&](float x, float y) { return RoundBoxSdf(x, y, lx - 10, 4, lx + lw + 10, 28, 5); },
             [&](float, float y) { return Mix(Hex(0x19423D), Hex(0x0B211E), (y - 4) / 24); });
    img.Fill([&](float x, float y) { return TextSdf(label, lx, ly, scale, gap, 0, x, y) - 0.6f; },
             Solid{Hex(0x061210)});
    img.Fill([&](float x, float y) { return TextSdf(label, lx, ly, scale, gap, 0, x, y); }, Solid{Hex(0x7CFFD8)});
    // Two status lamps beside the label.
    img.Fill([&](float x, float y) { return CircleSdf(x, y, lx - 24, 16, 3.5f); }, Solid{Hex(0x47FF9A)});
    img.Fill([&](float x, float y) { return CircleSdf(x, y, lx + lw + 24, 16, 3.5f); }, Solid{Hex(0xFF5A3A)});

    // Ring of the bomb distance round the ball at the view's centre, and ticks.
    const float unit = n / kXRayViewUnits;
    img.Fill([&](float x, float y) { return std::fabs(CircleSdf(x, y, c, c, unit)) - 0.8f; },
             Solid{Hex(0xE8FFF6, 0.55f)});
    for (int i = 0; i < 4; ++i) {
        const float a = i * kPi / 2;
        const float ca = std::cos(a), sa = std::sin(a);
        img.Fill(
            [&](float x, float y) {
                return SegmentSdf(x, y, c + ca * (unit + 4), c + sa * (unit + 4), c + ca * (unit + 12),
                                  c + sa * (unit + 12), 0.8f);
            },
            Solid{Hex(0xE8FFF6, 0.55f)});
    }
    return img;
}

}  // namespace media
