// Level load, save, restart, clear and editing.
#include "Level.h"

#include "GameRules.h"
#include "LevelFile.h"
#include "Physics.h"

#include <Win32File.h>

#include <cstdio>
#include <cstring>
#include <memory>

// The level in memory.
unsigned char levelGrid[kGridCells];
Coin coins[kMaxCoins];
int coinCount = 0;
D3DXVECTOR3 goalPosition(0, 0, 0);
D3DXVECTOR3 startPosition(0, 0, 0);

namespace {

void Commit(const LevelData& level) {
    std::memcpy(levelGrid, level.grid, sizeof(levelGrid));
    coinCount = level.coinCount;
    for (int i = 0; i < level.coinCount; ++i) coins[i] = level.coins[i];
    goalPosition = level.goal;
    startPosition = level.start;
}

void ResetClock() {
    elapsedSeconds = 0;
    levelStartTick = GetTickCount();
}

}  // namespace

std::string LevelFileName(int level) {
    char name[64];
    std::snprintf(name, sizeof(name), "kMedia\\kMaps\\level%d.kmf", level);
    return name;
}

long LoadLevel(const char* name) {
    DestroySpinners();
    // Bytes past the coin table are ignored, so a longer file still loads;
    // one past a megabyte is no level file.
    std::vector<unsigned char> bytes;
    Win32ReadResult read = Win32_ReadWholeFile(name, std::size_t(1) << 20, bytes);
    if (read == WIN32_READ_MISSING) return E_FAIL;

    // Decoded into a spare level first: the current one changes only when
    // the whole file is good.
    auto level = std::make_unique<LevelData>();
    std::string why = read == WIN32_READ_TOO_LARGE ? "over 1 MB, no level file" : "read error";
    if (read != WIN32_READ_OK || !DecodeLevel(bytes.data(), bytes.size(), *level, why)) {
        std::fprintf(stderr, "level: %s not loaded: %s\n", name, why.c_str());
        return E_FAIL;
    }
    Commit(*level);
    RestartLevel();
    return S_OK;
}

long SaveLevel(const char* name) {
    if (!name || !*name) return E_FAIL;
    std::vector<unsigned char> bytes = EncodeLevel(levelGrid, coinCount, coins, goalPosition, startPosition);
    std::string temp = std::string(name) + ".tmp";
    FILE* f = Win32_OpenFile(temp.c_str(), "wb");
    if (!f) return E_FAIL;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = std::fflush(f) == 0 && written;
    written = std::fclose(f) == 0 && written;
    if (!written || !Win32_ReplaceFile(temp.c_str(), name)) {
        Win32_DeleteFile(temp.c_str());
        return E_FAIL;
    }
    return S_OK;
}

void RestartLevel() {
    blastPending = false;
    levelScore = 0;
    coinScore = 0;
    coinsCollected = 0;
    PlaceBall(startPosition);
    ResetClock();
}

void ClearLevel() {
    DestroySpinners();
    blastPending = false;
    coinsCollected = 0;
    PlaceBall(startPosition);
    ResetClock();
    FillGrid(1);
    coinCount = 0;
    startPosition = D3DXVECTOR3(0, 0, 0);
    goalPosition = D3DXVECTOR3(0, 0, 0);
}

int CellOf(float worldCoordinate) {
    const float cell = worldCoordinate * 0.5f;
    if (!(cell > -static_cast<float>(kCellLimit))) return -kCellLimit;   // NaN too
    if (cell >= static_cast<float>(kCellLimit)) return kCellLimit;
    return static_cast<int>(cell);
}

unsigned char CellValue(int cellX, int cellZ) {
    if (cellX < 0 || cellX >= kGridSize || cellZ < 0 || cellZ >= kGridSize) return 0;
    return levelGrid[cellX * kGridSize + cellZ];
}

void SetCell(int cellX, int cellZ, unsigned char value) {
    if (cellX < 0 || cellX >= kGridSize || cellZ < 0 || cellZ >= kGridSize) return;
    levelGrid[cellX * kGridSize + cellZ] = value;
}

void FillGrid(unsigned char value) { std::memset(levelGrid, value, sizeof(levelGrid)); }

void AddCoin() {
    if (coinCount < 0 || coinCount >= kMaxCoins) return;
    Coin& coin = coins[coinCount];
    coin.active = 1;
    std::memset(coin.unused, 0, sizeof(coin.unused));
    coin.position = editorCursor;
    coinCount++;
}

void SetGoal() { goalPosition = D3DXVECTOR3(editorCursor.x, 0, editorCursor.z); }

void SetStart() { startPosition = D3DXVECTOR3(editorCursor.x, 5.0f, editorCursor.z); }
