// The level file format. Little-endian, no header:
//
//   offset        size      content
//   0             8100      2025 grid fields of 4 bytes, cellX major:
//                           byte 0 is the tile, bytes 1-3 repeat the tiles of
//                           the next three cells (0 past the end)
//   8100          4         N, the coin count (signed)
//   8104          16 * N    coins: byte 0 active, 3 zero bytes, x y z floats
//   8104 + 16N    12        goal x y z
//   8116 + 16N    12        start x y z
//
// 8128 + 16N bytes in all.
#pragma once

#include "Level.h"

#include <cstddef>
#include <string>
#include <vector>

constexpr std::size_t kLevelFileBaseSize = 8128;
constexpr std::size_t kLevelFileMaxSize = kLevelFileBaseSize + 16 * kMaxCoins;

// One level as read from or written to a file.
struct LevelData {
    unsigned char grid[kGridCells];
    int coinCount;
    Coin coins[kMaxCoins];
    D3DXVECTOR3 goal;
    D3DXVECTOR3 start;
};

// Reads a whole file image. False, with the reason in why, for a file shorter
// than its coin count needs, a count outside 0 ... kMaxCoins, or a start,
// goal or active coin outside the level extent (InsideLevelExtent: NaN and
// infinities included); out may then be partly written. Bytes past the end
// of the level are ignored, and so are the positions of inactive coins.
bool DecodeLevel(const unsigned char* bytes, std::size_t size, LevelData& out, std::string& why);
// The file image of a level: coinCount clamped to 0 ... kMaxCoins.
std::vector<unsigned char> EncodeLevel(const unsigned char* grid, int coinCount, const Coin* coins,
                                       const D3DXVECTOR3& goal, const D3DXVECTOR3& start);
