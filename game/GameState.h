// The game's shared state: level data, physics handles, rules, scores and
// clock. One definition of each lives in GameState.cpp; the level, physics,
// rules and scene code all work on these globals.
#pragma once

#include <windows.h>
#include <d3dx9math.h>
#include <Newton.h>

// --- level (Level.h) --------------------------------------------------------

constexpr int kGridSize = 45;                       // tiles per side; one tile is 2 x 2 units
constexpr int kGridCells = kGridSize * kGridSize;   // indexed cellX * 45 + cellZ
constexpr int kMaxCoins = 150;
constexpr int kMaxSpinners = 50;

// Tile values: 0 no bomb, 1 a deadly bomb, 2..255 drawn as a bomb but harmless.
struct Coin {
    unsigned char active;      // non-zero: present and collectable
    unsigned char unused[3];
    D3DXVECTOR3 position;
};
static_assert(sizeof(Coin) == 16, "a coin is one 16-byte record of the level file");

extern unsigned char levelGrid[kGridCells];
extern Coin coins[kMaxCoins];
extern int coinCount;                               // records in use, from index 0
extern D3DXVECTOR3 goalPosition;
extern D3DXVECTOR3 startPosition;

// --- physics (Physics.h) -----------------------------------------------------

struct Spinner {
    D3DXVECTOR3 position;  // where it was placed; it is pinned there
    NewtonBody* body;
};

extern NewtonWorld* newtonWorld;
extern NewtonBody* boardBody;
extern NewtonBody* ballBody;
extern D3DXMATRIX ballMatrix;                       // ball pose as last read back or placed
extern D3DXMATRIX boardMatrix;                      // the board model's matrix
extern NewtonCollision* spinnerCollision;
extern Spinner spinners[kMaxSpinners];
extern int spinnerCount;
extern D3DXVECTOR3 steeringTorque;                  // set by the input code, read by the ball callback
extern bool blastPending;                           // throws the ball up on the next step
extern bool firstStepDone;

// --- rules -------------------------------------------------------------------

constexpr int lastLevel = 6;

extern bool editorMode;
extern bool levelCompleted;
extern bool ballDead;
extern int currentLevel;
extern int totalScore;
extern int levelScore;
extern int coinScore;
extern int coinsCollected;
extern int timeBonus;
extern float elapsedSeconds;
extern DWORD levelStartTick;
extern DWORD completionEndTick;
extern DWORD deathEndTick;
extern D3DXVECTOR3 editorCursor;
extern D3DXVECTOR3 ballPosition;
extern int ballCellX;
extern int ballCellZ;
