#include "ShowcaseApp.h"

#include <DeviceStats.h>
#include <vMathUtils.h>

#include <cmath>
#include <cstdio>
#include <memory>
#include <sys/stat.h>

namespace showcase {

namespace {

const char kClassName[] = "VorpexShowcase";
const char kWindowTitle[] = "Vorpex Showcase";

// Labels and texts are referenced by the widgets, so they live here.
char kSceneTitle[] = "Scene";
char kWireframeLabel[] = "Wireframe";
char kFogLabel[] = "Fog";
char kReflectionLabel[] = "Reflection";
char kParticlesLabel[] = "Particles";
char kAddSpotLabel[] = "Add spot";
char kSaveSpotsLabel[] = "Save spots";
char kLoadSpotsLabel[] = "Load spots";
char kScreenshotLabel[] = "Screenshot";
char kShotNameText[] = "";

const float kMoveSpeed = 25.0f;   // world units per second
const float kTurnSpeed = 1.5f;    // radians per second
const float kMouseLook = 0.005f;  // radians per pixel
const float kSkySize = 100.0f;
const float kDetailDistance = 60.0f;
const D3DXCOLOR kFogColour(0.72f, 0.78f, 0.86f, 1.0f);

MSG lastMessage;

World* world = nullptr;

void Load(vTexture& texture, const char* name)
{
    texture.LoadTextureFromFile(name, 0, 1);
}

void LoadMedia(World& w)
{
    // The terrain: 255 cells lifted from the height table, layered by the layer table.
    w.terrain.GenerateEmpty(kTerrainCells);
    // Chunks far from the eye at a coarser detail: their cells are a few pixels wide there.
    w.terrain.m_detailDistance = kDetailDistance;
    w.terrain.CreateChunks();
    w.terrain.ApplyHeight("media\\TerrData\\heights.raw", kTableOffsetX, kTableOffsetZ);
    w.terrain.CalcNormals();
    w.terrain.GenerateAlphaMaps(kTableOffsetX, kTableOffsetZ);

    const char* const faces[6] = {"media\\sky\\sky_front.tga", "media\\sky\\sky_right.tga", "media\\sky\\sky_back.tga",
                                  "media\\sky\\sky_left.tga",  "media\\sky\\sky_up.tga",    "media\\sky\\sky_down.tga"};
    for (int i = 0; i < 6; ++i) Load(w.skyFaces[i], faces[i]);
    w.sky.Init(&w.skyFaces[0], &w.skyFaces[1], &w.skyFaces[2], &w.skyFaces[3], &w.skyFaces[4], &w.skyFaces[5]);

    w.water.InitSurface(kWaterHeight);
    Load(w.dudv, "media\\water\\dudv.tga");

    Load(w.gridTexture, "kMedia\\Grid.tga");
    Load(w.coinTexture, "kMedia\\coin.tga");
    Load(w.goalTexture, "kMedia\\goal.tga");
    Load(w.ringTexture, "kMedia\\ring.tga");
    Load(w.particleTexture, "kMedia\\particle.tga");
    w.ballModel.LoadModel("kMedia\\ball.x");
    w.ballModel.SetSubsetTextureByIndex(0, &w.gridTexture);
    w.coinModel.LoadModel("kMedia\\coin.X");
    w.coinModel.SetSubsetTextureByIndex(0, &w.coinTexture);
    w.goalModel.LoadModel("kMedia\\goal.X");
    w.goalModel.SetSubsetTextureByIndex(0, &w.goalTexture);
    w.goalModel.SetSubsetTextureByIndex(1, &w.ringTexture);

    // Models stand on the drawn surface: a ball half in the water, a spinning
    // coin and a goal pad on the shore, a small ball on the hill side.
    struct Placement {
        vStaticModel* model;
        float x, z, lift, scale, spin;
    };
    const Placement placements[kPropCount] = {
        {&w.ballModel, 100.0f, 100.0f, 3.0f, 4.0f, 0.3f},
        {&w.coinModel, 78.0f, 72.0f, 5.0f, 5.0f, 1.2f},
        {&w.goalModel, 128.0f, 66.0f, 0.2f, 3.0f, 0.0f},
        {&w.ballModel, 60.0f, 130.0f, 2.0f, 2.0f, 0.0f},
    };
    for (int i = 0; i < kPropCount; ++i) {
        const Placement& p = placements[i];
        Prop& prop = w.props[i];
        prop.model = p.model;
        const float ground = w.terrain.GetSurfaceHeight(D3DXVECTOR3(p.x, 0.0f, p.z));
        prop.position = D3DXVECTOR3(p.x, ground + p.lift, p.z);
        prop.scale = p.scale;
        prop.spin = p.spin;
    }

    // A fountain on the plain, in front of the ball.
    w.fountain.Init(400, &w.particleTexture, D3DXVECTOR3(112.0f, kWaterHeight, 84.0f));
    w.fountain.SetGravity(D3DXVECTOR3(0.0f, -9.81f, 0.0f));
    w.fountain.SetLifeTime(1400);
    w.fountain.SetColorBegin(0xFFB0D8FF);
    w.fountain.SetParticleSize(1.2f);

    w.statusFont.InitFont(18, "Arial", 0, 700, false);
}

vGUIButton* AddButton(World& w, int id, char* label, int x, int y, int width, int height)
{
    vGUIButton* button =
        w.gui.AddButton(id, label, POINT{x, y}, width, height, &w.buttonUp, &w.buttonDown, &w.buttonThird);
    button->SetParent(w.sceneWindow);
    return button;
}

vGUIButton* AddToggle(World& w, int id, char* label, int x, int y, bool on)
{
    vGUIButton* button = AddButton(w, id, label, x, y, 120, 28);
    button->SetToToggleButton(true);
    // A toggle shows on when down; the program sets the look, no click is reported.
    button->SetButtonState(on ? BUTTONSTATE_DOWN : BUTTONSTATE_UP);
    return button;
}

void BuildGui(World& w)
{
    Load(w.buttonUp, "media\\gui\\button_up.tga");
    Load(w.buttonDown, "media\\gui\\button_down.tga");
    Load(w.buttonThird, "media\\gui\\button_third.tga");
    Load(w.textBack, "media\\gui\\textbox_back.tga");
    Load(w.textBorder, "media\\gui\\textbox_border.tga");
    Load(w.listBack, "media\\gui\\listbox_back.tga");
    Load(w.listBorder, "media\\gui\\listbox_border.tga");
    Load(w.listScroll, "media\\gui\\listbox_scroll.tga");
    Load(w.windowBack, "media\\gui\\window_back.tga");
    Load(w.windowBorder, "media\\gui\\window_border.tga");

    w.gui.Init("Arial", 16);
    w.gui.SetTwoDee(&w.twoDee);

    const int x = kClientWidth - 290, y = 20;
    w.sceneWindow = w.gui.AddWindow(kSceneWindow, kSceneTitle, POINT{x, y}, 270, 356, &w.windowBack, &w.windowBorder);
    w.sceneWindow->SetWindowBarText(kSceneTitle);

    w.wireframeToggle = AddToggle(w, kWireframeToggle, kWireframeLabel, x + 10, y + 35, w.wireframe);
    w.fogToggle = AddToggle(w, kFogToggle, kFogLabel, x + 140, y + 35, w.fog);
    w.reflectionToggle = AddToggle(w, kReflectionToggle, kReflectionLabel, x + 10, y + 69, w.reflection);
    w.particlesToggle = AddToggle(w, kParticlesToggle, kParticlesLabel, x + 140, y + 69, w.particles);

    w.spotList =
        w.gui.AddListbox(kSpotListBox, POINT{x + 10, y + 107}, 250, 150, &w.listBack, &w.listBorder, &w.listScroll);
    w.spotList->SetParent(w.sceneWindow);
    w.addSpotButton = AddButton(w, kAddSpotButton, kAddSpotLabel, x + 10, y + 263, 80, 28);
    w.saveSpotsButton = AddButton(w, kSaveSpotsButton, kSaveSpotsLabel, x + 95, y + 263, 80, 28);
    w.loadSpotsButton = AddButton(w, kLoadSpotsButton, kLoadSpotsLabel, x + 180, y + 263, 80, 28);

    w.shotName =
        w.gui.AddTextbox(kShotNameBox, kShotNameText, POINT{x + 10, y + 317}, 155, 28, &w.textBack, &w.textBorder);
    w.shotName->SetParent(w.sceneWindow);
    w.screenshotButton = AddButton(w, kScreenshotButton, kScreenshotLabel, x + 172, y + 317, 88, 28);

    // Events start flowing once every widget is in place.
    w.gui.SetCallback(OnGuiEvent);
}

void DefaultSpots(SpotList& spots)
{
    spots.Clear();
    spots.Add({"Shore", 100.0f, 60.0f, 2.0f, -0.45f, 0.0f});
    spots.Add({"Over the water", 100.0f, 36.0f, 50.0f, -0.75f, 0.0f});
    spots.Add({"Hill top", 30.0f, 60.0f, 30.0f, -0.35f, 0.8f});
    spots.Add({"Far corner", 230.0f, 55.0f, 230.0f, -0.30f, -2.4f});
    spots.Add({"Valley", 160.0f, 40.0f, 140.0f, -0.25f, -1.2f});
}

// Letters, digits, '-' and '_' of the text box; the default name when none remain.
std::string ShotName(World& w)
{
    std::unique_ptr<char[]> text(w.shotName->GetText());
    std::string name;
    for (const char* c = text.get(); *c; ++c)
        if ((*c >= 'a' && *c <= 'z') || (*c >= 'A' && *c <= 'Z') || (*c >= '0' && *c <= '9') || *c == '-' || *c == '_')
            name += *c;
    return name.empty() ? kDefaultShotName : name;
}

void TakeNamedScreenshot(World& w)
{
    // The engine picks the number and says which file it wrote.
    const std::string file = w.engine.TakeScreenshot(ShotName(w));
    w.message = file.empty() ? "The screenshot could not be saved" : "Screenshot saved as " + file;
}

void ApplyFog(World& w)
{
    if (w.fog)
        w.engine.SetFog(80.0f, 320.0f, 0.0f, kFogColour);
    else
        objDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);
}

// The terrain, the models and the sky behind them; mirrored in the water for
// the reflection, where the terrain is drawn at a coarser detail.
void DrawWorld(World& w, bool reflected)
{
    ApplyFog(w);
    if (w.wireframe && !reflected) objDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_WIREFRAME);
    // Seen from above the terrain winds counter-clockwise; the mirror turns it round.
    w.terrain.m_detailStep = reflected ? kReflectionDetailStep : 1;
    w.terrain.RenderAll(false, D3DXVECTOR3(0.0f, 0.0f, 0.0f), reflected);
    w.terrain.m_detailStep = 1;
    objDevice->SetRenderState(D3DRS_FILLMODE, D3DFILL_SOLID);

