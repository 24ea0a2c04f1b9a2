#include "ShowcaseDriver.h"

#include <cmath>
#include <cstdio>

namespace showdrive {

namespace {

POINT windowHome = {0, 0};

bool StartShowcase()
{
    std::remove(showcase::kSpotFile);
    // The client area fills the virtual screen, where the frames are read back
    // and the screenshots taken.
    if (!showcase::Startup(POINT{-8, -31})) return false;
    showcase::World& w = showcase::Scene();
    windowHome = POINT{w.sceneWindow->GetPositionX(), w.sceneWindow->GetPositionY()};
    return true;
}

const programdriver::Program kShowcase = {
    "media/TerrData/heights.raw",
    StartShowcase,
    showcase::LoopPass,
    showcase::FrameCount,
    [] { return showcase::Scene().window; },
    "showcase_",
};

}  // namespace

bool EnsureStarted(std::string* why, const char* mediaFile)
{
    static programdriver::Program program = kShowcase;
    if (mediaFile) program.mediaFile = mediaFile;
    return programdriver::EnsureStarted(program, why);
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

void ClickOn(vGUIElement* element)
{
    ClickAt(element->GetPositionX() + element->GetWidth() / 2, element->GetPositionY() + element->GetHeight() / 2);
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
