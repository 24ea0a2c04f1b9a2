// Shared by the render and scene tests: a real headless window with the
// engine opened on it, back-buffer read-back, draw counters, and small test
// media (TGA images, text .X meshes) written into a temporary folder.
#pragma once

#include <gtest/gtest.h>

#include <windows.h>
#include <Win32TestSeam.h>

#include <DeviceStats.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <unistd.h>
#include <filesystem>
#include <string>
#include <vector>

#include "vEngine.h"

namespace rendertest {

inline LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

inline HWND CreateTestWindow(int clientWidth, int clientHeight)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSEXA wc;
        std::memset(&wc, 0, sizeof(wc));
        wc.cbSize = sizeof(wc);
        wc.lpfnWndProc = WindowProc;
        wc.hInstance = GetModuleHandleA(NULL);
        wc.lpszClassName = "RenderTestWindow";
        RegisterClassExA(&wc);
        registered = true;
    }
    // The outer size is the client area plus the fixed frame (8 + 8 wide, 31 + 8 high).
    HWND hwnd = CreateWindowExA(0, "RenderTestWindow", "render test", WS_OVERLAPPEDWINDOW, 0, 0,
                                clientWidth + 16, clientHeight + 39, NULL, NULL,
                                GetModuleHandleA(NULL), NULL);
    if (hwnd)
        ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

// 0xAARRGGBB per pixel, top row first.
struct Image {
    int width = 0;
    int height = 0;
    std::vector<uint32_t> pixels;
    bool Empty() const { return pixels.empty(); }
    uint32_t At(int x, int y) const { return pixels[(size_t)y * width + x] & 0x00FFFFFFu; }
};

// Render target 0 as it is now (before Present).
inline Image ReadRenderTarget()
{
    Image image;
    if (!objDevice)
        return image;
    IDirect3DSurface9* target = nullptr;
    if (FAILED(objDevice->GetRenderTarget(0, &target)) || !target)
        return image;
    D3DSURFACE_DESC desc;
    target->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    if (SUCCEEDED(objDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format,
                                                         D3DPOOL_SYSTEMMEM, &copy, NULL)) &&
        SUCCEEDED(objDevice->GetRenderTargetData(target, copy))) {
        D3DLOCKED_RECT locked;
        if (SUCCEEDED(copy->LockRect(&locked, NULL, D3DLOCK_READONLY))) {
            image.width = (int)desc.Width;
            image.height = (int)desc.Height;
            image.pixels.resize((size_t)image.width * image.height);
            for (int y = 0; y < image.height; ++y)
                std::memcpy(&image.pixels[(size_t)y * image.width],
                            static_cast<const char*>(locked.pBits) + (size_t)y * locked.Pitch,
                            (size_t)image.width * 4);
            copy->UnlockRect();
        }
    }
    if (copy)
        copy->Release();
    target->Release();
    return image;
}

inline int Channel(uint32_t rgb, int shift)
{
    return (int)((rgb >> shift) & 0xFF);
}

// Largest per-channel difference of two colours (alpha ignored).
inline int ColorDistance(uint32_t a, uint32_t b)
{
    int d = 0;
    for (int shift : {16, 8, 0}) {
        int c = Channel(a, shift) - Channel(b, shift);
        d = std::max(d, c < 0 ? -c : c);
    }
    return d;
}

// The rectangle of pixels matching colour (within tolerance): {left, top, right, bottom}, inclusive.
struct Extent {
    int left = -1, top = -1, right = -1, bottom = -1;
    long count = 0;
};

inline Extent FindColor(const Image& image, uint32_t colour, int tolerance = 8)
{
    Extent e;
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x)
            if (ColorDistance(image.At(x, y), colour) <= tolerance) {
                if (e.count == 0 || x < e.left) e.left = x;
                if (e.count == 0 || y < e.top) e.top = y;
                if (x > e.right) e.right = x;
                if (y > e.bottom) e.bottom = y;
                ++e.count;
            }
    return e;
}

inline D3D9FrameStats CurrentStats()
{
    D3D9FrameStats stats = {};
    D3D9_GetFrameStats(objDevice, &stats, nullptr);
    return stats;
}

// A fresh temporary folder, removed with the object.
struct TempDir {
    std::filesystem::path path;
    TempDir()
    {
        static int counter = 0;
        path = std::filesystem::temp_directory_path() /
               ("vorpex_render_" + std::to_string(::getpid()) + "_" + std::to_string(counter++));
        std::filesystem::create_directories(path);
    }
    ~TempDir()
    {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string File(const std::string& name) const { return (path / name).string(); }
};

// Uncompressed 32-bit TGA, top row first; pixel(x, y) gives 0xAARRGGBB.
template <typename PixelFn>
inline bool WriteTga(const std::string& file, int width, int height, PixelFn pixel)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return false;
    unsigned char header[18] = {};
    header[2] = 2;                                   // uncompressed true colour
    header[12] = (unsigned char)(width & 0xFF);
    header[13] = (unsigned char)(width >> 8);
    header[14] = (unsigned char)(height & 0xFF);
    header[15] = (unsigned char)(height >> 8);
    header[16] = 32;
    header[17] = 0x28;                               // 8 alpha bits, top-left origin
    std::fwrite(header, 1, sizeof(header), f);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const uint32_t c = pixel(x, y);
            const unsigned char bgra[4] = {(unsigned char)(c & 0xFF), (unsigned char)((c >> 8) & 0xFF),
                                           (unsigned char)((c >> 16) & 0xFF), (unsigned char)(c >> 24)};
            std::fwrite(bgra, 1, 4, f);
        }
    std::fclose(f);
    return true;
}

inline bool WriteSolidTga(const std::string& file, int width, int height, uint32_t argb)
{
    return WriteTga(file, width, height, [argb](int, int) { return argb; });
}

inline bool WriteText(const std::string& file, const std::string& text)
{
    FILE* f = std::fopen(file.c_str(), "wb");
    if (!f)
        return false;
    std::fwrite(text.data(), 1, text.size(), f);
    std::fclose(f);
    return true;
}

// Base fixture: a window of the given client size and an initialised engine;
// skipped without a device.
class EngineFixture : public ::testing::Test {
protected:
    virtual int ClientWidth() const { return 1024; }
    virtual int ClientHeight() const { return 768; }

    void SetUp() override
    {
        win32test::ClearMessageBoxLog();
        hwnd = CreateTestWindow(ClientWidth(), ClientHeight());
        if (!hwnd)
            GTEST_SKIP() << "no window could be created (SDL offscreen driver missing?)";
        engine = new vEngine;
        if (FAILED(engine->InitWindowed(hwnd)))
            GTEST_SKIP() << "no Direct3D device on this machine (no headless GL context)";
        engine->m_showFps = false;
        engine->m_showWindowSize = false;
    }
    // Device objects the fixture's members hold, released while the device is
    // still open (as the game's globals go before its engine).
    virtual void ReleaseResources() {}

    void TearDown() override
    {
        ReleaseResources();
        delete engine;
        engine = nullptr;
        if (hwnd)
            DestroyWindow(hwnd);
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
            if (shown == entry)
                return true;
        return false;
    }

    HWND hwnd = NULL;
    vEngine* engine = nullptr;
    TempDir temp;
};

}  // namespace rendertest
