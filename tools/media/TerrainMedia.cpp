#include "media/TerrainMedia.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "kmf/KmfLevel.h"
#include "media/Image.h"
#include "media/TgaFile.h"

namespace media {
namespace {

constexpr float kTwoPi = 6.2831853f;
constexpr std::size_t kTableBytes = std::size_t(kTerrainSide) * kTerrainSide;

// Integer hash of a lattice point to [0, 1).
float Hash(std::uint32_t x, std::uint32_t y, std::uint32_t seed)
{
    std::uint32_t h = x * 374761393u + y * 668265263u + seed * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h >> 8) * (1.0f / 16777216.0f);
}

// Smooth value noise in [0, 1) on a lattice of cell-sized steps; the lattice
// wraps every period cells (0: never), so textures made from it tile.
float ValueNoise(float x, float y, float cell, int period, std::uint32_t seed)
{
    const float fx = x / cell, fy = y / cell;
    const int ix = (int)std::floor(fx), iy = (int)std::floor(fy);
    float u = fx - ix, v = fy - iy;
    u = u * u * (3 - 2 * u);
    v = v * v * (3 - 2 * v);
    auto at = [&](int i, int j) {
        if (period > 0) {
            i = ((i % period) + period) % period;
            j = ((j % period) + period) % period;
        }
        return Hash((std::uint32_t)i, (std::uint32_t)j, seed);
    };
    const float a = at(ix, iy), b = at(ix + 1, iy), c = at(ix, iy + 1), d = at(ix + 1, iy + 1);
    return (a + (b - a) * u) + ((c + (d - c) * u) - (a + (b - a) * u)) * v;
}

Rgba Rgb(float r, float g, float b)
{
    return Rgba{r, g, b, 1.0f};
}

// 128 x 128 detail textures, tileable.
constexpr int kDetailSide = 128;

Image MakeGrass()
{
    Image img(kDetailSide, kDetailSide);
    img.Map([](float x, float y, const Rgba&) {
        const float broad = ValueNoise(x, y, 16, kDetailSide / 16, 11);
        const float blades = ValueNoise(x, y, 2, kDetailSide / 2, 12);
        const float k = 0.7f + 0.35f * broad + 0.3f * (blades - 0.5f);
        return Scale(Rgb(0.24f, 0.56f, 0.16f), k);
    });
    return img;
}

Image MakeMud()
{
    Image img(kDetailSide, kDetailSide);
    img.Map([](float x, float y, const Rgba&) {
        const float blotch = ValueNoise(x, y, 32, kDetailSide / 32, 21);
        const float grit = ValueNoise(x, y, 4, kDetailSide / 4, 22);
        Rgba c = Mix(Rgb(0.45f, 0.31f, 0.17f), Rgb(0.28f, 0.19f, 0.11f), SmoothStep(0.45f, 0.7f, blotch));
        return Scale(c, 0.85f + 0.3f * grit);
    });
    return img;
}

Image MakeConcrete()
{
    Image img(kDetailSide, kDetailSide);
    img.Map([](float x, float y, const Rgba&) {
        const float grain = ValueNoise(x, y, 1, kDetailSide, 31);
        const float stain = ValueNoise(x, y, 32, kDetailSide / 32, 32);
        const int px = (int)x, py = (int)y;
        const bool seam = px % 64 == 0 || py % 64 == 0;
        const float k = (seam ? 0.55f : 1.0f) * (0.9f + 0.12f * grain - 0.1f * stain);
        return Scale(Rgb(0.66f, 0.66f, 0.64f), k);
    });
    return img;
}

Image MakeBricks()
{
    // Bricks 32 x 16 with 2-pixel mortar; every other row shifted by half a brick.
    Image img(kDetailSide, kDetailSide);
    img.Map([](float x, float y, const Rgba&) {
        const int px = (int)x, py = (int)y;
        const int row = py / 16;
        const int shifted = (px + (row % 2) * 16) % kDetailSide;
        const int column = shifted / 32;
        if (py % 16 < 2 || shifted % 32 < 2) return Rgb(0.74f, 0.71f, 0.64f);
        const float tint = Hash((std::uint32_t)column, (std::uint32_t)row, 41);
        const float grain = ValueNoise(x, y, 2, kDetailSide / 2, 42);
        return Scale(Rgb(0.63f, 0.24f, 0.16f), 0.8f + 0.3f * tint + 0.15f * (grain - 0.5f));
    });
    return img;
}

// Uncompressed 24-bit BMP, bottom row first as the format stores it.
std::vector<std::uint8_t> EncodeBmp(const Image& image)
{
    const int w = image.Width(), h = image.Height();
    const int rowBytes = (w * 3 + 3) & ~3;
    const std::uint32_t dataSize = (std::uint32_t)(rowBytes * h);
    std::vector<std::uint8_t> out(54 + dataSize, 0);
    auto put32 = [&out](std::size_t at, std::uint32_t v) {
        for (int k = 0; k < 4; ++k) out[at + k] = (std::uint8_t)(v >> (8 * k));
    };
    out[0] = 'B';
    out[1] = 'M';
    put32(2, 54 + dataSize);
    put32(10, 54);
    put32(14, 40);
    put32(18, (std::uint32_t)w);
    put32(22, (std::uint32_t)h);
    out[26] = 1;
    out[28] = 24;
    put32(34, dataSize);
    const std::vector<std::uint8_t> bgra = image.Bgra8();
    for (int y = 0; y < h; ++y) {
        std::uint8_t* dest = out.data() + 54 + (std::size_t)(h - 1 - y) * rowBytes;
        for (int x = 0; x < w; ++x)
            for (int k = 0; k < 3; ++k) dest[3 * x + k] = bgra[((std::size_t)y * w + x) * 4 + k];
    }
    return out;
}

// The height image: an uncompressed 8-bit grey Targa, top row first, whose
// pixel in column c, row r holds the height of table row c, column r. The
// engine's converter writes byte k from image column k / W, row k % W, so the
// height file comes out in table order.
std::vector<std::uint8_t> EncodeHeightImage(const std::vector<std::uint8_t>& heights)
{
    std::vector<std::uint8_t> out(18 + kTableBytes);
    out[2] = 3;  // uncompressed grey
    out[12] = kTerrainSide & 0xFF;
    out[13] = kTerrainSide >> 8;
    out[14] = kTerrainSide & 0xFF;
    out[15] = kTerrainSide >> 8;
    out[16] = 8;
    out[17] = 0x20;  // top-left origin
    std::uint8_t* pixels = out.data() + 18;
    const int block = 64;
    for (int z0 = 0; z0 < kTerrainSide; z0 += block)
        for (int x = 0; x < kTerrainSide; ++x)
            for (int z = z0; z < z0 + block; ++z)
                pixels[(std::size_t)x * kTerrainSide + z] = heights[(std::size_t)z * kTerrainSide + x];
    return out;
}

// The layers of the table's first 256 x 256 samples as the alpha map shows
// them (grass blue, mud green, concrete red, bricks in alpha), for viewing.
Image MakeAlphaMapImage(const std::vector<std::uint8_t>& layers)
{
    Image img(256, 256);
    for (int z = 0; z < 256; ++z)
        for (int x = 0; x < 256; ++x) {
            const std::uint8_t t = layers[(std::size_t)z * kTerrainSide + x];
            img.At(x, z) = Rgba{t == 2 ? 1.0f : 0.0f, t == 1 ? 1.0f : 0.0f, t == 0 ? 1.0f : 0.0f, t == 3 ? 1.0f : 0.0f};
        }
    return img;
}

}  // namespace