    w.engine.DebugLight();
    for (Prop& prop : w.props) {
        if (!prop.model) continue;
        D3DXMATRIX world;
        D3DXVECTOR3 scale(prop.scale, prop.scale, prop.scale);
        CreateTrigMatrix(&world, &prop.position, prop.angle, &scale);
        prop.model->SetMatrix(world);
        prop.model->Render();
    }

    // The sky last, behind everything: only the pixels nothing covers are shaded.
    const D3DXVECTOR3 eye = w.camera.GetPosition();
    // The mirrored view sees the sky around the eye's mirror image.
    w.sky.Update(reflected ? D3DXVECTOR3(eye.x, 2.0f * kWaterHeight - eye.y, eye.z) : eye, kSkySize);
    objDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);
    objDevice->SetRenderState(D3DRS_CULLMODE, D3DCULL_NONE);  // seen from inside, in either pass
    w.sky.RenderBehind(false);
    ApplyFog(w);
}

void DrawStatus(World& w)
{
    const D3DXVECTOR3 eye = w.camera.GetPosition();
    char line[256];
    std::snprintf(line, sizeof line, "Frame %.1f ms   Draw calls %lu   Camera %.1f %.1f %.1f",
                  w.engine.GetSpeedfactor() * 1000.0, (unsigned long)w.lastDrawCalls, eye.x, eye.y, eye.z);
    const int y = kClientHeight - 50;
    w.statusFont.DrawTextA(line, 11, y + 1, 0xFF000000);
    w.statusFont.DrawTextA(line, 10, y, 0xFFFFFFFF);
    if (!w.message.empty()) {
        w.statusFont.DrawTextA(w.message.c_str(), 11, y + 23, 0xFF000000);
        w.statusFont.DrawTextA(w.message.c_str(), 10, y + 22, 0xFFFFE080);
    }
}

