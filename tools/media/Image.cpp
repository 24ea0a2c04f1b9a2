#include "media/Image.h"

#include <algorithm>
#include <cmath>

namespace media {

float Clamp01(float v)
{
    return v < 0 ? 0 : (v > 1 ? 1 : v);
}

float SmoothStep(float e0, float e1, float x)
{
    const float t = Clamp01((x - e0) / (e1 - e0));
    return t * t * (3 - 2 * t);
}

Rgba Hex(unsigned rgb, float a)
{
    return {((rgb >> 16) & 0xFF) / 255.0f, ((rgb >> 8) & 0xFF) / 255.0f, (rgb & 0xFF) / 255.0f, a};
}

Rgba Mix(const Rgba& a, const Rgba& b, float t)
{
    t = Clamp01(t);
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t, a.a + (b.a - a.a) * t};
}

Rgba Scale(const Rgba& c, float k)
{
    return {c.r * k, c.g * k, c.b * k, c.a};
}

Image::Image(int width, int height, Rgba fill)
    : width_(width), height_(height), pixels_(static_cast<std::size_t>(width) * height, fill)
{
}

void Image::Over(int x, int y, const Rgba& c, float coverage)
{
    if (x < 0 || y < 0 || x >= width_ || y >= height_) return;
    Rgba& d = At(x, y);
    const float sa = Clamp01(c.a * coverage);
    const float outA = sa + d.a * (1 - sa);
    if (outA <= 0) {
        // Keep the colour under fully clear pixels, so edges never darken.
        d = {c.r, c.g, c.b, 0};
        return;
    }
    d.r = (c.r * sa + d.r * d.a * (1 - sa)) / outA;
    d.g = (c.g * sa + d.g * d.a * (1 - sa)) / outA;
    d.b = (c.b * sa + d.b * d.a * (1 - sa)) / outA;
    d.a = outA;
}

std::vector<std::uint8_t> Image::Bgra8() const
{
    std::vector<std::uint8_t> out;
    out.reserve(pixels_.size() * 4);
    auto q = [](float v) { return static_cast<std::uint8_t>(std::lround(Clamp01(v) * 255.0f)); };
    for (const Rgba& p : pixels_) {
        out.push_back(q(p.b));
        out.push_back(q(p.g));
        out.push_back(q(p.r));
        out.push_back(q(p.a));
    }
    return out;
}

float CircleSdf(float px, float py, float cx, float cy, float r)
{
    return std::hypot(px - cx, py - cy) - r;
}

float RingSdf(float px, float py, float cx, float cy, float r0, float r1)
{
    const float d = std::hypot(px - cx, py - cy);
    return std::max(r0 - d, d - r1);
}

float RoundBoxSdf(float px, float py, float x0, float y0, float x1, float y1, float radius)
{
    const float cx = (x0 + x1) * 0.5f, cy = (y0 + y1) * 0.5f;
    const float hx = (x1 - x0) * 0.5f - radius, hy = (y1 - y0) * 0.5f - radius;
    const float qx = std::fabs(px - cx) - hx, qy = std::fabs(py - cy) - hy;
    const float outside = std::hypot(std::max(qx, 0.0f), std::max(qy, 0.0f));
    return outside + std::min(std::max(qx, qy), 0.0f) - radius;
}

float SegmentSdf(float px, float py, float ax, float ay, float bx, float by, float halfWidth)
{
    const float vx = bx - ax, vy = by - ay;
    const float len2 = vx * vx + vy * vy;
    const float t = len2 > 0 ? Clamp01(((px - ax) * vx + (py - ay) * vy) / len2) : 0.0f;
    return std::hypot(px - ax - t * vx, py - ay - t * vy) - halfWidth;
}

float Noise::Next()
{
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) * (1.0f / 16777216.0f);
}

}  // namespace media
