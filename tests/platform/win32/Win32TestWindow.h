// A test window whose procedure records every message it receives, and a
// fixture that starts each test from an empty queue and released keys.
#pragma once

#include <windows.h>

#include <Win32TestSeam.h>

#include <gtest/gtest.h>

#include <vector>

struct RecordedMessage {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
};

inline std::vector<RecordedMessage>& Recorded()
{
    static std::vector<RecordedMessage> messages;
    return messages;
}

// Records, then leaves the rest to DefWindowProcA, as the game's procedure does.
inline LRESULT CALLBACK RecordingProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    Recorded().push_back({hwnd, msg, wParam, lParam});
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Win32Test : public ::testing::Test {
protected:
    static constexpr const char* kClass = "Win32TestWindow";

    void SetUp() override
    {
        WNDCLASSEXA wc = {};
        wc.cbSize = sizeof(wc);
        wc.style = CS_CLASSDC;
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = kClass;
        RegisterClassExA(&wc);  // already there after the first test
        win32test::ReleaseAllKeys();
        win32test::UseVirtualClock(false);
        Drain();
        Recorded().clear();
    }

    void TearDown() override
    {
        for (HWND w : windows_)
            if (IsWindow(w)) DestroyWindow(w);
        win32test::SetActiveWindow(nullptr);
        win32test::ReleaseAllKeys();
        win32test::UseVirtualClock(false);
        Drain();
    }

    // The game's window: 1032 x 795 at (300, 100), shown.
    HWND OpenWindow(int x = 300, int y = 100, int width = 1032, int height = 795, bool show = true)
    {
        HWND w = CreateWindowExA(0, kClass, "test", WS_OVERLAPPEDWINDOW, x, y, width, height, GetDesktopWindow(),
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        if (w) {
            windows_.push_back(w);
            if (show) ShowWindow(w, SW_SHOWDEFAULT);
        }
        return w;
    }

    // Every pending message, removed from the queue, not dispatched.
    static std::vector<MSG> Drain()
    {
        std::vector<MSG> out;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            out.push_back(m);
            if (m.message == WM_QUIT) break;
        }
        return out;
    }

    // Pending messages of one kind.
    static std::vector<MSG> DrainOf(UINT message)
    {
        std::vector<MSG> out;
        for (const MSG& m : Drain())
            if (m.message == message) out.push_back(m);
        return out;
    }

    // The game's loop body: take, translate and dispatch every pending message.
    static int DispatchAll()
    {
        int n = 0;
        MSG m;
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            if (m.message == WM_QUIT) break;
            TranslateMessage(&m);
            DispatchMessageA(&m);
            ++n;
        }
        return n;
    }

    std::vector<HWND> windows_;
};
