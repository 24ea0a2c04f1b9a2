// What the engine's benches share: their arguments, a folder for the media
// they write, and the engine opened on a window with the game's 1016 x 756
// client area. Frames are timed with FrameTimes.h.
#pragma once

#include <windows.h>
#include <Win32TestSeam.h>

#include <DeviceStats.h>
#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "FrameTimes.h"
#include "vEngine.h"

namespace bench {

constexpr int kClientWidth = 1016;
constexpr int kClientHeight = 756;

// The frame count argv[index] asks for (at least 10), fallback without one;
// SDL's offscreen driver unless another is asked for.
inline int FramesArgument(int argc, char** argv, int index, int fallback)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    return argc > index ? std::max(10, std::atoi(argv[index])) : fallback;
}

// The start of a bench of a whole program's loop: its arguments, [media
// root, default "."] [frames, default 300], give the frame count and the root
// is entered (false, with the reason on stderr, when it cannot be); the
// virtual clock runs from 100 s.
inline bool StartLoopBench(int argc, char** argv, int* frames)
{
    *frames = FramesArgument(argc, argv, 2, 300);
    if (argc > 1 && chdir(argv[1]) != 0) {
        std::fprintf(stderr, "bench: cannot enter %s\n", argv[1]);
        return false;
    }
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(100000);
    return true;
}

// A new folder of this run's own under the temporary folder, for the media a
// bench writes (the caller removes it).
inline std::filesystem::path MakeBenchFolder(const char* name)
{
    const std::filesystem::path dir =
        std::filesystem::temp_directory_path() / (std::string(name) + "_" + std::to_string(getpid()));
    std::error_code ec;
    std::filesystem::create_directories(dir, ec);
    return dir;
}

inline LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    return DefWindowProcA(hwnd, msg, w, l);
}

// A window of the named class and a new engine on it, its frame-rate and
// window-size lines off; null (and no window), with the reason on stderr,
// when no device can be opened.
inline vEngine* OpenEngine(const char* className, HWND* window)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = WindowProc;
    wc.hInstance = GetModuleHandleA(NULL);
    wc.lpszClassName = className;
    RegisterClassExA(&wc);
    // The window layer's frame: 8 pixels left, right and bottom, 31 on top.
    HWND hwnd = CreateWindowExA(0, className, className, WS_OVERLAPPEDWINDOW, 0, 0, kClientWidth + 16,
                                kClientHeight + 39, NULL, NULL, wc.hInstance, NULL);
    vEngine* engine = new vEngine;
    if (!hwnd || FAILED(engine->InitWindowed(hwnd))) {
        delete engine;
        if (hwnd) DestroyWindow(hwnd);
        std::fprintf(stderr, "bench: no device: cannot run the bench here\n");
        return nullptr;
    }
    engine->m_showFps = false;
    engine->m_showWindowSize = false;
    *window = hwnd;
    return engine;
}

// The engine's back buffer as drawn now, 0xAARRGGBB, top row first; empty
// when it cannot be read.
inline std::vector<std::uint32_t> ReadBackBuffer()
{
    std::vector<std::uint32_t> out;
    IDirect3DSurface9* rt = nullptr;
    if (FAILED(objDevice->GetRenderTarget(0, &rt)) || !rt) return out;
    D3DSURFACE_DESC desc = {};
    rt->GetDesc(&desc);
    IDirect3DSurface9* copy = nullptr;
    D3DLOCKED_RECT locked;
    if (SUCCEEDED(objDevice->CreateOffscreenPlainSurface(desc.Width, desc.Height, desc.Format, D3DPOOL_SYSTEMMEM, &copy,
                                                         NULL)) &&
        SUCCEEDED(objDevice->GetRenderTargetData(rt, copy)) &&
        SUCCEEDED(copy->LockRect(&locked, NULL, D3DLOCK_READONLY))) {
        for (UINT y = 0; y < desc.Height; ++y) {
            const std::uint32_t* row = (const std::uint32_t*)((const char*)locked.pBits + (size_t)y * locked.Pitch);
            out.insert(out.end(), row, row + desc.Width);
        }
        copy->UnlockRect();
    }
    if (copy) copy->Release();
    rt->Release();
    return out;
}

// The device's counts, summed over frames.
struct FrameCounts {
    double drawCalls = 0;
    double primitives = 0;
};

// frames frames of a whole program's loop on the virtual clock: the clock
// 16 ms on, loop passes until the program's frame counter moves, each frame
// timed (into times when not null; the device's context is current after its
// present) and the device's counts of its last frame added to counts.
template <typename FrameCounter, typename LoopPass>
void RunLoopFrames(int frames, FrameCounter frameCount, LoopPass loopPass, std::vector<double>* times,
                   FrameCounts* counts)
{
    for (int f = 0; f < frames; ++f) {
        win32test::AdvanceVirtualTimeMs(16.0);
        const unsigned long before = frameCount();
        TimeFrame(
            [&] {
                while (frameCount() == before) loopPass();
            },
            times);
        D3D9FrameStats stats = {};
        D3D9_GetFrameStats(objDevice, nullptr, &stats);
        counts->drawCalls += stats.drawCalls;
        counts->primitives += stats.primitives;
    }
}

}  // namespace bench
