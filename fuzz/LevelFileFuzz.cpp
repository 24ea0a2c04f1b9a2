// The game's level decoder: any bytes are either refused or give a level the
// game can play and save. A decoded level has 0 ... 150 coins, holds the tile
// bytes of the file, has its start, goal and active coins at finite points
// inside the level extent, and saving it and decoding the saved file gives
// the same level again.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "LevelFile.h"

namespace {

bool SameBits(const D3DXVECTOR3& a, const D3DXVECTOR3& b)
{
    return std::memcmp(&a.x, &b.x, 4) == 0 && std::memcmp(&a.y, &b.y, 4) == 0 && std::memcmp(&a.z, &b.z, 4) == 0;
}

// The state a player sees: tiles, coin count, each coin's flag and place,
// goal and start (floats compared bit for bit, so NaNs must survive too).
bool SameLevel(const LevelData& a, const LevelData& b)
{
    if (std::memcmp(a.grid, b.grid, sizeof a.grid) != 0 || a.coinCount != b.coinCount) return false;
    for (int i = 0; i < a.coinCount; ++i)
        if (a.coins[i].active != b.coins[i].active || !SameBits(a.coins[i].position, b.coins[i].position)) return false;
    return SameBits(a.goal, b.goal) && SameBits(a.start, b.start);
}

// Checked apart from the decoder's own test: finite, and inside the extent.
bool Playable(const D3DXVECTOR3& p)
{
    for (float v : {p.x, p.y, p.z})
        if (!std::isfinite(v) || v < kLevelExtentMin || v > kLevelExtentMax) return false;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    auto level = std::make_unique<LevelData>();
    std::string why;
    if (!DecodeLevel(data, size, *level, why)) {
        if (why.empty()) std::abort();  // a refusal always says why
        return 0;
    }
    if (level->coinCount < 0 || level->coinCount > kMaxCoins) std::abort();
    if (size < kLevelFileBaseSize + 16 * static_cast<std::size_t>(level->coinCount)) std::abort();
    for (int k = 0; k < kGridCells; ++k)
        if (level->grid[k] != data[4 * k]) std::abort();
    if (!Playable(level->start) || !Playable(level->goal)) std::abort();
    for (int i = 0; i < level->coinCount; ++i)
        if (level->coins[i].active && !Playable(level->coins[i].position)) std::abort();

    std::vector<unsigned char> saved =
        EncodeLevel(level->grid, level->coinCount, level->coins, level->goal, level->start);
    if (saved.size() != kLevelFileBaseSize + 16 * static_cast<std::size_t>(level->coinCount)) std::abort();
    auto again = std::make_unique<LevelData>();
    if (!DecodeLevel(saved.data(), saved.size(), *again, why)) std::abort();
    if (!SameLevel(*level, *again)) std::abort();
    // Saving is a fixed point: the saved file saves to the same bytes.
    if (EncodeLevel(again->grid, again->coinCount, again->coins, again->goal, again->start) != saved) std::abort();
    return 0;
}
