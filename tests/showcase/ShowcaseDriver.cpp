#include "ShowcaseDriver.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace showdrive {

namespace {
bool started = false;
bool startFailed = false;
POINT windowHome = {0, 0};
}  // namespace

bool EnsureStarted(std::string* why)
{
    if (started) return true;
    if (startFailed) {
        *why = "the showcase could not start here";
        return false;
    }
    FILE* heights = std::fopen("media/TerrData/heights.raw", "rb");
    if (!heights) {
        startFailed = true;
        *why = "no generated media (media/TerrData/heights.raw) in the working directory";
        return false;
    }
    std::fclose(heights);
    std::remove(showcase::kSpotFile);
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(100000);
    // The client area fills the virtual screen, where the frames are read back
    // and the screenshots taken.
    if (!showcase::Startup(POINT{-8, -31})) {
        startFailed = true;
        *why = "the engine could not open a device (no GL context?)";
        return false;
    }
    showcase::World& w = showcase::Scene();
    win32test::SetActiveWindow(w.window);
    windowHome = POINT{w.sceneWindow->GetPositionX(), w.sceneWindow->GetPositionY()};
    started = true;
    Frames(3);
    return true;
}

void Reset()
{
    showcase::World& w = showcase::Scene();
    win32test::ReleaseAllKeys();
    win32test::SetActiveWindow(w.window);
    win32test::MouseMove(w.window, 5, 400);
    Frames(2);
    // Options back to their start through their own buttons.
    if (w.wireframe) ClickOn(w.wireframeToggle);
    for (vGUIButton* toggle : {w.fogToggle, w.reflectionToggle, w.particlesToggle})
        if (toggle->GetButtonState() != 1) ClickOn(toggle);
    if (w.sceneWindow->GetPositionX() != windowHome.x || w.sceneWindow->GetPositionY() != windowHome.y) {
        w.sceneWindow->SetPosition(windowHome.x, windowHome.y);
        Frames(2);
    }
    w.gui.RemoveElementFocus();
    w.message.clear();
    showcase::MoveCameraTo(w.spots.At(0));
    Frames(2);
}

void Frame(double ms)
{
    win32test::AdvanceVirtualTimeMs(ms);
    const unsigned long before = showcase::FrameCount();
    for (int i = 0; i < 200 && showcase::FrameCount() == before; ++i) showcase::LoopPass();
}

void Frames(int n, double ms)
{
    for (int i = 0; i < n; ++i) Frame(ms);
}

void ClickAt(int x, int y)
{
    HWND hwnd = showcase::Scene().window;
    win32test::MouseMove(hwnd, x, y);
    Frame();
    win32test::MouseButton(hwnd, true);
    Frame();
    win32test::MouseButton(hwnd, false);
    Frame();
}

void ClickOn(vGUIElement* element)
{
    ClickAt(element->GetPositionX() + element->GetWidth() / 2, element->GetPositionY() + element->GetHeight() / 2);
}

void HoldKey(int virtualKey, int frames)
{
    win32test::KeyDown(virtualKey);
    Frames(frames);
    win32test::KeyUp(virtualKey);
    Frame();
}

rendertest::Image DrawnFrame()
{
    // The loop has presented its last frame; the back buffer is read as it
    // stands after the next one is drawn, before the following Present.
    return rendertest::ReadPresentedClient(showcase::Scene().window);
}

void Dump(const rendertest::Image& image, const char* name)
{
    const char* folder = std::getenv("KOLVAR_PLAY_DUMP");
    if (!folder || image.Empty()) return;
    const std::string path = std::string(folder) + "/showcase_" + name + ".ppm";
    FILE* f = std::fopen(path.c_str(), "wb");
    if (!f) return;
    std::fprintf(f, "P6\n%d %d\n255\n", image.width, image.height);
    for (size_t i = 0; i < image.pixels.size(); ++i) {
        const uint32_t p = image.pixels[i];
        const unsigned char rgb[3] = {(unsigned char)(p >> 16), (unsigned char)(p >> 8), (unsigned char)p};
        std::fwrite(rgb, 1, 3, f);
    }
    std::fclose(f);
}

POINT Project(D3DXVECTOR3 world)
{
    showcase::World& w = showcase::Scene();
    w.camera.UpdateCameraMatrix();
    const D3DXVECTOR3 eye = w.camera.GetPosition();
    const D3DXVECTOR3 at = eye + w.camera.m_lookDir;
    const D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMATRIX view, both;
    D3DXMatrixLookAtLH(&view, &eye, &at, &up);
    D3DXMatrixMultiply(&both, &view, &ev_matrix3DProj);
    D3DXVECTOR3 clip;
    D3DXVec3TransformCoord(&clip, &world, &both);
    return POINT{(LONG)std::lround((clip.x + 1.0f) * 0.5f * showcase::kClientWidth),
                 (LONG)std::lround((1.0f - clip.y) * 0.5f * showcase::kClientHeight)};
}

}  // namespace showdrive
