#include "GameMain.h"

#include "GameObjects.h"
#include "GameOptions.h"
#include "GamePause.h"
#include "GameRecords.h"
#include "Level.h"
#include "Physics.h"
#include "GameRules.h"
#include "GameScene.h"
#include "GameSound.h"

namespace {

const char kClassName[] = "D3DWindow";
const char kWindowTitle[] = "KOLVAR - By Morquil";

MSG lastMessage;  // the last message the loop took; the loop ends on WM_QUIT
unsigned long framesRendered = 0;

void LoadTexture(vTexture& texture, const char* name)
{
    texture.LoadTextureFromFile(name, 0, 1);
}

void LoadModel(vStaticModel& model, const char* name)
{
    model.LoadModel(const_cast<char*>(name));
}

void InitEmitter(vParticleEmitter& emitter, DWORD colour, float size)
{
    emitter.Init(100, &particleTexture, D3DXVECTOR3(1.0f, 1.0f, 1.0f));
    emitter.SetGravity(D3DXVECTOR3(0.0f, 9.81f, 0.0f));
    emitter.SetAirbreak(D3DXVECTOR3(0.0f, 0.0f, 0.0f));
    emitter.SetLifeTime(300);
    emitter.SetPlaying(false);
    emitter.SetColorBegin(colour);
    emitter.SetParticleSize(size);
}

}  // namespace

void GuiEventHandler(int eventCode, unsigned int controlID, vGUIElement* element)
{
    OptionsGuiEvent(eventCode, controlID, element);
}

LRESULT CALLBACK GameWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    guiManager.Update(msg, static_cast<unsigned int>(wParam), static_cast<long>(lParam), mousePoint,
                      engine.GetSpeedfactor());
    // The close box ends the loop as Escape does; the window itself stays until
    // the process ends, so the engine objects are released while it exists.
    // A key the options window waits for is bound there (Escape is the loop's).
    if (msg == WM_KEYDOWN && hwnd == windowHandle && wParam != VK_ESCAPE && OptionsKeyDown(wParam)) return 0;
    // Another window taking the focus pauses the game; only the player ends the pause.
    if (msg == WM_ACTIVATE && hwnd == windowHandle && LOWORD(wParam) == WA_INACTIVE) SetPaused(true);
    if (msg == WM_CLOSE && hwnd == windowHandle) {
        PostQuitMessage(0);
        return 0;
    }
    LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
    // Should the window be destroyed some other way, the loop ends with it.
    if (msg == WM_DESTROY && hwnd == windowHandle) PostQuitMessage(0);
    return result;
}

