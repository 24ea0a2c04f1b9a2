#include "GamePause.h"

#include "GameObjects.h"
#include "GameOptions.h"
#include "GameRules.h"

bool gamePaused = false;

namespace {

DWORD pausedAt = 0;  // GetTickCount when the pause began

// The one-shot keys of UpdateGame, Control's and the others.
const int kControlKeys[] = {'I', 'R', '1', '2', '3'};
const int kPlainKeys[] = {'C', 'Y', 'H', 'M', 'N', 'E'};

}  // namespace

void SetPaused(bool on)
{
    if (on == gamePaused) return;
    gamePaused = on;
    if (on) {
        pausedAt = GetTickCount();
        return;
    }
    const DWORD lasted = GetTickCount() - pausedAt;
    levelStartTick += lasted;
    completionEndTick += lasted;
    deathEndTick += lasted;
}

void UpdatePauseKeys()
{
    const bool pauseKey = engine.GetKeyPressedOnce(VK_PAUSE);
    const bool pKey = !editorMode && engine.GetKeyPressedOnce('P');
    if (pauseKey || pKey) SetPaused(!gamePaused);
}

void IgnoreKeysWhilePaused()
{
    if (GetKeyState(VK_LCONTROL) < 0)
        for (int key : kControlKeys) engine.GetKeyPressedOnce(key);
    for (int key : kPlainKeys) engine.GetKeyPressedOnce(key);
}

void DrawPauseOverlay()
{
    if (!gamePaused || OptionsOpen()) return;  // the options window says why
    hudFont.DrawTextA("PAUSED", 400, 200, 0xFF000000);
    hudFont.DrawTextA("PAUSED", 401, 201, 0xFFFFFFFF);
}
