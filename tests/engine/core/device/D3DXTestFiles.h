// Files the D3DX tests read: images written byte by byte, .X meshes as
// text, effect texts; all in a scratch folder of the test's working directory.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <sys/stat.h>
#include <vector>

namespace d3dxtest {

inline std::string ScratchPath(const std::string& name)
{
    ::mkdir("d3dx_scratch", 0755);
    return "d3dx_scratch/" + name;
}

inline bool WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes)
{
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    return std::fclose(f) == 0 && ok;
}

inline bool WriteText(const std::string& path, const std::string& text)
{
    return WriteBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

inline std::vector<uint8_t> ReadBytes(const std::string& path)
{
    std::vector<uint8_t> out;
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return out;
    int c;
    while ((c = std::fgetc(f)) != EOF) out.push_back(uint8_t(c));
    std::fclose(f);
    return out;
}

// An uncompressed 32-bit TGA, top row first (descriptor bit 5), from ARGB pixels.
inline std::vector<uint8_t> Tga32(int w, int h, const std::vector<uint32_t>& argb)
{
    std::vector<uint8_t> b = {
        0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0, uint8_t(w), uint8_t(w >> 8), uint8_t(h), uint8_t(h >> 8), 32, 0x28};
    for (uint32_t c : argb) {
        b.push_back(uint8_t(c));
        b.push_back(uint8_t(c >> 8));
        b.push_back(uint8_t(c >> 16));
        b.push_back(uint8_t(c >> 24));
    }
    return b;
}

// An uncompressed 24-bit BMP (rows bottom first, padded to 4 bytes).
inline std::vector<uint8_t> Bmp24(int w, int h, const std::vector<uint32_t>& argb)
{
    int pitch = (w * 3 + 3) & ~3;
    uint32_t size = 54 + uint32_t(pitch * h);
    auto u32 = [](std::vector<uint8_t>& v, uint32_t x) {
        for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
    };
    std::vector<uint8_t> b = {'B', 'M'};
    u32(b, size);
    u32(b, 0);
    u32(b, 54);
    u32(b, 40);
    u32(b, uint32_t(w));
    u32(b, uint32_t(h));
    b.push_back(1);
    b.push_back(0);
    b.push_back(24);
    b.push_back(0);
    u32(b, 0);
    u32(b, uint32_t(pitch * h));
    u32(b, 2835);
    u32(b, 2835);
    u32(b, 0);
    u32(b, 0);
    for (int y = h - 1; y >= 0; --y) {
        for (int x = 0; x < w; ++x) {
            uint32_t c = argb[size_t(y) * w + x];
            b.push_back(uint8_t(c));
            b.push_back(uint8_t(c >> 8));
            b.push_back(uint8_t(c >> 16));
        }
        for (int p = w * 3; p < pitch; ++p) b.push_back(0);
    }
    return b;
}

// Four coloured quadrants: red top left, green top right, blue bottom left,
// white bottom right.
inline std::vector<uint32_t> Quadrants(int w, int h)
{
    std::vector<uint32_t> p(size_t(w) * h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            p[size_t(y) * w + x] =
                y < h / 2 ? (x < w / 2 ? 0xFFFF0000u : 0xFF00FF00u) : (x < w / 2 ? 0xFF0000FFu : 0xFFFFFFFFu);
    return p;
}

// A cube of side 2 about (0, 0, 5) in a frame moved by (0, 0, 5): six quads,
// faces 0, 2, 4 of material "Red" (textured "red.tga"), faces 1, 3, 5 of an
// inline blue material without a texture.
inline const char* kTwoMaterialCube = R"(xof 0303txt 0032

Material Red {
 1.000000;0.000000;0.000000;1.000000;;
 8.000000;
 0.250000;0.250000;0.250000;;
 0.000000;0.000000;0.000000;;
 TextureFilename { "red.tga"; }
}

Frame Box {
 FrameTransformMatrix {
  1.0,0.0,0.0,0.0, 0.0,1.0,0.0,0.0, 0.0,0.0,1.0,0.0, 0.0,0.0,5.0,1.0;;
 }
 Mesh Cube {
  8;
  -1.0;-1.0;-1.0;, -1.0;1.0;-1.0;, 1.0;1.0;-1.0;, 1.0;-1.0;-1.0;,
  -1.0;-1.0;1.0;, -1.0;1.0;1.0;, 1.0;1.0;1.0;, 1.0;-1.0;1.0;;
  6;
  4;0,1,2,3;,
  4;7,6,5,4;,
  4;4,5,1,0;,
  4;3,2,6,7;,
  4;1,5,6,2;,
  4;4,0,3,7;;
  MeshMaterialList {
   2;
   6;
   0,1,0,1,0,1;;
   { Red }
   Material {
    0.0;0.0;1.0;1.0;;
    4.0;
    0.0;0.0;0.0;;
    0.0;0.0;0.0;;
   }
  }
  MeshTextureCoords {
   8;
   0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 1.0;1.0;, 0.0;1.0;, 0.0;0.0;, 1.0;0.0;, 0.25;0.75;;
  }
 }
}
)";

}  // namespace d3dxtest
