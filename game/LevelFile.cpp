// Level file images: decoding with bounds checks, encoding byte for byte.
#include "LevelFile.h"

#include <cstdint>
#include <cstdio>
#include <cstring>

namespace {

constexpr std::size_t kGridBytes = 4 * kGridCells;  // 8100
constexpr std::size_t kCoinBytes = 16;

int32_t ReadInt(const unsigned char* p)
{
    uint32_t u = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    int32_t v;
    std::memcpy(&v, &u, 4);
    return v;
}

float ReadFloat(const unsigned char* p)
{
    int32_t bits = ReadInt(p);
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

D3DXVECTOR3 ReadVector(const unsigned char* p)
{
    return D3DXVECTOR3(ReadFloat(p), ReadFloat(p + 4), ReadFloat(p + 8));
}

std::string Describe(const char* what, const D3DXVECTOR3& p)
{
    char text[160];
    std::snprintf(text, sizeof(text), "%s (%g, %g, %g) lies outside %g ... %g", what, double(p.x), double(p.y),
                  double(p.z), double(kLevelExtentMin), double(kLevelExtentMax));
    return text;
}

void WriteInt(std::vector<unsigned char>& out, int32_t v)
{
    uint32_t u;
    std::memcpy(&u, &v, 4);
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<unsigned char>(u >> (8 * i)));
}

void WriteFloat(std::vector<unsigned char>& out, float f)
{
    int32_t bits;
    std::memcpy(&bits, &f, 4);
    WriteInt(out, bits);
}

void WriteVector(std::vector<unsigned char>& out, const D3DXVECTOR3& v)
{
    WriteFloat(out, v.x);
    WriteFloat(out, v.y);
    WriteFloat(out, v.z);
}

}  // namespace

bool DecodeLevel(const unsigned char* bytes, std::size_t size, LevelData& out, std::string& why)
{
    if (!bytes || size < kGridBytes + 4) {
        why = "file of " + std::to_string(size) + " bytes ends before the coin count";
        return false;
    }
    for (int k = 0; k < kGridCells; ++k) out.grid[k] = bytes[4 * k];

    int32_t n = ReadInt(bytes + kGridBytes);
    if (n < 0 || n > kMaxCoins) {
        why = "coin count " + std::to_string(n) + " outside 0 ... " + std::to_string(kMaxCoins);
        return false;
    }
    std::size_t need = kLevelFileBaseSize + kCoinBytes * static_cast<std::size_t>(n);
    if (size < need) {
        why = "file of " + std::to_string(size) + " bytes is shorter than the " + std::to_string(need) + " its " +
              std::to_string(n) + " coins need";
        return false;
    }
    out.coinCount = n;
    const unsigned char* p = bytes + kGridBytes + 4;
    for (int i = 0; i < n; ++i, p += kCoinBytes) {
        std::memcpy(&out.coins[i].active, p, 4);  // active and the three spare bytes, as stored
        out.coins[i].position = ReadVector(p + 4);
    }
    out.goal = ReadVector(p);
    out.start = ReadVector(p + 12);

    // A level the ball can play: every point it meets is a finite place near the board.
    if (!InsideLevelExtent(out.start)) {
        why = Describe("start", out.start);
        return false;
    }
    if (!InsideLevelExtent(out.goal)) {
        why = Describe("goal", out.goal);
        return false;
    }
    for (int i = 0; i < n; ++i)
        if (out.coins[i].active && !InsideLevelExtent(out.coins[i].position)) {
            why = Describe(("coin " + std::to_string(i)).c_str(), out.coins[i].position);
            return false;
        }
    return true;
}

std::vector<unsigned char> EncodeLevel(const unsigned char* grid, int coinCount, const Coin* coins,
                                       const D3DXVECTOR3& goal, const D3DXVECTOR3& start)
{
    int n = coinCount < 0 ? 0 : (coinCount > kMaxCoins ? kMaxCoins : coinCount);
    std::vector<unsigned char> out;
    out.reserve(kLevelFileBaseSize + kCoinBytes * n);
    // Bytes 1-3 of each grid field carry the next three cells' tiles.
    for (int k = 0; k < kGridCells; ++k)
        for (int j = 0; j < 4; ++j) out.push_back(k + j < kGridCells ? grid[k + j] : 0);
    WriteInt(out, n);
    for (int i = 0; i < n; ++i) {
        out.push_back(coins[i].active);
        out.insert(out.end(), 3, 0);
        WriteVector(out, coins[i].position);
    }
    WriteVector(out, goal);
    WriteVector(out, start);
    return out;
}
