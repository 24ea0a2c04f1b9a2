// An RGBA picture in floats (straight alpha, row 0 at the top) with the
// drawing the texture makers need: shapes given as signed distances, painted
// with anti-aliased edges and a colour computed per pixel.
#pragma once

#include <cstdint>
#include <vector>

namespace media {

struct Rgba {
    float r = 0, g = 0, b = 0, a = 0;
};

Rgba Mix(const Rgba& a, const Rgba& b, float t);  // linear blend, t clamped to 0..1
Rgba Scale(const Rgba& c, float k);               // rgb times k, alpha kept
float Clamp01(float v);
Rgba Hex(unsigned rgb, float a = 1.0f);  // 0xRRGGBB with alpha a
float SmoothStep(float e0, float e1, float x);

class Image {
public:
    Image(int width, int height, Rgba fill = {});

    int Width() const { return width_; }
    int Height() const { return height_; }
    Rgba& At(int x, int y) { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }
    const Rgba& At(int x, int y) const { return pixels_[static_cast<std::size_t>(y) * width_ + x]; }

    // Paints c over pixel (x, y), weighted by coverage 0..1 (source-over).
    void Over(int x, int y, const Rgba& c, float coverage);

    // Paints a shape: sdf(px, py) is the signed distance in pixels from the
    // pixel centre (px, py) to the shape's edge, negative inside; shade(px, py)
    // gives the colour there. Edges are anti-aliased over one pixel.
    template <class Sdf, class Shade>
    void Fill(Sdf sdf, Shade shade)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const float px = x + 0.5f, py = y + 0.5f;
                const float cover = Clamp01(0.5f - sdf(px, py));
                if (cover > 0) Over(x, y, shade(px, py), cover);
            }
    }

    // Per pixel: replaces the pixel by f(px, py, current).
    template <class F>
    void Map(F f)
    {
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) At(x, y) = f(x + 0.5f, y + 0.5f, At(x, y));
    }

    // 8-bit BGRA, top row first, each channel rounded to the nearest step.
    std::vector<std::uint8_t> Bgra8() const;

private:
    int width_, height_;
    std::vector<Rgba> pixels_;
};

// Signed distances (negative inside), in the caller's units.
float CircleSdf(float px, float py, float cx, float cy, float r);
float RingSdf(float px, float py, float cx, float cy, float r0, float r1);  // annulus r0..r1
float RoundBoxSdf(float px, float py, float x0, float y0, float x1, float y1, float radius);
float SegmentSdf(float px, float py, float ax, float ay, float bx, float by, float halfWidth);

// Small deterministic noise source (fixed-seed linear congruential generator).
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    float Next();  // uniform in [0, 1)

private:
    std::uint32_t state_;
};

}  // namespace media
