// The one definition of each shared game global, with its start value.
#include "GameState.h"

unsigned char levelGrid[kGridCells];
Coin coins[kMaxCoins];
int coinCount = 0;
D3DXVECTOR3 goalPosition(0, 0, 0);
D3DXVECTOR3 startPosition(0, 0, 0);

NewtonWorld* newtonWorld = nullptr;
NewtonBody* boardBody = nullptr;
NewtonBody* ballBody = nullptr;
D3DXMATRIX ballMatrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
D3DXMATRIX boardMatrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
NewtonCollision* spinnerCollision = nullptr;
Spinner spinners[kMaxSpinners];
int spinnerCount = 0;
D3DXVECTOR3 steeringTorque(0, 0, 0);
bool blastPending = false;
bool firstStepDone = false;

bool editorMode = false;
bool levelCompleted = false;
bool ballDead = false;
int currentLevel = 1;
int totalScore = 0;
int levelScore = 0;
int coinScore = 0;
int coinsCollected = 0;
int timeBonus = 0;
float elapsedSeconds = 0;
DWORD levelStartTick = 0;
DWORD completionEndTick = 0;
DWORD deathEndTick = 0;
D3DXVECTOR3 editorCursor(0, 1, 0);
D3DXVECTOR3 ballPosition(0, 0, 0);
int ballCellX = 0;
int ballCellZ = 0;
