#include "media/GuiMedia.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "kmf/KmfLevel.h"
#include "media/TgaFile.h"

namespace media {
namespace {

constexpr float kPi = 3.14159265358979f;

struct Entry {
    const char* name;
    Image (*make)();
};

// Borders share one texture file per widget so each can be reskinned alone.
const Entry kSkin[] = {
    {"button_up.tga", MakeButtonUp},         {"button_down.tga", MakeButtonDown},
    {"button_third.tga", MakeButtonThird},   {"textbox_back.tga", MakeTextboxBack},
    {"textbox_border.tga", MakeFrameBorder}, {"listbox_back.tga", MakeListboxBack},
    {"listbox_border.tga", MakeFrameBorder}, {"listbox_scroll.tga", MakeListboxScroll},
    {"window_back.tga", MakeWindowBack},     {"window_border.tga", MakeFrameBorder},
};

const char kFolder[] = "media/gui/";
const unsigned kOutline = 0x3A4450;  // frame strips and the atlas outlines

// A bevelled face: a vertical gradient from top to bottom colour, a light
// edge along the top and left and a dark one along the bottom and right
// (swapped when pressed), one dark outline pixel all round.
Image Bevel(int w, int h, Rgba top, Rgba bottom, bool pressed)
{
    Image img(w, h);
    const Rgba light = Hex(0xF4F7FB), dark = Hex(0x4A5462), outline = Hex(kOutline);
    img.Map([&](float px, float py, Rgba) {
        const int x = static_cast<int>(px), y = static_cast<int>(py);
        if (x == 0 || y == 0 || x == w - 1 || y == h - 1) return outline;
        const Rgba c = Mix(top, bottom, (py - 1.0f) / (h - 2.0f));
        // Two pixels of edge inside the outline; corners go to the nearer side.
        const int toTopLeft = std::min(x, y), toBottomRight = std::min(w - 1 - x, h - 1 - y);
        if (toTopLeft <= 2 && toTopLeft <= toBottomRight) return Mix(c, pressed ? dark : light, 0.55f);
        if (toBottomRight <= 2) return Mix(c, pressed ? light : dark, 0.55f);
        return c;
    });
    return img;
}

// A filled triangle pointing up (or down) centred in a size x size square.
void Arrow(Image& img, int ox, int oy, int size, bool pointsUp, Rgba colour)
{
    const float cx = ox + size / 2.0f, cy = oy + size / 2.0f, half = size * 0.22f;
    const float tip = pointsUp ? cy - half : cy + half, base = pointsUp ? cy + half * 0.8f : cy - half * 0.8f;
    img.Fill(
        [&](float px, float py) {
            if (px < ox || px >= ox + size || py < oy || py >= oy + size) return 1e9f;
            // Inside when between tip and base and within the widening sides.
            const float t = (py - tip) / (base - tip);  // 0 at the tip, 1 at the base
            const float side = std::fabs(px - cx) - t * half * 1.1f;
            const float along = std::max(-t, t - 1.0f) * std::fabs(base - tip);
            return std::max(side, along);
        },
        [&](float, float) { return colour; });
}

// Copies src into img with its top-left corner at (ox, oy).
void Blit(Image& img, const Image& src, int ox, int oy)
{
    for (int y = 0; y < src.Height(); ++y)
        for (int x = 0; x < src.Width(); ++x) img.At(ox + x, oy + y) = src.At(x, y);
}

}  // namespace

std::vector<std::string> GuiMediaFileNames()
{
    std::vector<std::string> names;
    for (const Entry& e : kSkin) names.push_back(std::string(kFolder) + e.name);
    return names;
}

bool GenerateGuiMedia(const std::string& root, std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(root) / "media" / "gui";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    for (const Entry& e : kSkin)
        if (!kmf::WriteFileBytes((folder / e.name).string(), EncodeTga(e.make()), error)) return false;
    return true;
}

Image MakeButtonUp()
{
    return Bevel(128, 32, Hex(0xDCE6F2), Hex(0x9DB2CC), false);
}

Image MakeButtonDown()
{
    return Bevel(128, 32, Hex(0x7F95B0), Hex(0xA9BBD1), true);
}

Image MakeButtonThird()
{
    Image img(128, 32, Hex(0xB8BCC2));
    const Rgba outline = Hex(0x8A9098);
    img.Map([&](float px, float py, Rgba c) {
        const int x = static_cast<int>(px), y = static_cast<int>(py);
        return x == 0 || y == 0 || x == 127 || y == 31 ? outline : c;
    });
    return img;
}

Image MakeTextboxBack()
{
    Image img(32, 32, Hex(0xFBFCFD));
    const Rgba shade = Hex(0xDDE2E8);
    img.Map([&](float, float py, Rgba c) { return Mix(shade, c, SmoothStep(0.0f, 6.0f, py)); });
    return img;
}

Image MakeListboxBack()
{
    return Image(32, 32, Hex(0xF6F8FA));
}

Image MakeFrameBorder()
{
    return Image(8, 8, Hex(kOutline));
}

Image MakeListboxScroll()
{
    Image img(64, 64);
    const Rgba arrow = Hex(0x27303B);
    Image up = Bevel(32, 32, Hex(0xDCE6F2), Hex(0xA9BBD1), false);
    Arrow(up, 0, 0, 32, true, arrow);
    Image down = Bevel(32, 32, Hex(0xDCE6F2), Hex(0xA9BBD1), false);
    Arrow(down, 0, 0, 32, false, arrow);
    // The track: a groove, darker at its sides, outlined like the rest.
    Image track(32, 32);
    const Rgba groove = Hex(0xC9D2DC), side = Hex(0xA7B2BF), outline = Hex(kOutline);
    track.Map([&](float px, float py, Rgba) {
        const int x = static_cast<int>(px), y = static_cast<int>(py);
        if (x == 0 || y == 0 || x == 31 || y == 31) return outline;
        return Mix(groove, side, std::fabs(px - 16.0f) / 15.0f);
    });
    // The thumb: a raised knob with three grip lines.
    Image thumb = Bevel(32, 32, Hex(0x8FB0D8), Hex(0x5F84B5), false);
    const Rgba grip = Hex(0x34506F);
    for (int i = -1; i <= 1; ++i) {
        const float gy = 16.0f + 5.0f * i;
        thumb.Fill([&](float px, float py) { return SegmentSdf(px, py, 10.0f, gy, 22.0f, gy, 0.8f); },
                   [&](float, float) { return grip; });
    }
    Blit(img, up, 0, 0);
    Blit(img, down, 0, 32);
    Blit(img, track, 32, 0);
    Blit(img, thumb, 32, 32);
    return img;
}

Image MakeWindowBack()
{
    // Two crossed waves whose periods divide the tile, so it repeats without seams.
    Image img(64, 64);
    const Rgba a = Hex(0xE3E8EE), b = Hex(0xD3DAE3);
    img.Map([&](float px, float py, Rgba) {
        const float u = std::sin(2.0f * kPi * (px + py) / 16.0f), v = std::sin(2.0f * kPi * (px - py) / 16.0f);
        return Mix(a, b, 0.5f + 0.25f * (u * v));
    });
    return img;
}

}  // namespace media
