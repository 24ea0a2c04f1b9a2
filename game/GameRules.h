// The game's rules: keyboard handling per loop pass (play and editor keys),
// the per-frame coin, goal and bomb tests, the level clock and scores, and the
// two overlays that end a level and move on to the next one.
#pragma once

#include <windows.h>
#include <d3dx9math.h>

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

// Handles the keyboard once per pass of the main loop while the window is active.
void UpdateGame();
// Coin pick-up, goal and bomb tests against the ball; once per frame in play.
void CheckBallEvents();
// Time bonus, clock and level score; once per frame while neither dead nor completed.
void UpdateClockAndScore();
// "Level Completed!" / end-of-game text and the score table; loads the next
// level when the display time is over (after the last level: level 1, total 0).
// When the next level cannot be loaded the finished one restarts instead.
void DrawCompletionOverlay();
// The death text; reloads the same level when the display time is over, or
// restarts it as last loaded when its file cannot be read any more.
void DrawDeathOverlay();
// Loads level number n from its numbered file; E_FAIL as LoadLevel.
long LoadNumberedLevel(int n);
