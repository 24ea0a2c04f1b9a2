// The level in memory: the grid, coins, goal and start, and loading, saving,
// restarting, clearing and the editor's operations on it.
#pragma once

#include <windows.h>
#include <d3dx9math.h>

#include <cstdint>
#include <string>

constexpr int kGridSize = 45;                      // tiles per side; one tile is 2 x 2 units
constexpr int kGridCells = kGridSize * kGridSize;  // indexed cellX * 45 + cellZ
constexpr int kMaxCoins = 150;

// Tile values: 0 no bomb, 1 a deadly bomb, 2..255 drawn as a bomb but harmless.
struct Coin {
    unsigned char active;  // non-zero: present and collectable
    unsigned char unused[3];
    D3DXVECTOR3 position;
};
static_assert(sizeof(Coin) == 16, "a coin is one 16-byte record of the level file");

extern unsigned char levelGrid[kGridCells];
extern Coin coins[kMaxCoins];
// Set for a coin the ball picked up since the level was loaded, restarted
// from its file or the coin placed; such a coin is still part of the design.
extern bool coinTaken[kMaxCoins];
extern int coinCount;  // records in use, from index 0
extern D3DXVECTOR3 goalPosition;
extern D3DXVECTOR3 startPosition;
// True once a level file has loaded. Before that the board is start-up's
// placeholder, on which the ball meets no bomb, coin or goal.
extern bool levelLoaded;
// The checksum of the bytes of the level file last loaded (the key of its
// records), and whether the level in play has been edited since (the editor
// entered, or not a numbered level's file): an edited level makes no record.
extern std::uint32_t levelChecksum;
extern bool levelEdited;

// "kMedia\\kMaps\\level<n>.kmf", the file of game level n.
std::string LevelFileName(int level);
constexpr const char* kEditorLevelFile = "kMedia\\kMaps\\levelNR.kmf";

// Removes every spinner, then reads the file and restarts the level.
// E_FAIL, with the level left as it was, when the file cannot be read or is
// not a well-formed level: reported by name and reason on stderr and in an
// "Error!" message box.
long LoadLevel(const char* name);
// Writes the current level through a temporary file beside name, which then
// replaces it, with the coins as placed or loaded (a coin the ball picked up
// is saved active); E_FAIL, with any old file left intact, when that fails,
// reported like a failed load.
long SaveLevel(const char* name);
// Ball back on the start at rest; level scores, blast and clock reset.
void RestartLevel();
// The level as last loaded from a file (tiles, coins, goal, start) put back
// and restarted, as reloading its file would; before any load, RestartLevel.
void RestartLoadedLevel();
// An empty level for the editor: every cell a bomb, no coins, goal and start
// at the origin (the ball is first put on the old start).
void ClearLevel();

// Where a level's start, goal and active coins may lie: finite, and on every
// axis within half a board (45 units) of the board's square 0 ... 90, which
// leaves room to start the ball beside the board or drop it from high up.
// Level files with a point outside are refused; the editor's cursor stays inside.
constexpr float kLevelExtentMin = -45.0f;
constexpr float kLevelExtentMax = 135.0f;
inline bool InsideLevelExtent(const D3DXVECTOR3& p)
{
    // Written so that NaN fails every comparison and is outside.
    return p.x >= kLevelExtentMin && p.x <= kLevelExtentMax && p.y >= kLevelExtentMin && p.y <= kLevelExtentMax &&
           p.z >= kLevelExtentMin && p.z <= kLevelExtentMax;
}

// The cell of a world coordinate: trunc(v * 0.5), toward zero, so -1.5 is cell 0.
// Defined for every float: beyond +-kCellLimit cells (infinities included) it
// is +-kCellLimit, NaN gives -kCellLimit; these lie far off the board and
// leave room for cell arithmetic around them.
constexpr int kCellLimit = 1 << 20;
int CellOf(float worldCoordinate);
// The tile of a cell; 0 outside 0 ... 44.
unsigned char CellValue(int cellX, int cellZ);
// Sets a tile; nothing when either number lies outside 0 ... 44.
void SetCell(int cellX, int cellZ, unsigned char value);
// Every tile of the grid = value.
void FillGrid(unsigned char value);
// A new active coin at editorCursor; ignored once the table holds kMaxCoins.
void AddCoin();
// Goal at (x, 0, z) of editorCursor.
void SetGoal();
// Start at (x, 5, z) of editorCursor.
void SetStart();
