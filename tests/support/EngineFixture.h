// The engine opened on the rendering fixture's window: EngineFixture begins
// frames, reads back what the engine drew and presented, and reads the
// device's draw counters.
#pragma once

#include <Win32TestSeam.h>
#include <DeviceStats.h>

#include "RenderFixture.h"
#include "vEngine.h"

namespace rendertest {

// The engine's render target 0 as it is now (before Present).
inline Image ReadRenderTarget()
{
    return ReadRenderTarget(objDevice, nullptr);
}

// The engine's window as last presented.
inline Image ReadPresentedClient(HWND hwnd)
{
    return ReadPresentedClient(objDevice, hwnd);
}

inline D3D9FrameStats CurrentStats()
{
    D3D9FrameStats stats = {};
    D3D9_GetFrameStats(objDevice, &stats, nullptr);
    return stats;
}

// Base fixture: a window of the given client size and an initialised engine.
class EngineFixture : public ::testing::Test {
protected:
    virtual int ClientWidth() const { return 1024; }
    virtual int ClientHeight() const { return 768; }
    // Turns off the engine's frame-rate and window-size lines after set-up.
    virtual bool QuietDebugLines() const { return true; }

    void SetUp() override
    {
        win32test::ClearMessageBoxLog();
        hwnd = CreateTestWindow(ClientWidth(), ClientHeight());
        if (!hwnd) RENDERTEST_NO_DEVICE("no window could be created (SDL offscreen driver missing?)");
        engine = new vEngine;
        if (FAILED(engine->InitWindowed(hwnd))) RENDERTEST_NO_DEVICE("InitWindowed failed (no headless GL context?)");
        if (QuietDebugLines()) {
            engine->m_showFps = false;
            engine->m_showWindowSize = false;
        }
    }
    // Device objects the fixture's members hold, released while the device is
    // still open (as the game's globals go before its engine).
    virtual void ReleaseResources() {}

    void TearDown() override
    {
        ReleaseResources();
        delete engine;
        engine = nullptr;
        if (hwnd) DestroyWindow(hwnd);
        win32test::UseVirtualClock(false);
    }

    // Begins a frame on the back buffer cleared to colour (0xRRGGBB) and zeroes the counters.
    void BeginFrame(D3DXCOLOR colour = D3DXCOLOR(0.0f, 0.0f, 0.0f, 1.0f))
    {
        engine->SetBackColor(colour);
        engine->Clear();
        D3D9_ResetFrameStats(objDevice);
    }

    bool MessageBoxShown(const std::string& entry) const
    {
        for (const std::string& shown : win32test::MessageBoxLog())
            if (shown == entry) return true;
        return false;
    }

    HWND hwnd = NULL;
    vEngine* engine = nullptr;
    TempDir temp;
};

}  // namespace rendertest
