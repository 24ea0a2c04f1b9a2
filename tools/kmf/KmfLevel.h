// A level as the game stores it: the 45 x 45 tile grid, the coin list, the
// goal and the start point, with the reader and writer of the level file.
//
// Level file layout (little-endian, no header), N = coin count:
//
//   offset        size   content
//   0             8100   2025 grid fields of 4 bytes, cellX major, cellZ minor;
//                        byte 0 is the tile, bytes 1..3 repeat cells k+1..k+3
//   8100          4      N, signed 32-bit
//   8104          16*N   coins: byte 0 active, 3 zero bytes, x y z floats
//   8104 + 16N    12     goal x y z
//   8116 + 16N    12     start x y z
//
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace kmf {

constexpr int kGridSize = 45;                        // tiles per side
constexpr int kCellCount = kGridSize * kGridSize;    // 2025
constexpr int kCoinTableSize = 150;                  // coin records the game holds
constexpr float kTileSize = 2.0f;                    // world units per tile
constexpr float kBoardSize = kGridSize * kTileSize;  // 90
constexpr std::size_t kGridBytes = kCellCount * 4;   // 8100
constexpr std::size_t kCoinRecordBytes = 16;
constexpr std::size_t kEmptyFileBytes = kGridBytes + 4 + 24;  // 8128: a level without coins

constexpr std::uint8_t kTileSafe = 0;
constexpr std::uint8_t kTileBomb = 1;  // the only deadly value; 2..255 look like bombs but never kill

struct Vec3 {
    float x = 0, y = 0, z = 0;
};

struct KmfCoin {
    std::uint8_t active = 1;  // non-zero: present and collectable
    Vec3 position;
};

// Cell and world helpers shared by the compiler, the checker and the tests.
inline int CellIndex(int cellX, int cellZ)
{
    return cellX * kGridSize + cellZ;
}
inline float CellCentre(int cell)
{
    return cell * kTileSize + 1.0f;
}

struct KmfLevel {
    std::array<std::uint8_t, kCellCount> grid{};  // indexed by CellIndex(cellX, cellZ)
    std::vector<KmfCoin> coins;
    Vec3 goal;
    Vec3 start;

    std::uint8_t Tile(int cellX, int cellZ) const { return grid[CellIndex(cellX, cellZ)]; }
    void SetTile(int cellX, int cellZ, std::uint8_t value) { grid[CellIndex(cellX, cellZ)] = value; }
};

// What a reader made of a file's bytes. The level holds whatever could be
// read, the way the game reads it (values past a short end stay zero).
struct KmfParse {
    KmfLevel level;
    std::int32_t storedCount = 0;  // N as stored, before any check
    std::size_t fileSize = 0;
    std::vector<std::string> problems;  // empty when the file is well formed
    bool complete = false;              // grid, coins, goal and start were all read from the right places
    bool WellFormed() const { return problems.empty(); }
};

// Parses a level file held in memory. Never reads out of bounds; every
// departure from the layout above (size, count, non-finite floats, a start
// off the board) is listed in problems.
KmfParse ParseKmf(const std::vector<std::uint8_t>& bytes);

// The bytes the game's writer produces for a level (coins written as they stand).
std::vector<std::uint8_t> SerializeKmf(const KmfLevel& level);

// Whole-file helpers. They return false and fill error on failure.
bool ReadFileBytes(const std::string& path, std::vector<std::uint8_t>& bytes, std::string& error);
bool WriteFileBytes(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string& error);

}  // namespace kmf
