#include "GameRules.h"

#include "GameObjects.h"
#include "GamePad.h"
#include "GameDisplay.h"
#include "GameOptions.h"
#include "GamePause.h"
#include "GameRecords.h"
#include "GameSound.h"
#include "Level.h"
#include "Physics.h"

#include <algorithm>

// The rules' state: mode, level, scores, clock and the ball's place.
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

namespace {

const float kSteering = 70.0f;
const float kCursorSpeed = 5.0f;
const float kCoinDistance = 2.0f;
const float kGoalDistance = 2.3f;
const float kBombDistance = 1.0f;
const int kCoinValue = 100;
const int kTimeBonusBase = 500;
const DWORD kCompletionMs = 10000;
const DWORD kDeathMs = 5000;

bool Held(int virtualKey)
{
    return GetKeyState(virtualKey) < 0;
}

bool Once(int virtualKey)
{
    return engine.GetKeyPressedOnce(virtualKey);
}

}  // namespace

long LoadNumberedLevel(int n)
{
    const long hr = LoadLevel(LevelFileName(n).c_str());
    if (SUCCEEDED(hr)) levelEdited = false;  // the level as shipped: its runs make records
    return hr;
}

void UpdateGame()
{
    const float step = engine.GetSpeedfactor();
    steeringTorque = D3DXVECTOR3(0.0f, 0.0f, 0.0f);

    UpdatePads();
    if (UpdateDisplayKeys()) FullScreenChanged();
    UpdateOptionsKeys();
    if (!OptionsOpen()) UpdatePauseKeys();
    if (gamePaused) {
        IgnoreKeysWhilePaused();
        return;
    }

    if (editorMode) {
        if (Held(settings.steerKeys[kSteerRight])) editorCursor.x += step * kCursorSpeed;
        if (Held(settings.steerKeys[kSteerLeft])) editorCursor.x -= step * kCursorSpeed;
        if (Held(settings.steerKeys[kSteerUp])) editorCursor.z += step * kCursorSpeed;
        if (Held(settings.steerKeys[kSteerDown])) editorCursor.z -= step * kCursorSpeed;
        // Inside the extent a level file may hold, so whatever is placed here saves and loads.
        editorCursor.x = std::min(std::max(editorCursor.x, kLevelExtentMin), kLevelExtentMax);
        editorCursor.z = std::min(std::max(editorCursor.z, kLevelExtentMin), kLevelExtentMax);
        // What the editor puts down clicks once, when the level changes.
        const unsigned char cellBefore = CellValue(ballCellX, ballCellZ);
        const int coinsBefore = coinCount;
        const int spinnersBefore = spinnerCount;
        const D3DXVECTOR3 goalBefore = goalPosition;
        const D3DXVECTOR3 startBefore = startPosition;
        if (Held('Z')) SetCell(ballCellX, ballCellZ, 1);
        if (Held('X')) SetCell(ballCellX, ballCellZ, 0);
        if (Once('C')) AddCoin();
        if (Once('Y')) AddSpinner(editorCursor.x, editorCursor.y, editorCursor.z);
        if (Held('G')) SetGoal();
        if (Held('P')) SetStart();
        if (CellValue(ballCellX, ballCellZ) != cellBefore || coinCount != coinsBefore ||
            spinnerCount != spinnersBefore || !(goalPosition == goalBefore) || !(startPosition == startBefore))
            PlayEditorClick();
    } else if (!ballDead && !levelCompleted) {
        if (Held(settings.steerKeys[kSteerRight])) steeringTorque.z -= kSteering;
        if (Held(settings.steerKeys[kSteerLeft])) steeringTorque.z += kSteering;
        if (Held(settings.steerKeys[kSteerUp])) steeringTorque.x += kSteering;
        if (Held(settings.steerKeys[kSteerDown])) steeringTorque.x -= kSteering;
        // A pad adds to the keys, up to a key's torque on each axis.
        steeringTorque += PadSteering(kSteering);
        steeringTorque.x = std::min(std::max(steeringTorque.x, -kSteering), kSteering);
        steeringTorque.z = std::min(std::max(steeringTorque.z, -kSteering), kSteering);
    }

    // The one-shot latches of these keys move only while left Control is held.
    if (Held(VK_LCONTROL)) {
        if (Once('I')) {
            editorMode = !editorMode;
            if (editorMode) MarkLevelEdited();
        }
        if (Once('R')) ClearLevel();
        if (Once('1')) engine.SetTimingMode(TIME_PERFCOUNTER);
        if (Once('2')) engine.SetTimingMode(TIME_TIMEGETTIME);
        if (Once('3')) engine.SetTimingMode(TIME_GETTICKCOUNT);
    }

    if (Once('H')) SaveLevel(kEditorLevelFile);
    if (Once('M')) LoadLevel(kEditorLevelFile);

    // Alt+Enter is the full-screen key, not the waits'.
    if ((levelCompleted || ballDead) && ((Held(VK_RETURN) && !Held(VK_MENU)) || PadAcceptHeld())) {
        completionEndTick = GetTickCount();
        deathEndTick = completionEndTick;
    }

    if (Once('N')) engine.TakeScreenshot(const_cast<char*>("KolvarV1"));
    if (Once('E')) blastEmitterA.SpawnParticle(D3DXVECTOR3(0.0f, 1.0f, 0.0f), 1.0f, 1.0f);
}

