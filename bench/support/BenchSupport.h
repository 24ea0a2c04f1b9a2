// What the frame benches share: medians and means of frame times, and the
// engine opened on a window with the game's 1016 x 756 client area.
#pragma once

#include <windows.h>

#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "vEngine.h"

namespace bench {

constexpr int kClientWidth = 1016;
constexpr int kClientHeight = 756;

inline double Median(std::vector<double> v)
{
    if (v.empty()) return 0;
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

inline double Mean(const std::vector<double>& v)
{
    double sum = 0;
    for (double t : v) sum += t;
    return v.empty() ? 0 : sum / double(v.size());
}

// The frame benches' arguments, [media root, default "."] [frames, default
// 300]: SDL's offscreen driver unless another is asked for, and the root
// entered; false, with the reason on stderr, when it cannot be.
inline bool FrameBenchArguments(int argc, char** argv, int* frames)
{
    setenv("SDL_VIDEODRIVER", "offscreen", 0);
    if (argc > 1 && chdir(argv[1]) != 0) {
        std::fprintf(stderr, "bench: cannot enter %s\n", argv[1]);
        return false;
    }
    *frames = argc > 2 ? std::max(10, std::atoi(argv[2])) : 300;
    return true;
}

inline LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM w, LPARAM l)
{
    return DefWindowProcA(hwnd, msg, w, l);
}

// A window of the named class and a new engine on it, its frame-rate and
// window-size lines off; null (and no window) when no device can be opened.
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
        return nullptr;
    }
    engine->m_showFps = false;
    engine->m_showWindowSize = false;
    *window = hwnd;
    return engine;
}

}  // namespace bench
