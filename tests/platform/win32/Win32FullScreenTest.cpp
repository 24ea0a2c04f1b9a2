// Full screen: the SDL window takes the display and comes back where it was,
// the window's own rectangles never change, and mouse points over the screen
// come back as the client pixels the picture shows there.
#include "Win32TestWindow.h"

#include <Win32DeviceSeam.h>
#include <Win32Display.h>

#include <SDL.h>

namespace {

class Win32FullScreen : public Win32Test {
protected:
    // The client point the last queued WM_MOUSEMOVE carries.
    static POINT LastMove()
    {
        std::vector<MSG> moves = DrainOf(WM_MOUSEMOVE);
        if (moves.empty()) return {-1, -1};
        return {(short)LOWORD(moves.back().lParam), (short)HIWORD(moves.back().lParam)};
    }
};

SDL_Rect Display()
{
    SDL_Rect b = {0, 0, 0, 0};
    SDL_GetDisplayBounds(0, &b);
    return b;
}

bool SameRect(const RECT& a, const RECT& b)
{
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

TEST_F(Win32FullScreen, TakesTheDisplayAndComesBackWhereItWas)
{
    HWND w = OpenWindow(300, 100, 1032, 795);
    ASSERT_NE(w, nullptr);
    SDL_Window* sdl = Win32_GetSDLWindow(w);
    RECT outer, client;
    GetWindowRect(w, &outer);
    GetClientRect(w, &client);
    Drain();
    EXPECT_FALSE(Win32_IsFullScreen(w));

    ASSERT_TRUE(Win32_SetFullScreen(w, TRUE));
    EXPECT_TRUE(Win32_IsFullScreen(w));
    EXPECT_TRUE(Win32_SetFullScreen(w, TRUE)) << "asking again changes nothing";
    EXPECT_EQ(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN_DESKTOP, (Uint32)SDL_WINDOW_FULLSCREEN_DESKTOP);
    const SDL_Rect display = Display();
    int x = -1, y = -1, width = 0, height = 0;
    SDL_GetWindowPosition(sdl, &x, &y);
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(x, display.x);
    EXPECT_EQ(y, display.y);
    EXPECT_EQ(width, display.w);
    EXPECT_EQ(height, display.h);
    SDL_GL_GetDrawableSize(sdl, &width, &height);
    EXPECT_EQ(width, display.w);
    EXPECT_EQ(height, display.h);
    // The screen's moves and sizes are not the window's: its rectangles stay,
    // and no WM_SIZE or WM_MOVE tells the program otherwise.
    std::vector<MSG> pending = Drain();
    RECT now;
    GetClientRect(w, &now);
    EXPECT_TRUE(SameRect(now, client));
    GetWindowRect(w, &now);
    EXPECT_TRUE(SameRect(now, outer));
    for (const MSG& m : pending) {
        EXPECT_NE(m.message, (UINT)WM_SIZE);
        EXPECT_NE(m.message, (UINT)WM_MOVE);
    }

    ASSERT_TRUE(Win32_SetFullScreen(w, FALSE));
    EXPECT_FALSE(Win32_IsFullScreen(w));
    EXPECT_TRUE(Win32_SetFullScreen(w, FALSE)) << "asking again changes nothing";
    EXPECT_EQ(SDL_GetWindowFlags(sdl) & SDL_WINDOW_FULLSCREEN, 0u);
    SDL_GetWindowPosition(sdl, &x, &y);
    SDL_GetWindowSize(sdl, &width, &height);
    EXPECT_EQ(x, 308);
    EXPECT_EQ(y, 131);
    EXPECT_EQ(width, 1016);
    EXPECT_EQ(height, 756);
    pending = Drain();
    GetClientRect(w, &now);
    EXPECT_TRUE(SameRect(now, client));
    GetWindowRect(w, &now);
    EXPECT_TRUE(SameRect(now, outer));
    for (const MSG& m : pending) EXPECT_NE(m.message, (UINT)WM_SIZE);

    // Back in a window, the system's sizes are the window's again.
    SDL_SetWindowSize(sdl, 800, 600);
    EXPECT_EQ(DrainOf(WM_SIZE).size(), 1u);
    GetClientRect(w, &now);
    EXPECT_EQ(now.right, 800);
    EXPECT_EQ(now.bottom, 600);
}

TEST_F(Win32FullScreen, UnknownAndDestroyedWindowsAreRefused)
{
    EXPECT_FALSE(Win32_SetFullScreen(nullptr, TRUE));
    EXPECT_FALSE(Win32_SetFullScreen(GetDesktopWindow(), TRUE));
    EXPECT_FALSE(Win32_IsFullScreen(nullptr));
    RECT untouched = {1, 2, 3, 4};
    EXPECT_FALSE(Win32_PresentRect(nullptr, &untouched));
    EXPECT_TRUE(SameRect(untouched, RECT{1, 2, 3, 4}));

    HWND w = OpenWindow(0, 0, 200, 200);
    ASSERT_TRUE(DestroyWindow(w));
    EXPECT_FALSE(Win32_SetFullScreen(w, TRUE));
    EXPECT_FALSE(Win32_IsFullScreen(w));
    EXPECT_FALSE(Win32_PresentRect(w, &untouched));
}

TEST_F(Win32FullScreen, PictureIsTheLargestRectangleOfTheClientsShapeCentred)
{
    const SDL_Rect display = Display();
    ASSERT_EQ(display.w, 1024) << "the offscreen driver's screen";
    ASSERT_EQ(display.h, 768);
    // The game's window: 1016 x 756 fills the width (1024 x 761.95), bars of 3 above and below.
    HWND game = OpenWindow(300, 100, 1032, 795);
    RECT r;
    ASSERT_TRUE(Win32_PresentRect(game, &r));
    EXPECT_TRUE(SameRect(r, RECT{0, 0, 1016, 756})) << "a window shows its client area in all of its drawable";
    ASSERT_TRUE(Win32_SetFullScreen(game, TRUE));
    ASSERT_TRUE(Win32_PresentRect(game, &r));
    EXPECT_TRUE(SameRect(r, RECT{0, 3, 1024, 765}));

    // A tall one, 300 x 600: the height, 384 wide, bars of 320 left and right.
    HWND tall = OpenWindow(0, 0, 316, 639);
    ASSERT_TRUE(Win32_SetFullScreen(tall, TRUE));
    ASSERT_TRUE(Win32_PresentRect(tall, &r));
    EXPECT_TRUE(SameRect(r, RECT{320, 0, 704, 768}));
    ASSERT_TRUE(Win32_SetFullScreen(tall, FALSE));
    ASSERT_TRUE(Win32_PresentRect(tall, &r));
    EXPECT_TRUE(SameRect(r, RECT{0, 0, 300, 600}));
}

TEST_F(Win32FullScreen, MousePointsComeBackAsTheClientPixelsShown)
{
    // 512 x 256 full screen on 1024 x 768: twice the size, 128 rows of bar above and below.
    HWND w = OpenWindow(100, 50, 528, 295);
    ASSERT_NE(w, nullptr);
    ASSERT_TRUE(Win32_SetFullScreen(w, TRUE));
    Drain();

    struct Case {
        int x, y;  // drawable
        int clientX, clientY;
    } cases[] = {
        {0, 128, 0, 0}, {1, 129, 0, 0},    {2, 130, 1, 1},        {1023, 639, 511, 255}, {513, 385, 256, 128},
        {0, 0, 0, 0},   {600, 20, 300, 0}, {1023, 767, 511, 255}, {300, 700, 150, 255},
    };
    for (const Case& c : cases) {
        win32test::MouseMoveDrawable(w, c.x, c.y);
        const POINT p = LastMove();
        EXPECT_EQ(p.x, c.clientX) << "drawable " << c.x << "," << c.y;
        EXPECT_EQ(p.y, c.clientY) << "drawable " << c.x << "," << c.y;
    }

    // SDL's own motion and button events take the same way, and GetCursorPos
    // answers the client point in the window's screen position.
    SDL_Event e = {};
    e.type = SDL_MOUSEMOTION;
    e.motion.windowID = SDL_GetWindowID(Win32_GetSDLWindow(w));
    e.motion.x = 513;
    e.motion.y = 385;
    SDL_PushEvent(&e);
    POINT cursor;
    ASSERT_TRUE(GetCursorPos(&cursor));
    EXPECT_EQ(cursor.x, 100 + 8 + 256);
    EXPECT_EQ(cursor.y, 50 + 31 + 128);
    EXPECT_EQ(LastMove().x, 256);
    e = {};
    e.type = SDL_MOUSEBUTTONDOWN;
    e.button.windowID = SDL_GetWindowID(Win32_GetSDLWindow(w));
    e.button.button = SDL_BUTTON_LEFT;
    e.button.state = SDL_PRESSED;
    e.button.x = 21;
    e.button.y = 141;
    SDL_PushEvent(&e);
    std::vector<MSG> downs = DrainOf(WM_LBUTTONDOWN);
    ASSERT_EQ(downs.size(), 1u);
    EXPECT_EQ(LOWORD(downs[0].lParam), 10);
    EXPECT_EQ(HIWORD(downs[0].lParam), 6);

    // Back in a window, drawable points are client points again.
    ASSERT_TRUE(Win32_SetFullScreen(w, FALSE));
    Drain();
    win32test::MouseMoveDrawable(w, 40, 30);
    const POINT p = LastMove();
    EXPECT_EQ(p.x, 40);
    EXPECT_EQ(p.y, 30);
}

}  // namespace
