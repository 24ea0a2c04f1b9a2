#include "GameScene.h"

#include <Newton.h>

#include "GameObjects.h"
#include "Level.h"
#include "Physics.h"
#include "GameOptions.h"
#include "GamePause.h"
#include "GameRecords.h"
#include "GameRules.h"
#include "GameSound.h"

float coinAngle = 0.0f;
D3DXMATRIX coinMatrix;

namespace {

const float kBombHeightPlay = -7.0f;
const float kBombHeightEditor = 0.1f;
const int kXrayReach = 3;  // the X-ray view shows 7 x 7 cells

D3DXMATRIX Translation(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

void DrawModelAt(vStaticModel& model, const D3DXMATRIX& matrix)
{
    model.SetMatrix(matrix);
    model.Render();
}

}  // namespace

void DrawBombTile(int cellX, int cellZ)
{
    if (cellX < 0 || cellX >= kGridSize || cellZ < 0 || cellZ >= kGridSize) return;
    if (levelGrid[cellX * kGridSize + cellZ] == 0) return;
    const float h = editorMode ? kBombHeightEditor : kBombHeightPlay;
    DrawModelAt(bombModel, Translation(2.0f * cellX + 1.0f, h, 2.0f * cellZ + 1.0f));
}

void RenderFrame()
{
    const float step = engine.GetSpeedfactor();

    // 1. Physics and the ball's pose; a pause holds the world still.
    if (!editorMode && !gamePaused)
        StepPhysics(step);
    else
        NewtonBodyGetMatrix(ballBody, &ballMatrix._11);

    // 2. Position and cell: the editor cursor stands in for the ball.
    if (editorMode) {
        ballMatrix._41 = editorCursor.x;
        ballMatrix._42 = editorCursor.y;
        ballMatrix._43 = editorCursor.z;
        ballCellX = CellOf(editorCursor.x);
        ballCellZ = CellOf(editorCursor.z);
    } else {
        ballPosition = D3DXVECTOR3(ballMatrix._41, ballMatrix._42, ballMatrix._43);
        ballCellX = CellOf(ballPosition.x);
        ballCellZ = CellOf(ballPosition.z);
    }

    // 3. Cursor for the window procedure.
    mousePoint = GetLocalMousePos(windowHandle, false);

    // 4. Particles (frozen in a pause).
    if (!gamePaused) {
        blastEmitterA.RandomAutoSpawn(20, 10, D3DXVECTOR3(0.0f, 3.0f, 0.0f), 6.0f, 1.0f);
        blastEmitterA.Update(step);
        blastEmitterB.RandomAutoSpawn(50, 1, D3DXVECTOR3(0.0f, 5.0f, 0.0f), 6.0f, 0.3f);
        blastEmitterB.Update(step);
        coinEmitter.RandomAutoSpawn(20, 10, D3DXVECTOR3(0.0f, 0.0f, 0.0f), 2.0f, 0.3f);
        coinEmitter.Update(step);
    }

    // 5. X-ray view: the bomb tiles around the ball, seen from above.
    xrayCamera.SetPosition(ballMatrix._41, 1.0f, ballMatrix._43);
    xrayCamera.UpdateCamera();
    xrayTarget.ClearRenderTarget(0xFF7AA8A1);
    xrayTarget.Begin();
    twoDee.SetVertexAlpha(false);
    for (int cx = ballCellX - kXrayReach; cx <= ballCellX + kXrayReach; ++cx)
        for (int cz = ballCellZ - kXrayReach; cz <= ballCellZ + kXrayReach; ++cz) DrawBombTile(cx, cz);
    xrayTarget.End();

    // 6. Main camera behind and above the ball.
    const D3DXVECTOR3 b(ballMatrix._41, ballMatrix._42, ballMatrix._43);
    mainCamera.SetLookAt(D3DXVECTOR3(b.x - 8.0f, b.y + 15.0f, b.z - 8.0f), b);

    // 7-8. Main scene.
    engine.Clear();
    engine.DebugLight();
    if (!editorMode && !gamePaused) UpdateSpinners();

    // 9-10. Board and goal.
    DrawModelAt(boardModel, boardMatrix);
    DrawModelAt(goalModel, Translation(goalPosition.x, goalPosition.y, goalPosition.z));

    // 11-15. Shadows lie on the board without depth test.
    engine.SetZEnable(false);
    shadowModel.SetSubsetTextureByIndex(0, &ballShadowTexture);
    DrawModelAt(shadowModel, Translation(ballPosition.x, 1.1f, ballPosition.z));

    if (!gamePaused) coinAngle += step * 0.7f;
    FixAngle(coinAngle);

    shadowModel.SetSubsetTextureByIndex(0, &coinShadowTexture);
    D3DXMATRIX shadowMatrix;
    D3DXMatrixRotationY(&shadowMatrix, coinAngle);
    for (int i = 0; i < coinCount; ++i) {
        if (!coins[i].active) continue;
        shadowMatrix._41 = coins[i].position.x;
        shadowMatrix._42 = coins[i].position.y;
        shadowMatrix._43 = coins[i].position.z;
        DrawModelAt(shadowModel, shadowMatrix);
    }
    engine.SetZEnable(true);

    // 16. Coins (drawn before the pick-up test: a coin taken now still shows this frame).
    D3DXMatrixRotationY(&coinMatrix, coinAngle);
    for (int i = 0; i < coinCount; ++i) {
        if (!coins[i].active) continue;
        coinMatrix._41 = coins[i].position.x;
        coinMatrix._42 = coins[i].position.y;
        coinMatrix._43 = coins[i].position.z;
        DrawModelAt(coinModel, coinMatrix);
    }

    // 17-19. Rules, ball, clock. Until a level file has loaded the board is a
    // placeholder: nothing on it kills or scores.
    if (!editorMode && !ballDead && !levelCompleted && levelLoaded && !gamePaused) CheckBallEvents();
    DrawModelAt(ballModel, ballMatrix);
    if (!ballDead && !levelCompleted && !gamePaused) UpdateClockAndScore();
    UpdateRollingSound();

    // 20. The editor shows every bomb and the start point.
    if (editorMode) {
        for (int cx = 0; cx < kGridSize; ++cx)
            for (int cz = 0; cz < kGridSize; ++cz) DrawBombTile(cx, cz);
        DrawModelAt(ballModel, Translation(startPosition.x, 1.0f, startPosition.z));
    }

    // 21. Particles.
    blastEmitterA.Render();
    blastEmitterB.Render();
    coinEmitter.Render();

    // 22. 2D images: logo, X-ray view and its frame.
    twoDee.Begin2D();
    twoDee.DrawTexture(&logoTexture, 768, 512);
    twoDee.DrawD3DTexWithScale(xrayTarget.GetTexture(), 0, 0, 300, 300);
    twoDee.DrawTextureWithScale(&xrayFrameTexture, 0, 0, 300, 300, 1.0f);
    twoDee.End2D();

    // 23. Overlays.
    DrawCompletionOverlay();
    DrawDeathOverlay();
    DrawPauseOverlay();

    // 24. HUD texts, each over its black shadow.
    hudFont.DrawTextSprintf(7, 372, 0xFF000000, "Score: %d", levelScore);
    hudFont.DrawTextSprintf(5, 370, 0xFF4DB24D, "Score: %d", levelScore);
    hudFont.DrawTextSprintf(7, 472, 0xFF000000, "Time: %0.01f", static_cast<double>(elapsedSeconds));
    hudFont.DrawTextSprintf(5, 470, 0xFF4DB24D, "Time: %0.01f", static_cast<double>(elapsedSeconds));

    // The additions over the HUD: the level's best, the options window.
    DrawRecordLines();
    DrawOptions();

    // 25.
    engine.Present();
}