std::vector<std::string> TerrainMediaFileNames()
{
    return {"media/grass.bmp",    "media/mud.bmp",     "media/concrete.bmp",        "media/bricks01def.tga",
            "media/alphamap.tga", kTerrainHeightImage, "media/TerrData/terrtex.btd"};
}

std::vector<std::uint8_t> MakeTerrainHeights()
{
    // Separable waves as tables per column and per row.
    std::vector<float> sx(kTerrainSide), cz(kTerrainSide), s97x(kTerrainSide), c97x(kTerrainSide), s97z(kTerrainSide),
        c97z(kTerrainSide), bend(kTerrainSide);
    for (int i = 0; i < kTerrainSide; ++i) {
        sx[i] = std::sin(kTwoPi * i / 173.0f + 0.5f);
        cz[i] = std::cos(kTwoPi * i / 211.0f);
        s97x[i] = std::sin(kTwoPi * i / 97.0f);
        c97x[i] = std::cos(kTwoPi * i / 97.0f);
        s97z[i] = std::sin(kTwoPi * i / 97.0f + 1.3f);
        c97z[i] = std::cos(kTwoPi * i / 97.0f + 1.3f);
        bend[i] = 40.0f * std::sin(kTwoPi * i / 330.0f);
    }
    std::vector<std::uint8_t> heights(kTableBytes);
    for (int z = 0; z < kTerrainSide; ++z)
        for (int x = 0; x < kTerrainSide; ++x) {
            float h = 0.45f;
            h += 0.17f * sx[x] * cz[z];                            // broad hills
            h += 0.08f * (s97x[x] * c97z[z] + c97x[x] * s97z[z]);  // ridges across them
            h += 0.22f * (ValueNoise((float)x, (float)z, 48, 0, 7) - 0.5f);
            h += 0.06f * (ValueNoise((float)x, (float)z, 12, 0, 8) - 0.5f);
            // Winding valleys every 300 samples along x.
            float t = std::fmod(x + bend[z] + 3000.0f, 300.0f) / 300.0f;
            float d = std::fabs(t - 0.5f) * 300.0f;  // samples from the valley floor
            if (d < 30.0f) {
                const float k = 1.0f - d / 30.0f;
                h -= 0.25f * k * k;
            }
            // A round plain below the water every 512 samples.
            const float px = (float)(x % 512) - 200.0f, pz = (float)(z % 512) - 90.0f;
            const float r = std::sqrt(px * px + pz * pz);
            const float m = 1.0f - SmoothStep(40.0f, 60.0f, r);
            h = h + (0.08f - h) * m;
            h = std::min(std::max(h, 0.0f), 1.0f);
            heights[(std::size_t)z * kTerrainSide + x] = (std::uint8_t)std::lround(h * 255.0f);
        }
    return heights;
}

