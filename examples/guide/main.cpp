// The program docs/guide.md walks through: terrain, a sky box, water that
// reflects them, a model with the textures its mesh names, a fountain of
// particles, a line of text and a GUI window with two buttons. Escape quits.
//   guide [frames: stop after them, saving guide_0.jpg]
// Run it in a folder that holds the engine's media/ and the kMedia/ meshes.
// Each "// [name]" ... "// [end]" region is quoted in the guide, and a test
// checks that the guide's copy is the same.
#include <vCamera.h>
#include <vEngine.h>
#include <vGUIButton.h>
#include <vGUIManager.h>
#include <vGUIWindow.h>
#include <vParticleEmitter.h>
#include <vSimpleFont.h>
#include <vSkyBox.h>
#include <vStaticModel.h>
#include <vTerrain.h>
#include <vTexture.h>
#include <vTwoDee.h>
#include <vWaterPlane.h>

#include <cmath>
#include <cstdlib>

// [objects]
const int kClientWidth = 800, kClientHeight = 600;
const float kWaterHeight = 8.2f;  // the plain of the generated terrain floods just below
enum { kGuiWindow = 1, kFountainToggle, kShotButton };

// Everything the program draws. The engine is the first member, so it is
// destroyed last: the device outlives every texture, mesh and font made on it.
struct Scene {
    vEngine engine;
    vCamera camera;
    vTerrain terrain;
    vTexture skyFaces[6];
    vSkyBox sky;
    vWaterPlane water;
    vTexture dudv;
    float dudvOffset = 0.0f;
    vStaticModel model;
    vTexture sparkTexture;
    vParticleEmitter fountain;
    bool fountainOn = true;
    vSimpleFont font;
    vTwoDee twoDee;
    vGUIManager gui;
    vTexture buttonUp, buttonDown, buttonThird, windowBack, windowBorder;
    vGUIButton* fountainToggle = nullptr;
    POINT mouse = {0, 0};
};
Scene* scene = nullptr;
// [end]

// [messages]
// Every message goes to the GUI, with the mouse where the last mouse message put it.
LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (scene) {
        if (message == WM_MOUSEMOVE || message == WM_LBUTTONDOWN || message == WM_LBUTTONUP)
            scene->mouse = POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)};
        scene->gui.Update(message, (unsigned int)wParam, (long)lParam, scene->mouse, scene->engine.GetSpeedfactor());
    }
    if (message == WM_CLOSE) PostQuitMessage(0);
    return DefWindowProcA(hwnd, message, wParam, lParam);
}

// The GUI's events: a toggle reports its new state through GetButtonState.
void OnGuiEvent(int eventCode, unsigned int controlID, vGUIElement*)
{
    if (eventCode != GUIEVENT_CLICK) return;
    if (controlID == kFountainToggle)
        scene->fountainOn = scene->fountainToggle->GetButtonState() == BUTTONSTATE_DOWN;
    else if (controlID == kShotButton)
        scene->engine.TakeScreenshot("guide");
}
// [end]

