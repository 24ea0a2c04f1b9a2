// Window classes, windows and their rectangles, activation, and the GL
// context the device layer makes on a window.
#include "Win32TestWindow.h"

#include <Win32DeviceSeam.h>
#include <RequireDevice.h>

#include <SDL.h>

#include <algorithm>
#include <cstring>

namespace {

using Win32Window = Win32Test;

TEST_F(Win32Window, GameSizedWindowHasFrameLessClientArea)
{
    HWND w = OpenWindow(300, 100, 1032, 795);
    ASSERT_NE(w, nullptr);

    RECT client;
    ASSERT_TRUE(GetClientRect(w, &client));
    EXPECT_EQ(client.left, 0);
    EXPECT_EQ(client.top, 0);
    EXPECT_EQ(client.right, 1016);
    EXPECT_EQ(client.bottom, 756);

    RECT outer;
    ASSERT_TRUE(GetWindowRect(w, &outer));
    EXPECT_EQ(outer.left, 300);
    EXPECT_EQ(outer.top, 100);
    EXPECT_EQ(outer.right, 1332);
    EXPECT_EQ(outer.bottom, 895);

    // The SDL window is the client area, placed inside the frame.
    SDL_Window* sdl = Win32_GetSDLWindow(w);
    ASSERT_NE(sdl, nullptr);
    int cw = 0, ch = 0;
    SDL_GetWindowSize(sdl, &cw, &ch);
    EXPECT_EQ(cw, 1016);
    EXPECT_EQ(ch, 756);
    EXPECT_EQ(Win32_GetHWND(sdl), w);
}

TEST_F(Win32Window, ClientAndScreenPointsDifferByWindowPositionAndFrame)
{
    HWND w = OpenWindow(300, 100);
    POINT p = {10, 20};
    ASSERT_TRUE(ClientToScreen(w, &p));
    EXPECT_EQ(p.x, 300 + 8 + 10);
    EXPECT_EQ(p.y, 100 + 31 + 20);
    ASSERT_TRUE(ScreenToClient(w, &p));
    EXPECT_EQ(p.x, 10);
    EXPECT_EQ(p.y, 20);
}

TEST_F(Win32Window, TinyWindowReportsEmptyClientArea)
{
    HWND w = OpenWindow(0, 0, 10, 10);
    ASSERT_NE(w, nullptr);
    RECT r;
    ASSERT_TRUE(GetClientRect(w, &r));
    EXPECT_EQ(r.right, 0);
    EXPECT_EQ(r.bottom, 0);
}

TEST_F(Win32Window, ShownWindowIsActiveAndActivationMovesWithMessages)
{
    HWND a = OpenWindow(0, 0, 200, 200, false);
    EXPECT_NE(GetActiveWindow(), a);  // hidden windows do not take focus
    ShowWindow(a, SW_SHOWDEFAULT);
    EXPECT_EQ(GetActiveWindow(), a);
    EXPECT_EQ(GetFocus(), a);

    HWND b = OpenWindow(0, 0, 200, 200);
    EXPECT_EQ(GetActiveWindow(), b);
    std::vector<MSG> act = DrainOf(WM_ACTIVATE);
    ASSERT_EQ(act.size(), 3u);  // a active; a inactive; b active
    EXPECT_EQ(act[1].hwnd, a);
    EXPECT_EQ(LOWORD(act[1].wParam), WA_INACTIVE);
    EXPECT_EQ(reinterpret_cast<HWND>(act[1].lParam), b);
    EXPECT_EQ(act[2].hwnd, b);
    EXPECT_EQ(LOWORD(act[2].wParam), WA_ACTIVE);

    win32test::SetActiveWindow(a);
    EXPECT_EQ(GetActiveWindow(), a);
    act = DrainOf(WM_ACTIVATE);
    ASSERT_EQ(act.size(), 2u);
    EXPECT_EQ(act[0].hwnd, b);
    EXPECT_EQ(LOWORD(act[0].wParam), WA_INACTIVE);
    EXPECT_EQ(act[1].hwnd, a);
    EXPECT_EQ(LOWORD(act[1].wParam), WA_ACTIVE);

    win32test::SetActiveWindow(nullptr);
    EXPECT_EQ(GetActiveWindow(), nullptr);
}

TEST_F(Win32Window, DestroyedWindowIsGoneAndLosesFocus)
{
    HWND w = OpenWindow();
    SDL_Window* sdl = Win32_GetSDLWindow(w);
    Recorded().clear();
    ASSERT_TRUE(DestroyWindow(w));
    ASSERT_EQ(Recorded().size(), 1u);  // sent, not queued
    EXPECT_EQ(Recorded()[0].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(IsWindow(w));
    EXPECT_EQ(GetActiveWindow(), nullptr);
    EXPECT_EQ(Win32_GetSDLWindow(w), nullptr);
    EXPECT_EQ(Win32_GetHWND(sdl), nullptr);
    RECT r;
    EXPECT_FALSE(GetClientRect(w, &r));
    EXPECT_FALSE(DestroyWindow(w));
    EXPECT_FALSE(PostMessageA(w, WM_USER, 0, 0));
}

TEST_F(Win32Window, ClassesAreRegisteredOnceAndOutliveTheirWindows)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = RecordingProc;
    wc.lpszClassName = "Win32TestOther";
    ATOM atom = RegisterClassExA(&wc);
    EXPECT_NE(atom, 0);
    wc.lpszClassName = "WIN32TESTOTHER";  // names ignore case
    EXPECT_EQ(RegisterClassExA(&wc), 0);

    WNDCLASSEXA bad = wc;
    bad.cbSize = 0;
    bad.lpszClassName = "Win32TestBad";
    EXPECT_EQ(RegisterClassExA(&bad), 0);
    EXPECT_EQ(RegisterClassExA(nullptr), 0);

    HWND w = CreateWindowExA(0, "win32testother", "t", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    windows_.push_back(w);
    EXPECT_FALSE(UnregisterClassA("Win32TestOther", nullptr));  // a window of it exists
    DestroyWindow(w);
    EXPECT_TRUE(UnregisterClassA("Win32TestOther", nullptr));
    EXPECT_EQ(CreateWindowExA(0, "Win32TestOther", "t", 0, 0, 0, 100, 100, nullptr, nullptr, nullptr, nullptr),
              nullptr);
}

TEST_F(Win32Window, DesktopAndModuleHandles)
{
    HWND desktop = GetDesktopWindow();
    ASSERT_NE(desktop, nullptr);
    EXPECT_TRUE(IsWindow(desktop));
    RECT r;
    ASSERT_TRUE(GetClientRect(desktop, &r));
    EXPECT_GT(r.right, 0);
    EXPECT_GT(r.bottom, 0);
    EXPECT_NE(GetModuleHandleA(nullptr), nullptr);
    EXPECT_EQ(GetModuleHandleA(nullptr), GetModuleHandleA(nullptr));
    EXPECT_FALSE(IsWindow(nullptr));
}

TEST_F(Win32Window, TitleReachesTheSdlWindow)
{
    HWND w = OpenWindow();
    ASSERT_TRUE(SetWindowTextA(w, "KOLVAR - By Morquil"));
    EXPECT_STREQ(SDL_GetWindowTitle(Win32_GetSDLWindow(w)), "KOLVAR - By Morquil");
}

// The device layer's path: a 3.3 core context on the window's SDL window.
TEST_F(Win32Window, SdlWindowTakesACoreGlContext)
{
    HWND w = OpenWindow(0, 0, 16 + 64, 39 + 48);
    ASSERT_NE(w, nullptr);
    SDL_Window* sdl = Win32_GetSDLWindow(w);
    ASSERT_NE(sdl, nullptr);
    ASSERT_TRUE(SDL_GetWindowFlags(sdl) & SDL_WINDOW_OPENGL);
    SDL_GLContext ctx = SDL_GL_CreateContext(sdl);
    if (!ctx) RENDERTEST_NO_DEVICE(std::string("no GL context through SDL: ") + SDL_GetError());

    using GetString = const unsigned char* (*)(unsigned);
    using GetIntegerv = void (*)(unsigned, int*);
    using ClearColor = void (*)(float, float, float, float);
    using Clear = void (*)(unsigned);
    using ReadPixels = void (*)(int, int, int, int, unsigned, unsigned, void*);
    auto getString = reinterpret_cast<GetString>(SDL_GL_GetProcAddress("glGetString"));
    auto getIntegerv = reinterpret_cast<GetIntegerv>(SDL_GL_GetProcAddress("glGetIntegerv"));
    auto clearColor = reinterpret_cast<ClearColor>(SDL_GL_GetProcAddress("glClearColor"));
    auto clear = reinterpret_cast<Clear>(SDL_GL_GetProcAddress("glClear"));
    auto readPixels = reinterpret_cast<ReadPixels>(SDL_GL_GetProcAddress("glReadPixels"));
    ASSERT_TRUE(getString && getIntegerv && clearColor && clear && readPixels);

    const char* version = reinterpret_cast<const char*>(getString(0x1F02));  // GL_VERSION
    ASSERT_NE(version, nullptr);
    int major = 0, minor = 0, profile = 0;
    getIntegerv(0x821B, &major);    // GL_MAJOR_VERSION
    getIntegerv(0x821C, &minor);    // GL_MINOR_VERSION
    getIntegerv(0x9126, &profile);  // GL_CONTEXT_PROFILE_MASK
    EXPECT_GE(major * 10 + minor, 33) << version;
    EXPECT_TRUE(profile & 0x1) << "not a core profile: " << version;  // CORE_PROFILE_BIT
    int depth = 0, stencil = 0;
    SDL_GL_GetAttribute(SDL_GL_DEPTH_SIZE, &depth);
    SDL_GL_GetAttribute(SDL_GL_STENCIL_SIZE, &stencil);
    EXPECT_GE(depth, 24);
    EXPECT_GE(stencil, 8);

    // Something drawn there can be read back.
    clearColor(1.0f, 0.0f, 0.0f, 1.0f);
    clear(0x4000);  // GL_COLOR_BUFFER_BIT
    unsigned char px[4] = {};
    readPixels(10, 10, 1, 1, 0x1908, 0x1401, px);  // GL_RGBA, GL_UNSIGNED_BYTE
    EXPECT_EQ(px[0], 255);
    EXPECT_EQ(px[1], 0);
    EXPECT_EQ(px[2], 0);
    SDL_GL_DeleteContext(ctx);
}

// A context made on a window must stay usable after the window is destroyed.
TEST_F(Win32Window, GlContextSurvivesWindowDestruction)
{
    HWND w = OpenWindow(0, 0, 100, 100);
    SDL_Window* sdl = Win32_GetSDLWindow(w);
    SDL_GLContext ctx = SDL_GL_CreateContext(sdl);
    if (!ctx) RENDERTEST_NO_DEVICE(std::string("no GL context through SDL: ") + SDL_GetError());
    DestroyWindow(w);
    EXPECT_EQ(SDL_GL_MakeCurrent(sdl, ctx), 0) << SDL_GetError();
    SDL_GL_SwapWindow(sdl);
    SDL_GL_DeleteContext(ctx);
}

}  // namespace