void CheckBallEvents()
{
    for (int i = 0; i < coinCount; ++i) {
        Coin& coin = coins[i];
        if (coin.active && DistanceVector3D(ballPosition, coin.position) < kCoinDistance) {
            coinScore += kCoinValue;
            coinsCollected += 1;
            coin.active = 0;
            coinTaken[i] = true;
            PlayCoinSound(coinsCollected >= coinCount);
            coinEmitter.SetPlaying(true);
            coinEmitter.SetEmitterPos(coin.position);
            coinEmitter.SetEmitterLifeTime(500);
        }
    }

    if (coinsCollected >= coinCount && DistanceVector3D(ballPosition, goalPosition) < kGoalDistance) {
        levelCompleted = true;
        completionEndTick = GetTickCount() + kCompletionMs;
        totalScore += levelScore;
        PlayGoalSound();
        RecordCompletedRun();
    }

    if (ballCellX >= 0 && ballCellX < kGridSize && ballCellZ >= 0 && ballCellZ < kGridSize &&
        levelGrid[ballCellX * kGridSize + ballCellZ] == 1) {
        const D3DXVECTOR3 tile(2.0f * ballCellX + 1.0f, 1.0f, 2.0f * ballCellZ + 1.0f);
        if (DistanceVector3D(ballPosition, tile) < kBombDistance) {
            ballDead = true;
            deathEndTick = GetTickCount() + kDeathMs;
            blastPending = true;
            PlayBlastSound();
            const D3DXVECTOR3 blastAt(tile.x, -0.1f, tile.z);
            blastEmitterA.SetPlaying(true);
            blastEmitterA.SetEmitterPos(blastAt);
            blastEmitterA.SetEmitterLifeTime(300);
            blastEmitterB.SetPlaying(true);
            blastEmitterB.SetEmitterPos(blastAt);
            blastEmitterB.SetEmitterLifeTime(500);
        }
    }
}

void UpdateClockAndScore()
{
    timeBonus = kTimeBonusBase - static_cast<int32_t>(elapsedSeconds * 10.0f);
    elapsedSeconds = static_cast<float>(static_cast<uint32_t>(GetTickCount() - levelStartTick)) * 0.001f;
    levelScore = timeBonus + coinScore;
}

void DrawCompletionOverlay()
{
    if (!levelCompleted) return;
    if (currentLevel == lastLevel) {
        hudFont.DrawTextA("Congratz!\nYou have finished\nthe game!!!", 330, 180, 0xFF000000);
        hudFont.DrawTextA("Congratz!\nYou have finished\nthe game!!!", 331, 181, 0xFF009900);
    } else {
        hudFont.DrawTextA("Level Completed!", 330, 300, 0xFF000000);
        hudFont.DrawTextA("Level Completed!", 331, 301, 0xFF009900);
    }
    hudFont.DrawTextSprintf(330, 360, 0xFF003300, "Time Bonus: %d\nCoin Score: %d\nLevel Score: %d\nTotal Score: %d",
                            timeBonus, coinScore, levelScore, totalScore);

    if (!gamePaused && GetTickCount() > completionEndTick) {
        levelCompleted = false;
        const int next = currentLevel == lastLevel ? 1 : currentLevel + 1;
        if (SUCCEEDED(LoadNumberedLevel(next))) {
            if (currentLevel == lastLevel) totalScore = 0;
            currentLevel = next;
        } else {
            // No next level to go to (reported by the load): the finished level
            // starts again rather than leaving the ball on its goal to score twice.
            RestartLoadedLevel();
        }
    }
}

void DrawDeathOverlay()
{
    if (!ballDead) return;
    hudFont.DrawTextA("YOU DIED!!! \nRESETTING LEVEL", 330, 300, 0xFF000000);
    hudFont.DrawTextA("YOU DIED!!! \nRESETTING LEVEL", 331, 301, 0xFF990000);

    if (!gamePaused && GetTickCount() > deathEndTick) {
        ballDead = false;
        PlayRestartSound();
        // A file that cannot be read any more (reported by the load) still
        // gives the level back as it was loaded, not the ball where it died.
        if (FAILED(LoadNumberedLevel(currentLevel))) RestartLoadedLevel();
    }
}