void LoadScene(Scene& s)
{
    // [terrain]
    // 255 x 255 cells lifted from the height file; the layer table and the four
    // detail textures are read by the terrain itself.
    s.terrain.GenerateEmpty(255);
    s.terrain.CreateChunks();
    s.terrain.ApplyHeight("media\\TerrData\\heights.raw", 100, 0);
    s.terrain.CalcNormals();
    s.terrain.GenerateAlphaMaps(100, 0);
    // [end]

    // [sky]
    const char* const faces[6] = {"media\\sky\\sky_front.tga", "media\\sky\\sky_right.tga", "media\\sky\\sky_back.tga",
                                  "media\\sky\\sky_left.tga",  "media\\sky\\sky_up.tga",    "media\\sky\\sky_down.tga"};
    for (int i = 0; i < 6; ++i) s.skyFaces[i].LoadTextureFromFile(faces[i], 0, 1);
    s.sky.Init(&s.skyFaces[0], &s.skyFaces[1], &s.skyFaces[2], &s.skyFaces[3], &s.skyFaces[4], &s.skyFaces[5]);
    // [end]

    // [water]
    s.water.InitSurface(kWaterHeight);  // reads media\fx\water.fx
    s.dudv.LoadTextureFromFile("media\\water\\dudv.tga", 0, 1);
    // [end]

    // [model]
    // The mesh names its texture ("Grid.tga"); it is read from the mesh's own
    // folder, kMedia\. A ball floating on the water, in its reflection.
    s.model.LoadModel("kMedia\\ball.x");
    s.model.LoadModelTextures();
    D3DXMATRIX scale, place;
    D3DXMatrixScaling(&scale, 5.0f, 5.0f, 5.0f);
    D3DXMatrixTranslation(&place, 92.0f, kWaterHeight + 2.5f, 80.0f);
    s.model.SetMatrix(scale * place);
    // [end]

    // [particles]
    s.sparkTexture.LoadTextureFromFile("kMedia\\particle.tga", 0, 1);
    s.fountain.Init(400, &s.sparkTexture, D3DXVECTOR3(112.0f, kWaterHeight, 84.0f));
    s.fountain.SetGravity(D3DXVECTOR3(0.0f, -9.81f, 0.0f));
    s.fountain.SetLifeTime(1400);
    s.fountain.SetParticleSize(1.2f);
    s.fountain.SetColorBegin(0xFFB0D8FF);
    // [end]

    // [text]
    s.font.InitFont(24, "Arial", 0, 700, false);
    // [end]
}

void BuildGui(Scene& s)
{
    // [gui]
    s.buttonUp.LoadTextureFromFile("media\\gui\\button_up.tga", 0, 1);
    s.buttonDown.LoadTextureFromFile("media\\gui\\button_down.tga", 0, 1);
    s.buttonThird.LoadTextureFromFile("media\\gui\\button_third.tga", 0, 1);
    s.windowBack.LoadTextureFromFile("media\\gui\\window_back.tga", 0, 1);
    s.windowBorder.LoadTextureFromFile("media\\gui\\window_border.tga", 0, 1);
    s.gui.Init("Arial", 16);
    s.gui.SetTwoDee(&s.twoDee);

    // Labels are referenced, not copied: literals live long enough.
    vGUIWindow* window =
        s.gui.AddWindow(kGuiWindow, "Guide", POINT{kClientWidth - 230, 20}, 210, 120, &s.windowBack, &s.windowBorder);
    window->SetWindowBarText("Guide");
    s.fountainToggle = s.gui.AddButton(kFountainToggle, "Fountain", POINT{kClientWidth - 220, 55}, 190, 28, &s.buttonUp,
                                       &s.buttonDown, &s.buttonThird);
    s.fountainToggle->SetParent(window);
    s.fountainToggle->SetToToggleButton(true);
    s.fountainToggle->SetButtonState(s.fountainOn ? BUTTONSTATE_DOWN : BUTTONSTATE_UP);  // no click reported
    vGUIButton* shot = s.gui.AddButton(kShotButton, "Screenshot", POINT{kClientWidth - 220, 95}, 190, 28, &s.buttonUp,
                                       &s.buttonDown, &s.buttonThird);
    shot->SetParent(window);
    s.gui.SetCallback(OnGuiEvent);  // last: events flow once every widget is in place
    // [end]
}

// [frame]
// The sky, the terrain and the model: once mirrored into the water's
// reflection image, once for the screen.
void DrawWorld(Scene& s, bool mirrored)
{
    // The sky box sits on the eye; in the mirrored pass on the mirrored eye, so
    // the water shows sky and not the reflection image's clear colour.
    D3DXVECTOR3 eye = s.camera.GetPosition();
    if (mirrored) eye.y = 2.0f * kWaterHeight - eye.y;
    s.sky.Update(eye, 500.0f);
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);  // the cube is seen from inside
    s.sky.Render(false);

    // Seen from above the terrain's triangles wind counter-clockwise: cull with
    // false in the main pass and true in the mirrored one.
    s.terrain.RenderAll(false, D3DXVECTOR3(0.0f, 0.0f, 0.0f), mirrored);

    s.engine.DebugLight();  // a white directional light for the model
    s.model.Render();
}