std::vector<std::uint8_t> MakeTerrainLayers(const std::vector<std::uint8_t>& heights)
{
    std::vector<std::uint8_t> layers(kTableBytes, 0);
    std::vector<float> pathBend(kTerrainSide);
    for (int z = 0; z < kTerrainSide; ++z) pathBend[z] = 18.0f * std::sin(z / 40.0f);
    const float unit = kTerrainHeightScale / 255.0f;  // world height of one byte
    auto H = [&heights](int x, int z) {
        x = std::min(std::max(x, 0), kTerrainSide - 1);
        z = std::min(std::max(z, 0), kTerrainSide - 1);
        return (float)heights[(std::size_t)z * kTerrainSide + x];
    };
    for (int z = 0; z < kTerrainSide; ++z)
        for (int x = 0; x < kTerrainSide; ++x) {
            std::uint8_t layer = 0;
            // Slope in world units per cell (cell size 1).
            const float gx = (H(x + 1, z) - H(x - 1, z)) * 0.5f * unit;
            const float gz = (H(x, z + 1) - H(x, z - 1)) * 0.5f * unit;
            const float slope = std::sqrt(gx * gx + gz * gz);
            // Hollow: lower than the ring of samples 6 away.
            const float around = (H(x - 6, z) + H(x + 6, z) + H(x, z - 6) + H(x, z + 6)) * 0.25f;
            // A few brick paths: winding ones running along z every 256 columns,
            // straight ones along x every 384 rows.
            const float pathX = std::fmod(x + pathBend[z] + 4096.0f, 256.0f);
            const bool path = std::fabs(pathX - 128.0f) < 1.6f || std::abs(z % 384 - 192) < 2;
            if (path)
                layer = 3;
            else if (slope > 1.1f)
                layer = 2;
            else if (around - H(x, z) > 2.5f)
                layer = 1;
            layers[(std::size_t)z * kTerrainSide + x] = layer;
        }
    return layers;
}

bool GenerateTerrainMedia(const std::string& root, std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path base(root);
    std::error_code ec;
    fs::create_directories(base / "media" / "TerrData", ec);
    if (ec) {
        error = "cannot create " + (base / "media" / "TerrData").string() + ": " + ec.message();
        return false;
    }
    auto write = [&](const std::string& rel, const std::vector<std::uint8_t>& bytes) {
        return kmf::WriteFileBytes((base / rel).string(), bytes, error);
    };
    if (!write("media/grass.bmp", EncodeBmp(MakeGrass())) || !write("media/mud.bmp", EncodeBmp(MakeMud())) ||
        !write("media/concrete.bmp", EncodeBmp(MakeConcrete())) ||
        !write("media/bricks01def.tga", EncodeTga(MakeBricks())))
        return false;
    const std::vector<std::uint8_t> heights = MakeTerrainHeights();
    const std::vector<std::uint8_t> layers = MakeTerrainLayers(heights);
    return write("media/alphamap.tga", EncodeTga(MakeAlphaMapImage(layers))) &&
           write(kTerrainHeightImage, EncodeHeightImage(heights)) && write("media/TerrData/terrtex.btd", layers);
}

}  // namespace media
