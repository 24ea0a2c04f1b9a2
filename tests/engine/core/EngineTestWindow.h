// A real headless window with the engine opened on it, and readers for what
// reached the screen. Tests skip when no GL device can be made.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <Win32TestSeam.h>

#include <cstdint>
#include <cstring>
#include <vector>

#include "vEngine.h"

namespace coretest {

constexpr int kClientWidth = 320;
constexpr int kClientHeight = 240;

inline LRESULT CALLBACK TestWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline HWND CreateTestWindow(int clientWidth = kClientWidth, int clientHeight = kClientHeight)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = TestWindowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "CoreTestWindow";
        RegisterClassExA(&wc);
        registered = true;
    }
    // Outer size: the client area plus the fixed frame (8 + 8 wide, 31 + 8 high).
    HWND hwnd = CreateWindowExA(0, "CoreTestWindow", "core test", WS_OVERLAPPEDWINDOW, 0, 0,
                                clientWidth + 16, clientHeight + 39, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    if (hwnd)
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

// An image read back from the device, 0xAARRGGBB per pixel, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x]; }
};

inline Image ReadSurface(IDirect3DSurface9* surface, int left, int top, int width, int height)
{
    Image image;
    D3DLOCKED_RECT locked;
    if (FAILED(surface->LockRect(&locked, NULL, D3DLOCK_READONLY)))
        return image;
    image.width = width;
    image.height = height;
    image.pixels.resize((size_t)width * height);
    for (int y = 0; y < height; ++y) {
        const uint32_t* row =
            reinterpret_cast<const uint32_t*>(static_cast<const char*>(locked.pBits) +
                                              (size_t)(top + y) * locked.Pitch);
        for (int x = 0; x < width; ++x)
            image.pixels[(size_t)y * width + x] = row[left + x] | 0xFF000000u;
    }
    surface->UnlockRect();
    return image;
}

// The client area of the window as last presented.
inline Image ReadPresentedClient(HWND hwnd)
{
    Image image;
    D3DDISPLAYMODE mode;
    if (!objDevice || FAILED(objDevice->GetDisplayMode(0, &mode)))
        return image;
    IDirect3DSurface9* surface = nullptr;
    if (FAILED(objDevice->CreateOffscreenPlainSurface(mode.Width, mode.Height, D3DFMT_A8R8G8B8,
                                                      D3DPOOL_SYSTEMMEM, &surface, NULL)))
        return image;
    if (SUCCEEDED(objDevice->GetFrontBufferData(0, surface))) {
        POINT origin = {0, 0};
        ClientToScreen(hwnd, &origin);
        RECT client;
        GetClientRect(hwnd, &client);
        image = ReadSurface(surface, origin.x, origin.y, client.right, client.bottom);
    }
    surface->Release();
    return image;
}

inline int Channel(uint32_t argb, int shift)
{
    return (int)((argb >> shift) & 0xFF);
}

inline int ColorDistance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift : {16, 8, 0}) {
        int c = Channel(a, shift) - Channel(b, shift);
        d = std::max(d, c < 0 ? -c : c);
    }
    return d;
}

// Base fixture: a window and an initialised engine; skipped without a device.
class EngineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        win32test::ClearMessageBoxLog();
        hwnd = CreateTestWindow();
        if (!hwnd)
            GTEST_SKIP() << "no window could be created (SDL offscreen driver missing?)";
        engine = new vEngine;
        if (FAILED(engine->InitWindowed(hwnd)))
            GTEST_SKIP() << "no Direct3D device on this machine (no headless GL context)";
    }
    void TearDown() override
    {
        delete engine;  // the destructor kills the device
        engine = nullptr;
        if (hwnd)
            DestroyWindow(hwnd);
        win32test::UseVirtualClock(false);
    }

    HWND hwnd = NULL;
    vEngine* engine = nullptr;
};

}  // namespace coretest