void RenderFrame(Scene& s)
{
    const float step = s.engine.GetSpeedfactor();  // seconds of the last frame
    s.dudvOffset = std::fmod(s.dudvOffset + step * 0.03f, 1.0f);
    s.camera.UpdateCamera();  // sets the view

    // 1. The reflection. BeginRender mirrors the view and the projection it
    //    finds on the device, and Clear only sets the projection later: set it first.
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    s.water.BeginRender(s.camera.GetPosition());
    if (s.water.IsReflecting()) DrawWorld(s, true);
    s.water.EndRender();

    // 2. The screen: Clear binds the back buffer again; the water goes after what it reflects.
    s.engine.Clear();
    DrawWorld(s, false);
    s.water.RenderSurface(&s.dudv, s.dudvOffset);

    // 3. Particles, then everything in screen pixels.
    if (s.fountainOn) s.fountain.RandomAutoSpawn(20, 6, D3DXVECTOR3(0.0f, 4.0f, 0.0f), 12.0f, 1.5f);
    s.fountain.Update(step);
    s.fountain.Render();

    // The widgets' textures are drawn by the manager's vTwoDee: inside Begin2D/End2D.
    s.twoDee.Begin2D();
    s.gui.Render();
    s.twoDee.End2D();
    s.font.DrawTextA("Hello from the guide", 20, kClientHeight - 50, 0xFFFFFFFF);

    s.engine.Present();
}
// [end]

int main(int argc, char** argv)
{
    // [window]
    WNDCLASSEXA windowClass = {};
    windowClass.cbSize = sizeof(WNDCLASSEXA);
    windowClass.lpfnWndProc = WindowProc;
    windowClass.lpszClassName = "VorpexGuide";
    RegisterClassExA(&windowClass);
    // The outer size: the client area plus the frame, 16 wider and 39 taller.
    HWND window = CreateWindowExA(0, "VorpexGuide", "Vorpex guide", WS_OVERLAPPEDWINDOW, 0, 0, kClientWidth + 16,
                                  kClientHeight + 39, NULL, NULL, NULL, NULL);
    ShowWindow(window, SW_SHOW);
    // [end]

    // [engine]
    Scene s;
    if (FAILED(s.engine.InitWindowed(window))) return 1;
    s.engine.m_showFps = false;  // InitWindowed turns on the debug overlay in the top-left corner
    s.engine.m_showWindowSize = false;
    s.engine.SetBackColor(D3DXCOLOR(0.72f, 0.78f, 0.86f, 1.0f));
    s.engine.ChangePerspective(D3DX_PI / 4.0f, 0.5f, 1000.0f);  // radians; used from the next Clear
    s.camera.SetPosition(100.0f, 35.0f, 2.0f);
    s.camera.SetRotation(-0.25f, 0.0f, 0.0f);
    // [end]
    LoadScene(s);
    BuildGui(s);
    scene = &s;

    // [loop]
    const int frames = argc > 1 ? std::atoi(argv[1]) : -1;
    bool quit = false;
    for (int frame = 0; !quit && (frames < 0 || frame < frames); ++frame) {
        MSG message;
        while (PeekMessageA(&message, NULL, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) quit = true;
            DispatchMessageA(&message);
        }
        if (quit || (GetKeyState(VK_ESCAPE) & 0x8000)) break;
        RenderFrame(s);
    }
    if (frames >= 0) s.engine.TakeScreenshot("guide");
    // [end]
    scene = nullptr;
    return 0;
}
