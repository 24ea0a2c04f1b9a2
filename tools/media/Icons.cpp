#include "media/Icons.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "kmf/KmfLevel.h"
#include "media/PngFile.h"

namespace media {
namespace {

constexpr float kUnits = 256.0f;  // the drawing square, whatever the size

// Paints a shape laid out in units: sdf and shade take unit coordinates, the
// distance is turned into pixels so every size gets a one-pixel edge.
template <class Sdf, class Shade>
void FillUnits(Image& img, Sdf sdf, Shade shade)
{
    const float k = img.Width() / kUnits;
    img.Fill([&](float px, float py) { return sdf(px / k, py / k) * k; },
             [&](float px, float py) { return shade(px / k, py / k); });
}

struct Solid {
    Rgba c;
    Rgba operator()(float, float) const { return c; }
};

// A rhombus with corners left, right, top and bottom of (cx, cy).
float DiamondSdf(float px, float py, float cx, float cy, float halfW, float halfH)
{
    const float k = halfW * halfH / std::hypot(halfW, halfH);
    return (std::fabs(px - cx) / halfW + std::fabs(py - cy) / halfH - 1.0f) * k;
}

// An ellipse (close to the true distance for the gentle shapes drawn here).
float EllipseSdf(float px, float py, float cx, float cy, float rx, float ry)
{
    return (std::hypot((px - cx) / rx, (py - cy) / ry) - 1.0f) * std::min(rx, ry);
}

// The board, seen from above at an angle: tile (i, j) of kTiles x kTiles,
// u = (i + 0.5) / kTiles across to the right, v to the left.
//
//              top: u = v = 0
//                  .
//        v = 1  .     .  u = 1
//                  .
//              bottom: u = v = 1
constexpr float kBoardX = 128, kBoardY = 156, kBoardW = 124, kBoardH = 76, kBoardDepth = 14;
constexpr int kTiles = 4;
constexpr int kBombI = kTiles - 1, kBombJ = 0;  // the warning tile, on the right

void BoardUv(float x, float y, float& u, float& v)
{
    const float a = (x - kBoardX) / kBoardW, b = (y - kBoardY) / kBoardH;
    u = (a + b + 1) * 0.5f;
    v = (b + 1 - a) * 0.5f;
}

void TileCentre(float i, float j, float& x, float& y)
{
    const float u = (i + 0.5f) / kTiles, v = (j + 0.5f) / kTiles;
    x = kBoardX + (u - v) * kBoardW;
    y = kBoardY + (u + v - 1) * kBoardH;
}

// Distance in units from (u, v) to the nearest joint between tiles.
float JointDistance(float u, float v)
{
    const float across = 2 * kBoardW * kBoardH / std::hypot(kBoardW, kBoardH) / kTiles;
    const float fu = u * kTiles - std::floor(u * kTiles), fv = v * kTiles - std::floor(v * kTiles);
    return std::min(std::min(fu, 1 - fu), std::min(fv, 1 - fv)) * across;
}

void DrawBoard(Image& img, float unitsPerPixel)
{
    const bool joints = img.Width() >= 64;
    const Rgba stone = Hex(0x8FB3A8), side = Hex(0x3F5D56), joint = Hex(0x2E403C), warn = Hex(0xD9542B);
    // The slab's thickness: the board shifted down, darker.
    FillUnits(
        img, [&](float x, float y) { return DiamondSdf(x, y, kBoardX, kBoardY + kBoardDepth, kBoardW, kBoardH); },
        Solid{side});
    FillUnits(
        img, [&](float x, float y) { return DiamondSdf(x, y, kBoardX, kBoardY, kBoardW, kBoardH); },
        [&](float x, float y) {
            float u, v;
            BoardUv(x, y, u, v);
            const int i = std::clamp(static_cast<int>(u * kTiles), 0, kTiles - 1);
            const int j = std::clamp(static_cast<int>(v * kTiles), 0, kTiles - 1);
            // A chequer reads as tiles even where joints would blur; the
            // light falls from the left as on the game's board.
            Rgba c = Scale(stone, ((i + j) % 2 ? 0.86f : 1.04f) * (1.06f - 0.14f * u));
            if (i == kBombI && j == kBombJ) c = Mix(c, warn, 0.8f);
            // Joints one pixel wide, fainter where they are close together.
            if (joints)
                c = Mix(Mix(c, joint, img.Width() >= 128 ? 1.0f : 0.6f), c,
                        SmoothStep(0.0f, unitsPerPixel, JointDistance(u, v) - 0.5f * unitsPerPixel));
            return c;
        });
}

void DrawBomb(Image& img, float x, float y, float unitsPerPixel)
{
    const Rgba body = Hex(0x1C1E22), shine = Hex(0x6A7078), spark = Hex(0xFFD34A);
    const float r = 17;
    FillUnits(
        img, [&](float px, float py) { return CircleSdf(px, py, x, y - r, r); },
        [&](float px, float py) { return Mix(shine, body, std::hypot(px - (x - 6), py - (y - r - 6)) / (r * 0.9f)); });
    if (img.Width() < 32) return;
    FillUnits(
        img,
        [&](float px, float py) {
            return SegmentSdf(px, py, x + 8, y - 2 * r + 4, x + 16, y - 2 * r - 6,
                              std::max(2.5f, unitsPerPixel * 0.6f));
        },
        Solid{Hex(0x7A5A34)});
    FillUnits(
        img,
        [&](float px, float py) { return CircleSdf(px, py, x + 17, y - 2 * r - 8, std::max(5.0f, unitsPerPixel)); },
        Solid{spark});
}

void DrawCoin(Image& img, float x, float y)
{
    const Rgba light = Hex(0xFFF0A8), deep = Hex(0xB07C1A), rim = Hex(0x6E4A0E);
    const float rx = 15, ry = 24;
    FillUnits(
        img, [&](float px, float py) { return EllipseSdf(px, py, x, y - ry, rx, ry); }, Solid{rim});
    FillUnits(
        img, [&](float px, float py) { return EllipseSdf(px, py, x - 1.5f, y - ry, rx - 4, ry - 4); },
        [&](float px, float py) { return Mix(light, deep, ((px - x) / rx + (py - y + ry) / ry + 1) * 0.5f); });
}

void DrawBall(Image& img, float x, float y, float r, float unitsPerPixel)
{
    const Rgba lit = Hex(0xF4F7F8), mid = Hex(0x9FB6C2), dark = Hex(0x2C3A44), outline = Hex(0x1A2328);
    // Its shadow on the board, toward the lower right.
    FillUnits(
        img, [&](float px, float py) { return EllipseSdf(px, py, x + 10, y + r * 0.8f, r * 0.95f, r * 0.42f); },
        Solid{Hex(0x000000, 0.35f)});
    // An outline one pixel wide at any size keeps the ball apart from the board.
    FillUnits(
        img, [&](float px, float py) { return CircleSdf(px, py, x, y, r + unitsPerPixel); }, Solid{outline});
    FillUnits(
        img, [&](float px, float py) { return CircleSdf(px, py, x, y, r); },
        [&](float px, float py) {
            const float d = std::hypot(px - (x - r * 0.35f), py - (y - r * 0.4f)) / (r * 1.45f);
            return d < 0.45f ? Mix(lit, mid, d / 0.45f) : Mix(mid, dark, (d - 0.45f) / 0.55f);
        });
    // The highlight.
    FillUnits(
        img, [&](float px, float py) { return EllipseSdf(px, py, x - r * 0.38f, y - r * 0.45f, r * 0.24f, r * 0.16f); },
        Solid{Hex(0xFFFFFF, 0.85f)});
}

// Hills along the horizon: heights in units above the base line.
float HillHeight(float x, bool far)
{
    if (far) return 46 + 14 * std::sin(x * 0.031f + 1.3f) + 7 * std::sin(x * 0.083f + 0.4f);
    return 30 + 26 * std::sin(x * 0.022f - 0.9f) + 6 * std::sin(x * 0.11f + 2.0f);
}

}  // namespace

const std::vector<int>& IconSizes()
{
    static const std::vector<int> sizes = {16, 32, 48, 64, 128, 256};
    return sizes;
}

Image MakeGameIcon(int size)
{
    Image img(size, size, Hex(0x8FB3A8, 0));
    const float upp = kUnits / size;  // units per pixel
    DrawBoard(img, upp);
    float x, y;
    TileCentre(0, kTiles - 1, x, y);
    DrawCoin(img, x + 4, y + 8);
    TileCentre(kBombI, kBombJ, x, y);
    DrawBomb(img, x - 2, y + 10, upp);
    TileCentre(1.5f, 1.5f, x, y);
    DrawBall(img, x, y - 28, 46, upp);
    return img;
}

Image MakeShowcaseIcon(int size)
{
    Image img(size, size, Hex(0x4A7FC9, 0));
    const float upp = kUnits / size;
    const float x0 = 10, y0 = 18, x1 = 246, y1 = 238, corner = 36;
    const float horizon = 150;
    const Rgba zenith = Hex(0x2A5CC7), haze = Hex(0xC9DDF2), sun = Hex(0xFFF3C8);
    const Rgba farHill = Hex(0x6F8FA0), grass = Hex(0x4E7A3A), rock = Hex(0x7C6A4E);
    const Rgba deep = Hex(0x173E6E), shallow = Hex(0x3C78A8), frame = Hex(0x1E2A38);
    // The frame, at least a pixel wide, then everything inside it.
    const float frameWidth = std::max(3.0f, upp);
    auto outer = [&](float x, float y) { return RoundBoxSdf(x, y, x0, y0, x1, y1, corner); };
    FillUnits(img, outer, Solid{frame});
    auto panel = [&](float x, float y) { return outer(x, y) + frameWidth; };
    // Coverage of "a < b" over one pixel, so edges drawn per pixel stay smooth.
    auto below = [&](float a, float b) { return Clamp01((b - a) / upp + 0.5f); };
    FillUnits(img, panel, [&](float x, float y) {
        if (y < horizon) {
            // Sky, the sun and its glow, the far and the near hills.
            Rgba c = Mix(zenith, haze, std::pow(Clamp01((y - y0) / (horizon - y0)), 1.6f));
            const float sd = std::hypot(x - 182, y - 66);
            c = Mix(c, sun, 0.6f * std::exp(-sd / 26.0f));
            c = Mix(c, sun, below(sd, 17));
            const float up = horizon - y;
            c = Mix(c, Mix(farHill, haze, 0.15f), below(up, HillHeight(x, true)));
            const Rgba land = Mix(rock, grass, SmoothStep(0.55f, 0.35f, up / 60));
            return Mix(c, land, below(up, HillHeight(x, false)));
        }
        // Water: the hills mirrored and darkened, deeper toward the front,
        // with ripples where there are pixels enough for them.
        const float depth = y - horizon;
        Rgba c = Mix(shallow, deep, depth / (y1 - horizon));
        c = Mix(c, Mix(c, farHill, 0.35f), below(depth, HillHeight(x, true) * 0.9f));
        c = Mix(c, Mix(c, grass, 0.45f), below(depth, HillHeight(x, false) * 0.9f));
        if (size >= 48) {
            const float ripple = std::sin(depth * 0.55f + std::sin(x * 0.05f) * 2.0f);
            c = Mix(c, haze, 0.25f * SmoothStep(0.85f, 1.0f, ripple) * SmoothStep(4, 8, depth));
        }
        // The bright line where the water meets the land.
        return Mix(c, haze, 0.5f * below(depth, upp));
    });
    return img;
}

std::vector<std::string> IconFileNames()
{
    std::vector<std::string> names;
    for (int n : IconSizes()) {
        const std::string dir = "icons/hicolor/" + std::to_string(n) + "x" + std::to_string(n) + "/apps/";
        names.push_back(dir + "kolvar.png");
        names.push_back(dir + "vorpex-showcase.png");
    }
    return names;
}

bool GenerateIcons(const std::string& root, std::string& error)
{
    namespace fs = std::filesystem;
    const std::vector<std::string> names = IconFileNames();
    std::size_t next = 0;
    for (int n : IconSizes()) {
        const fs::path dir = fs::path(root) / fs::path(names[next]).parent_path();
        std::error_code ec;
        fs::create_directories(dir, ec);
        if (ec) {
            error = "cannot create " + dir.string() + ": " + ec.message();
            return false;
        }
        const Image pictures[2] = {MakeGameIcon(n), MakeShowcaseIcon(n)};
        for (const Image& picture : pictures)
            if (!kmf::WriteFileBytes((fs::path(root) / names[next++]).string(), EncodePng(picture), error))
                return false;
    }
    return true;
}

}  // namespace media
