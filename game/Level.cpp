// Level load, save, restart, clear and editing.
#include "Level.h"

#include "GameRules.h"
#include "LevelFile.h"
#include "Records.h"
#include "Physics.h"

#include <Win32File.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <memory>

// The level in memory.
unsigned char levelGrid[kGridCells];
Coin coins[kMaxCoins];
bool coinTaken[kMaxCoins];
int coinCount = 0;
D3DXVECTOR3 goalPosition(0, 0, 0);
D3DXVECTOR3 startPosition(0, 0, 0);
bool levelLoaded = false;
std::uint32_t levelChecksum = 0;
bool levelEdited = false;

namespace {

// The level as last loaded from a file, for RestartLoadedLevel.
std::unique_ptr<LevelData> loadedLevel;

// A failed load or save: a line on standard error naming the file, and the
// game's message box saying what and why (headless, the box is printed too).
void Report(const char* what, const char* name, const std::string& why)
{
    std::fprintf(stderr, "level: %s: %s\n", name, why.c_str());
    const std::string text = std::string(what) + "\n" + name + ": " + why;
    MessageBoxA(NULL, text.c_str(), "Error!", MB_OK);
}

std::string ErrnoText(const char* doing, int error)
{
    return std::string(doing) + ": " + (error ? std::strerror(error) : "unknown error");
}

void Commit(const LevelData& level)
{
    std::memcpy(levelGrid, level.grid, sizeof(levelGrid));
    coinCount = level.coinCount;
    for (int i = 0; i < level.coinCount; ++i) coins[i] = level.coins[i];
    std::memset(coinTaken, 0, sizeof(coinTaken));
    goalPosition = level.goal;
    startPosition = level.start;
}

void ResetClock()
{
    elapsedSeconds = 0;
    levelStartTick = GetTickCount();
}

}  // namespace

std::string LevelFileName(int level)
{
    char name[64];
    std::snprintf(name, sizeof(name), "kMedia\\kMaps\\level%d.kmf", level);
    return name;
}

long LoadLevel(const char* name)
{
    DestroySpinners();
    if (!name) name = "";
    // Bytes past the coin table are ignored, so a longer file still loads;
    // one past a megabyte is no level file.
    std::vector<unsigned char> bytes;
    int error = 0;
    Win32ReadResult read = Win32_ReadWholeFile(name, std::size_t(1) << 20, bytes, &error);

    // Decoded into a spare level first: the current one changes only when
    // the whole file is good.
    auto level = std::make_unique<LevelData>();
    std::string why = read == WIN32_READ_MISSING     ? "file not found"
                      : read == WIN32_READ_TOO_LARGE ? "over 1 MB, no level file"
                      : read == WIN32_READ_REFUSED   ? ErrnoText("cannot open the file", error)
                                                     : ErrnoText("read error", error);
    if (read != WIN32_READ_OK || !DecodeLevel(bytes.data(), bytes.size(), *level, why)) {
        Report("Error loading level!", name, why);
        return E_FAIL;
    }
    Commit(*level);
    loadedLevel = std::move(level);
    levelLoaded = true;
    levelChecksum = LevelChecksum(bytes.data(), bytes.size());
    levelEdited = true;  // until the loader of a numbered level says otherwise
    RestartLevel();
    return S_OK;
}

long SaveLevel(const char* name)
{
    if (!name || !*name) {
        Report("Error saving level!", "", "no file name");
        return E_FAIL;
    }
    // The level as designed: a coin the ball has picked up since it was
    // placed or loaded is saved active, or the file could never be finished.
    // Every other record is saved as it stands, so a file's own inactive
    // coins stay as the file had them.
    Coin designed[kMaxCoins];
    const int count = coinCount < 0 ? 0 : (coinCount > kMaxCoins ? kMaxCoins : coinCount);
    for (int i = 0; i < count; ++i) {
        designed[i] = coins[i];
        if (coinTaken[i]) designed[i].active = 1;
    }
    std::vector<unsigned char> bytes = EncodeLevel(levelGrid, count, designed, goalPosition, startPosition);
    std::string temp = std::string(name) + ".tmp";
    errno = 0;
    FILE* f = Win32_OpenFile(temp.c_str(), "wb");
    if (!f) {
        Report("Error saving level!", name, ErrnoText("cannot create the file", errno));
        return E_FAIL;
    }
    errno = 0;
    bool written = std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    written = std::fflush(f) == 0 && written;
    int error = errno;
    written = std::fclose(f) == 0 && written;
    if (!error) error = errno;
    std::string why = written ? "" : ErrnoText("write failed", error);
    if (written) {
        errno = 0;
        if (!Win32_ReplaceFile(temp.c_str(), name)) why = ErrnoText("cannot replace the file", errno);
    }
    if (!why.empty()) {
        Win32_DeleteFile(temp.c_str());
        Report("Error saving level!", name, why);
        return E_FAIL;
    }
    return S_OK;
}

void RestartLoadedLevel()
{
    if (loadedLevel) Commit(*loadedLevel);
    RestartLevel();
}

void RestartLevel()
{
    blastPending = false;
    levelScore = 0;
    coinScore = 0;
    coinsCollected = 0;
    PlaceBall(startPosition);
    ResetClock();
}

void ClearLevel()
{
    DestroySpinners();
    blastPending = false;
    coinsCollected = 0;
    PlaceBall(startPosition);
    ResetClock();
    FillGrid(1);
    coinCount = 0;
    std::memset(coinTaken, 0, sizeof(coinTaken));
    startPosition = D3DXVECTOR3(0, 0, 0);
    goalPosition = D3DXVECTOR3(0, 0, 0);
}

int CellOf(float worldCoordinate)
{
    const float cell = worldCoordinate * 0.5f;
    if (!(cell > -static_cast<float>(kCellLimit))) return -kCellLimit;  // NaN too
    if (cell >= static_cast<float>(kCellLimit)) return kCellLimit;
    return static_cast<int>(cell);
}

unsigned char CellValue(int cellX, int cellZ)
{
    if (cellX < 0 || cellX >= kGridSize || cellZ < 0 || cellZ >= kGridSize) return 0;
    return levelGrid[cellX * kGridSize + cellZ];
}

void SetCell(int cellX, int cellZ, unsigned char value)
{
    if (cellX < 0 || cellX >= kGridSize || cellZ < 0 || cellZ >= kGridSize) return;
    levelGrid[cellX * kGridSize + cellZ] = value;
}

void FillGrid(unsigned char value)
{
    std::memset(levelGrid, value, sizeof(levelGrid));
}

void AddCoin()
{
    if (coinCount < 0 || coinCount >= kMaxCoins) return;
    Coin& coin = coins[coinCount];
    coin.active = 1;
    std::memset(coin.unused, 0, sizeof(coin.unused));
    coin.position = editorCursor;
    coinTaken[coinCount] = false;
    coinCount++;
}

void SetGoal()
{
    goalPosition = D3DXVECTOR3(editorCursor.x, 0, editorCursor.z);
}

void SetStart()
{
    startPosition = D3DXVECTOR3(editorCursor.x, 5.0f, editorCursor.z);
}