void RenderFrame(World& w)
{
    const float step = w.engine.GetSpeedfactor();
    for (Prop& prop : w.props) {
        prop.angle += prop.spin * step;
        FixAngle(prop.angle);
    }
    w.dudvOffset = std::fmod(w.dudvOffset + step * 0.03f, 1.0f);

    // The reflection: the scene above the water, seen in the mirrored view. Off,
    // the water shows its own colour only; a water plane without its effect
    // opens no pass, and nothing is drawn for it.
    w.camera.UpdateCamera();
    objDevice->SetTransform(D3DTS_PROJECTION, &ev_matrix3DProj);
    w.water.BeginRender(w.camera.GetPosition());
    if (w.reflection && w.water.IsReflecting()) DrawWorld(w, true);
    w.water.EndRender();

    // The water first: the terrain under it then fails the depth test before
    // it is shaded (the water is opaque, so the picture is the same).
    w.engine.Clear();
    w.water.RenderSurface(&w.dudv, w.dudvOffset);
    DrawWorld(w, false);

    if (w.particles) {
        w.fountain.RandomAutoSpawn(20, 6, D3DXVECTOR3(0.0f, 4.0f, 0.0f), 12.0f, 1.5f);
        w.fountain.Update(step);
        w.fountain.Render();
    }
    objDevice->SetRenderState(D3DRS_FOGENABLE, FALSE);

    w.twoDee.Begin2D();
    w.gui.Render();
    w.twoDee.End2D();
    DrawStatus(w);

    w.engine.Present();
    D3D9FrameStats last = {};
    if (SUCCEEDED(D3D9_GetFrameStats(objDevice, nullptr, &last))) w.lastDrawCalls = last.drawCalls;
}