void LoadMedia()
{
    hudFont.InitFont(72, "Comic Sans MS", 0, 900, false);
    // 45.0 is handed on as radians, like the engine's own default.
    engine.ChangePerspective(45.0f, 0.1f, 500.0f);  // kept: 45.0 as radians, as the engine's own default
    mainCamera.SetPosition(0.0f, 30.0f, 0.0f);
    xrayTarget.InitRenderTarget(256, 256);

    LoadTexture(xrayFrameTexture, "kMedia\\XRayFrame.tga");
    LoadTexture(startTexture, "kMedia\\plstart.tga");
    LoadTexture(logoTexture, "kMedia\\Logo.tga");

    LoadModel(boardModel, "kMedia\\board.x");
    LoadTexture(gridTexture, "kMedia\\Grid.tga");
    LoadModel(ballModel, "kMedia\\ball.x");
    ballModel.SetSubsetTextureByIndex(0, &gridTexture);

    LoadModel(shadowModel, "kMedia\\shadowplane.X");
    LoadTexture(ballShadowTexture, "kMedia\\BallShadow.tga");
    shadowModel.SetSubsetTextureByIndex(0, &ballShadowTexture);

    LoadModel(coinModel, "kMedia\\coin.X");
    LoadTexture(coinTexture, "kMedia\\coin.tga");
    coinModel.SetSubsetTextureByIndex(0, &coinTexture);

    coinAngle = 0.0f;
    LoadTexture(coinShadowTexture, "kMedia\\coinshadow.tga");

    LoadModel(bombModel, "kMedia\\bombplane.X");
    LoadTexture(bombTexture, "kMedia\\Bomb.tga");
    bombModel.SetSubsetTextureByIndex(0, &bombTexture);

    LoadModel(goalModel, "kMedia\\goal.X");
    LoadTexture(goalTexture, "kMedia\\goal.tga");
    LoadTexture(ringImage, "kMedia\\ring.tga");
    goalModel.SetSubsetTextureByIndex(0, &goalTexture);
    goalModel.SetSubsetTextureByIndex(1, &ringImage);

    LoadTexture(particleTexture, "kMedia\\particle.tga");

    CreateDefaultMaterial();
    boardModel.SetSubsetTextureByIndex(0, &gridTexture);
    CreateBoardAndBall();

    editorCursor = D3DXVECTOR3(0.0f, 1.0f, 0.0f);
    ShowCursor(TRUE);

    CreateSpinnerCollision();
    for (int k = 0; k < kGridSize * kGridSize; ++k) levelGrid[k] = 1;

    // Turned far past the limit: the camera's angle handling settles the pitch
    // at its lower bound, looking straight down.
    xrayCamera.RotateX(5156.6206f);

    engine.m_showFps = true;
    engine.m_showWindowSize = false;

    currentLevel = 1;
    LoadNumberedLevel(currentLevel);

    InitEmitter(blastEmitterA, 0xFFCCCC00, 3.6f);
    InitEmitter(blastEmitterB, 0xFFB20000, 3.6f);
    InitEmitter(coinEmitter, 0xFFB20000, 1.0f);
    coinEmitter.SetRandomColors(true);
}

bool GameStartup()
{
    lastMessage = MSG{};
    HINSTANCE instance = GetModuleHandleA(nullptr);

    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = GameWindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);

    HWND hwnd = CreateWindowExA(0, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, 300, 100, 1032, 795,
                                GetDesktopWindow(), nullptr, instance, nullptr);

    if (engine.InitWindowed(hwnd) < 0) return false;

    windowHandle = hwnd;
    ShowWindow(hwnd, SW_SHOWDEFAULT);
    UpdateWindow(hwnd);

    CreatePhysicsWorld();

    engine.SetBackColor(D3DXCOLOR(0.7265625f, 0.59375f, 0.4765625f, 1.0f));

    guiManager.Init("Arial", 16);
    guiManager.SetCallback(GuiEventHandler);
    guiManager.SetTwoDee(&twoDee);

    InitStaticQuad();
    InitDynamicQuad();

    LoadMedia();
    InitSound();
    InitSettings();
    InitRecords();
    return true;
}

bool GameLoopPass()
{
    if (PeekMessageA(&lastMessage, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&lastMessage);
        DispatchMessageA(&lastMessage);
    } else {
        RenderFrame();
        ++framesRendered;
    }

    if (windowHandle && GetActiveWindow() == windowHandle) {
        UpdateGame();
        // Escape closes the options window first; held on, it does not then quit.
        static bool escapeTaken = false;
        if (GetKeyState(VK_ESCAPE) < 0) {
            if (!escapeTaken) escapeTaken = OptionsTakeEscape();
            if (!escapeTaken) PostQuitMessage(0);
        } else {
            escapeTaken = false;
        }
    } else {
        Sleep(30);
    }
    return lastMessage.message != WM_QUIT;
}

unsigned long GameFrameCount()
{
    return framesRendered;
}

void GameRunLoop()
{
    while (GameLoopPass()) {
    }
}

void GameShutdown()
{
    // The window stays until the process ends: the engine objects are released
    // by the global destructors while its device can still draw into it.
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}