void MoveCamera(World& w)
{
    if (w.shotName && w.shotName->GetElementFocus()) return;  // the keys are typing a name
    const float step = std::min(w.engine.GetSpeedfactor(), 0.1f);
    vCamera& camera = w.camera;
    camera.UpdateCameraMatrix();
    const D3DXVECTOR3 forward = camera.m_lookDir;
    D3DXVECTOR3 right(forward.z, 0.0f, -forward.x);
    if (D3DXVec3Length(&right) > 1e-4f) D3DXVec3Normalize(&right, &right);
    D3DXVECTOR3 move(0.0f, 0.0f, 0.0f);
    if (w.engine.GetKeyPressed('W') || w.engine.GetKeyPressed(VK_UP)) move += forward;
    if (w.engine.GetKeyPressed('S') || w.engine.GetKeyPressed(VK_DOWN)) move -= forward;
    if (w.engine.GetKeyPressed('D')) move += right;
    if (w.engine.GetKeyPressed('A')) move -= right;
    if (w.engine.GetKeyPressed(VK_LEFT)) camera.RotateY(-kTurnSpeed * step);
    if (w.engine.GetKeyPressed(VK_RIGHT)) camera.RotateY(kTurnSpeed * step);
    camera.m_position += move * (kMoveSpeed * step);
    KeepCameraAboveGround();
}

}  // namespace

World& Scene()
{
    if (!world) world = new World();  // never destroyed: its device objects go with the process, as the window does
    return *world;
}

void KeepCameraAboveGround()
{
    World& w = Scene();
    D3DXVECTOR3& eye = w.camera.m_position;
    const float floor = w.terrain.GetSurfaceHeight(eye) + kCameraClearance;
    if (eye.y < floor) eye.y = floor;
}

void MoveCameraTo(const ShowcaseSpot& spot)
{
    World& w = Scene();
    w.camera.SetPosition(spot.x, spot.y, spot.z);
    w.camera.SetRotation(spot.pitch, spot.yaw, 0.0f);
    KeepCameraAboveGround();
    w.camera.UpdateCameraMatrix();
}

void RefreshSpotList()
{
    World& w = Scene();
    w.spotList->Clear();
    for (int i = 0; i < w.spots.Count(); ++i) w.spotList->Add(w.spots.At(i).name.c_str());
}

void OnGuiEvent(int eventCode, unsigned int controlID, vGUIElement* element)
{
    if (eventCode != GUIEVENT_CLICK) return;
    World& w = Scene();
    std::string error;
    switch (controlID) {
        case kWireframeToggle:
            w.wireframe = w.wireframeToggle->GetButtonState() == 1;
            break;
        case kFogToggle:
            w.fog = w.fogToggle->GetButtonState() == 1;
            break;
        case kReflectionToggle:
            w.reflection = w.reflectionToggle->GetButtonState() == 1;
            break;
        case kParticlesToggle:
            w.particles = w.particlesToggle->GetButtonState() == 1;
            break;
        case kSpotListBox: {
            const int index = static_cast<vGUIListbox*>(element)->GetSelectedIndex();
            if (index >= 0 && index < w.spots.Count()) {
                MoveCameraTo(w.spots.At(index));
                w.message = "Camera at " + w.spots.At(index).name;
            }
            break;
        }
        case kAddSpotButton: {
            const D3DXVECTOR3 eye = w.camera.GetPosition();
            ShowcaseSpot spot = {"Spot " + std::to_string(w.spots.Count() + 1),
                                 eye.x,
                                 eye.y,
                                 eye.z,
                                 w.camera.m_rotation.x,
                                 w.camera.m_rotation.y};
            if (w.spots.Add(spot)) {
                RefreshSpotList();
                w.message = "Added " + spot.name;
            } else {
                w.message = "The spot list is full";
            }
            break;
        }
        case kSaveSpotsButton:
            if (w.spots.Save(kSpotFile, &error))
                w.message = "Saved " + std::to_string(w.spots.Count()) + " spots to " + kSpotFile;
            else
                w.message = error;
            break;
        case kLoadSpotsButton:
            if (w.spots.Load(kSpotFile, &error)) {
                RefreshSpotList();
                w.message = "Loaded " + std::to_string(w.spots.Count()) + " spots from " + kSpotFile;
            } else {
                w.message = error;
            }
            break;
        case kScreenshotButton:
            TakeNamedScreenshot(w);
            break;
        default:
            break;
    }
}

LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    World& w = Scene();
    switch (msg) {
        case WM_MOUSEMOVE:
        case WM_LBUTTONDOWN:
        case WM_LBUTTONUP:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
            w.mouse = POINT{(short)LOWORD(lParam), (short)HIWORD(lParam)};
            break;
        default:
            break;
    }
    w.gui.Update(msg, static_cast<unsigned int>(wParam), static_cast<long>(lParam), w.mouse, w.engine.GetSpeedfactor());

    // The right button held turns the camera with the mouse.
    if (msg == WM_RBUTTONDOWN) {
        w.looking = true;
        w.lookFrom = w.mouse;
    } else if (msg == WM_RBUTTONUP) {
        w.looking = false;
    } else if (msg == WM_MOUSEMOVE && w.looking) {
        w.camera.RotateY((w.mouse.x - w.lookFrom.x) * kMouseLook);
        w.camera.RotateX((w.lookFrom.y - w.mouse.y) * kMouseLook);  // down looks down
        w.camera.UpdateCameraMatrix();
        w.lookFrom = w.mouse;
    }

    if (msg == WM_CLOSE && hwnd == w.window) {
        PostQuitMessage(0);
        return 0;
    }
    LRESULT result = DefWindowProcA(hwnd, msg, wParam, lParam);
    if (msg == WM_DESTROY && hwnd == w.window) PostQuitMessage(0);
    return result;
}

bool Startup(POINT windowPosition)
{
    lastMessage = MSG{};
    World& w = Scene();
    HINSTANCE instance = GetModuleHandleA(nullptr);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(WNDCLASSEXA);
    wc.style = CS_CLASSDC;
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = instance;
    wc.lpszClassName = kClassName;
    RegisterClassExA(&wc);

    // The window's frame takes 16 x 39 pixels: 1040 x 807 outside gives the
    // 1024 x 768 client area.
    HWND hwnd = CreateWindowExA(0, kClassName, kWindowTitle, WS_OVERLAPPEDWINDOW, windowPosition.x, windowPosition.y,
                                kClientWidth + 16, kClientHeight + 39, GetDesktopWindow(), nullptr, instance, nullptr);
    if (!hwnd || w.engine.InitWindowed(hwnd) < 0) return false;
    w.window = hwnd;
    ShowWindow(hwnd, SW_SHOWDEFAULT);
    UpdateWindow(hwnd);

    w.engine.m_showFps = false;  // the status line shows the frame time
    w.engine.m_showWindowSize = false;
    w.engine.SetBackColor(kFogColour);
    w.engine.ChangePerspective(D3DX_PI / 4.0f, 0.5f, 1000.0f);
    InitStaticQuad();
    InitDynamicQuad();

    LoadMedia(w);
    BuildGui(w);

    std::string error;
    if (!w.spots.Load(kSpotFile, &error)) {
        DefaultSpots(w.spots);
        struct stat st;
        if (stat(kSpotFile, &st) == 0) w.message = error;  // a file that is there but refused is worth a word
    }
    RefreshSpotList();
    MoveCameraTo(w.spots.Count() > 0 ? w.spots.At(0) : ShowcaseSpot{"", 100.0f, 60.0f, 2.0f, -0.45f, 0.0f});
    return true;
}

bool LoopPass()
{
    World& w = Scene();
    if (PeekMessageA(&lastMessage, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&lastMessage);
        DispatchMessageA(&lastMessage);
    } else {
        RenderFrame(w);
        ++w.frames;
    }
    if (w.window && GetActiveWindow() == w.window) {
        MoveCamera(w);
        if (GetKeyState(VK_ESCAPE) < 0) PostQuitMessage(0);
    } else {
        Sleep(30);
    }
    return lastMessage.message != WM_QUIT;
}

unsigned long FrameCount()
{
    return Scene().frames;
}

void RunLoop()
{
    while (LoopPass()) {
    }
}

void Shutdown()
{
    UnregisterClassA(kClassName, GetModuleHandleA(nullptr));
}

}  // namespace showcase
