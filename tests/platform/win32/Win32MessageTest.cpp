// The message queue: injected and real SDL input arriving as window
// messages, dispatch to the window procedure, closing and quitting.
#include "Win32TestWindow.h"

#include <Win32DeviceSeam.h>

#include <SDL.h>

#include <cstring>

namespace {

using Win32Messages = Win32Test;

void PushSdl(SDL_Event e)
{
    ASSERT_EQ(SDL_PushEvent(&e), 1) << SDL_GetError();
}

Uint32 SdlId(HWND w)
{
    return SDL_GetWindowID(Win32_GetSDLWindow(w));
}

TEST_F(Win32Messages, LeftButtonArrivesWithItsClientPoint)
{
    HWND w = OpenWindow();
    Drain();
    win32test::MouseMove(w, 123, 456);
    win32test::MouseButton(w, true);
    win32test::MouseButton(w, false);
    std::vector<MSG> msgs = Drain();
    ASSERT_EQ(msgs.size(), 3u);
    EXPECT_EQ(msgs[0].message, static_cast<UINT>(WM_MOUSEMOVE));
    EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(msgs[1].hwnd, w);
    EXPECT_EQ(msgs[1].lParam, MAKELPARAM(123, 456));
    EXPECT_EQ(GET_X_LPARAM(msgs[1].lParam), 123);
    EXPECT_EQ(GET_Y_LPARAM(msgs[1].lParam), 456);
    EXPECT_EQ(msgs[1].wParam & MK_LBUTTON, static_cast<WPARAM>(MK_LBUTTON));
    EXPECT_EQ(msgs[2].message, static_cast<UINT>(WM_LBUTTONUP));
    EXPECT_EQ(msgs[2].lParam, MAKELPARAM(123, 456));

    // The cursor is the client point on the screen.
    POINT p;
    ASSERT_TRUE(GetCursorPos(&p));
    EXPECT_EQ(p.x, 300 + 8 + 123);
    EXPECT_EQ(p.y, 100 + 31 + 456);
    EXPECT_EQ(msgs[1].pt.x, p.x);
    EXPECT_EQ(msgs[1].pt.y, p.y);
}

TEST_F(Win32Messages, WheelArrivesWithWin32sPacking)
{
    HWND w = OpenWindow();
    win32test::MouseMove(w, 40, 50);
    Drain();

    // Injected: the delta in the high word of wParam, the button flags in the
    // low word, the cursor in screen coordinates in lParam.
    win32test::MouseButton(w, true);
    win32test::MouseWheel(w, -2 * WHEEL_DELTA);
    std::vector<MSG> wheel = DrainOf(WM_MOUSEWHEEL);
    ASSERT_EQ(wheel.size(), 1u);
    EXPECT_EQ(wheel[0].hwnd, w);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), -240);
    EXPECT_EQ(LOWORD(wheel[0].wParam), MK_LBUTTON);
    EXPECT_EQ(GET_X_LPARAM(wheel[0].lParam), 300 + 8 + 40);
    EXPECT_EQ(GET_Y_LPARAM(wheel[0].lParam), 100 + 31 + 50);
    win32test::MouseButton(w, false);
    Drain();

    // A real wheel event: a notch away from the user, and a flipped one.
    SDL_Event e = {};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.windowID = SdlId(w);
    e.wheel.y = 1;
    e.wheel.direction = SDL_MOUSEWHEEL_NORMAL;
    PushSdl(e);
    e.wheel.direction = SDL_MOUSEWHEEL_FLIPPED;
    PushSdl(e);
    wheel = DrainOf(WM_MOUSEWHEEL);
    ASSERT_EQ(wheel.size(), 2u);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[0].wParam), WHEEL_DELTA);
    EXPECT_EQ(LOWORD(wheel[0].wParam), 0);
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(wheel[1].wParam), -WHEEL_DELTA);
    EXPECT_EQ(GET_X_LPARAM(wheel[1].lParam), 300 + 8 + 40);
}

TEST_F(Win32Messages, MouseMovesInARowMergeIntoTheLatest)
{
    HWND w = OpenWindow();
    Drain();
    win32test::MouseMove(w, 1, 1);
    win32test::MouseMove(w, 2, 2);
    win32test::MouseMove(w, 3, 4);
    win32test::MouseButton(w, true);
    win32test::MouseMove(w, 5, 6);
    std::vector<MSG> msgs = Drain();
    ASSERT_EQ(msgs.size(), 3u);
    EXPECT_EQ(msgs[0].lParam, MAKELPARAM(3, 4));
    EXPECT_EQ(msgs[1].message, static_cast<UINT>(WM_LBUTTONDOWN));
    EXPECT_EQ(msgs[2].lParam, MAKELPARAM(5, 6));
    EXPECT_EQ(msgs[2].wParam, static_cast<WPARAM>(MK_LBUTTON));  // dragging
    EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
}

TEST_F(Win32Messages, TypedTextAndBackspaceArriveAsCharacters)
{
    HWND w = OpenWindow();
    Drain();
    win32test::TypeText("a");
    win32test::KeyDown(VK_BACK);  // no text of its own: TranslateMessage gives 8
    win32test::KeyUp(VK_BACK);
    win32test::KeyDown(VK_RETURN);
    win32test::KeyUp(VK_RETURN);
    win32test::TypeChar(8);
    Recorded().clear();
    DispatchAll();

    std::vector<WPARAM> chars;
    for (const RecordedMessage& m : Recorded()) {
        EXPECT_EQ(m.hwnd, w);
        if (m.message == WM_CHAR) chars.push_back(m.wParam);
    }
    ASSERT_EQ(chars.size(), 4u);
    EXPECT_EQ(chars[0], 97u);
    EXPECT_EQ(chars[1], 8u);
    EXPECT_EQ(chars[2], 13u);
    EXPECT_EQ(chars[3], 8u);
    // The character follows its key-down directly.
    ASSERT_GE(Recorded().size(), 3u);
    EXPECT_EQ(Recorded()[1].message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_EQ(Recorded()[2].message, static_cast<UINT>(WM_CHAR));
}

TEST_F(Win32Messages, TextBecomesUtf16Units)
{
    OpenWindow();
    Drain();
    win32test::TypeText("\xC3\xA9\xF0\x9F\x99\x82x\xFF");  // e-acute, a smiley, x, a bad byte
    std::vector<MSG> chars = DrainOf(WM_CHAR);
    ASSERT_EQ(chars.size(), 5u);
    EXPECT_EQ(chars[0].wParam, 0xE9u);
    EXPECT_EQ(chars[1].wParam, 0xD83Du);
    EXPECT_EQ(chars[2].wParam, 0xDE42u);
    EXPECT_EQ(chars[3].wParam, static_cast<WPARAM>('x'));
    EXPECT_EQ(chars[4].wParam, 0xFFFDu);
}

TEST_F(Win32Messages, KeysGoToTheActiveWindowOnly)
{
    HWND a = OpenWindow(0, 0, 200, 200);
    HWND b = OpenWindow(0, 0, 200, 200);
    ASSERT_EQ(GetActiveWindow(), b);
    Drain();
    win32test::KeyDown('W');
    win32test::SetActiveWindow(a);
    win32test::KeyUp('W');
    std::vector<MSG> keys = Drain();
    std::vector<MSG> down, up;
    for (const MSG& m : keys) {
        if (m.message == WM_KEYDOWN) down.push_back(m);
        if (m.message == WM_KEYUP) up.push_back(m);
    }
    ASSERT_EQ(down.size(), 1u);
    ASSERT_EQ(up.size(), 1u);
    EXPECT_EQ(down[0].hwnd, b);
    EXPECT_EQ(down[0].wParam, static_cast<WPARAM>('W'));
    EXPECT_EQ(up[0].hwnd, a);
    EXPECT_TRUE(up[0].lParam & (1u << 31));  // transition: released

    win32test::SetActiveWindow(nullptr);
    Drain();
    win32test::KeyDown('W');
    EXPECT_TRUE(DrainOf(WM_KEYDOWN).empty());
    EXPECT_LT(GetKeyState('W'), 0);  // the key is still held
}

// GetKeyState follows the queue: a tap whose press and release arrive
// together is seen down after the press is retrieved and up after the
// release; GetAsyncKeyState answers the keyboard as it is now.
TEST_F(Win32Messages, KeyStateFollowsRetrievedKeyMessages)
{
    OpenWindow(0, 0, 200, 200);
    Drain();
    win32test::KeyDown(VK_ESCAPE);
    win32test::KeyUp(VK_ESCAPE);
    win32test::KeyDown(VK_LCONTROL);
    win32test::KeyUp(VK_LCONTROL);
    EXPECT_GE(GetKeyState(VK_ESCAPE), 0) << "no key message retrieved yet";

    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_GE(GetKeyState(VK_ESCAPE), 0) << "a message looked at but left in the queue moves nothing";
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(m.message, static_cast<UINT>(WM_KEYDOWN));
    EXPECT_LT(GetKeyState(VK_ESCAPE), 0) << "down once its WM_KEYDOWN is retrieved";
    EXPECT_EQ(GetAsyncKeyState(VK_ESCAPE), 0) << "the keyboard itself has it up";
    EXPECT_LT(GetKeyState(VK_ESCAPE), 0) << "and it stays down until the WM_KEYUP";
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(m.message, static_cast<UINT>(WM_KEYUP));
    EXPECT_GE(GetKeyState(VK_ESCAPE), 0);

    // The left Control key: its messages say VK_CONTROL, the state follows the left key.
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    ASSERT_EQ(m.wParam, static_cast<WPARAM>(VK_CONTROL));
    EXPECT_LT(GetKeyState(VK_LCONTROL), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_RCONTROL), 0);
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);

    // A window destroyed with key messages waiting leaves the current state.
    HWND w = OpenWindow(0, 0, 200, 200);
    Drain();
    win32test::KeyDown('Q');
    DestroyWindow(w);
    Drain();
    EXPECT_LT(GetKeyState('Q'), 0);
    win32test::KeyUp('Q');
    Drain();
    EXPECT_GE(GetKeyState('Q'), 0);
}

TEST_F(Win32Messages, CloseBoxEndsInDestroyThroughDefWindowProc)
{
    HWND w = OpenWindow();
    DispatchAll();
    Recorded().clear();
    win32test::ClickClose(w);
    DispatchAll();
    ASSERT_EQ(Recorded().size(), 2u);
    EXPECT_EQ(Recorded()[0].message, static_cast<UINT>(WM_CLOSE));
    EXPECT_EQ(Recorded()[1].message, static_cast<UINT>(WM_DESTROY));
    EXPECT_FALSE(IsWindow(w));
}

LRESULT CALLBACK QuitOnDestroyProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam)
{
    if (msg == WM_DESTROY) PostQuitMessage(3);
    return DefWindowProcA(hwnd, msg, wParam, lParam);
}

TEST_F(Win32Messages, CloseBoxThenQuitEndsAGetMessageLoop)
{
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = QuitOnDestroyProc;
    wc.lpszClassName = "Win32QuitOnDestroy";
    RegisterClassExA(&wc);
    HWND w = CreateWindowExA(0, "Win32QuitOnDestroy", "q", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 200, 200, nullptr,
                             nullptr, nullptr, nullptr);
    ASSERT_NE(w, nullptr);
    windows_.push_back(w);
    EXPECT_EQ(GetActiveWindow(), w);

    // The real close box: SDL's close event.
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SdlId(w);
    e.window.event = SDL_WINDOWEVENT_CLOSE;
    PushSdl(e);

    // The game's GetMessage loop, stopped early rather than blocking if
    // nothing is left to take.
    MSG m = {};
    BOOL r = -2;
    for (int passes = 0; passes < 100 && PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE); ++passes) {
        r = GetMessageA(&m, nullptr, 0, 0);
        if (r <= 0) break;
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    EXPECT_EQ(r, FALSE);
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 3u);
    EXPECT_FALSE(IsWindow(w));
}

TEST_F(Win32Messages, QuitComesAfterWaitingMessagesAndOnlyOnce)
{
    HWND w = OpenWindow();
    Drain();
    PostQuitMessage(7);
    PostMessageA(w, WM_USER + 1, 11, 22);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));  // still there after NOREMOVE
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
    EXPECT_EQ(m.wParam, 11u);
    EXPECT_EQ(m.lParam, 22);

    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
    EXPECT_EQ(m.wParam, 7u);
    EXPECT_EQ(m.hwnd, nullptr);
    EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Win32Messages, FiltersByWindowAndRange)
{
    HWND a = OpenWindow(0, 0, 100, 100);
    HWND b = OpenWindow(0, 0, 100, 100);
    Drain();
    PostMessageA(a, WM_USER + 1, 0, 0);
    PostMessageA(b, WM_USER + 2, 0, 0);
    PostMessageA(nullptr, WM_USER + 3, 0, 0);
    MSG m;
    ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
    EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 3));
    EXPECT_FALSE(PeekMessageA(&m, b, 0, 0, PM_REMOVE));
    ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
    EXPECT_EQ(m.hwnd, a);
    EXPECT_EQ(DispatchMessageA(nullptr), 0);
}

TEST_F(Win32Messages, SendCallsTheProcedureAtOnceAndDestroyDropsQueuedMessages)
{
    HWND w = OpenWindow();
    DispatchAll();
    Recorded().clear();
    SendMessageA(w, WM_USER + 5, 1, 2);
    ASSERT_EQ(Recorded().size(), 1u);
    EXPECT_EQ(Recorded()[0].message, static_cast<UINT>(WM_USER + 5));

    PostMessageA(w, WM_USER + 6, 0, 0);
    DestroyWindow(w);
    for (const MSG& m : Drain()) EXPECT_NE(m.hwnd, w);
    EXPECT_EQ(SendMessageA(w, WM_USER, 0, 0), 0);
}

// Real SDL events take the same path as injected ones.
TEST_F(Win32Messages, RealSdlInputBecomesMessages)
{
    HWND w = OpenWindow();
    Drain();
    Uint32 id = SdlId(w);

    SDL_Event e = {};
    e.type = SDL_KEYDOWN;
    e.key.windowID = id;
    e.key.state = SDL_PRESSED;
    e.key.keysym.scancode = SDL_SCANCODE_RCTRL;
    PushSdl(e);
    e.key.keysym.scancode = SDL_SCANCODE_D;
    PushSdl(e);

    SDL_Event t = {};
    t.type = SDL_TEXTINPUT;
    t.text.windowID = id;
    std::strcpy(t.text.text, "d");
    PushSdl(t);

    SDL_Event b = {};
    b.type = SDL_MOUSEBUTTONDOWN;
    b.button.windowID = id;
    b.button.button = SDL_BUTTON_LEFT;
    b.button.state = SDL_PRESSED;
    b.button.x = 40;
    b.button.y = 50;
    PushSdl(b);

    std::vector<MSG> msgs = Drain();
    std::vector<MSG> keys, chars, clicks;
    for (const MSG& m : msgs) {
        if (m.message == WM_KEYDOWN) keys.push_back(m);
        if (m.message == WM_CHAR) chars.push_back(m);
        if (m.message == WM_LBUTTONDOWN) clicks.push_back(m);
    }
    ASSERT_EQ(keys.size(), 2u);
    EXPECT_EQ(keys[0].wParam, static_cast<WPARAM>(VK_CONTROL));  // either side reads as Control
    EXPECT_EQ(keys[1].wParam, static_cast<WPARAM>('D'));
    ASSERT_EQ(chars.size(), 1u);
    EXPECT_EQ(chars[0].wParam, static_cast<WPARAM>('d'));
    ASSERT_EQ(clicks.size(), 1u);
    EXPECT_EQ(clicks[0].lParam, MAKELPARAM(40, 50));
    EXPECT_LT(GetKeyState(VK_RCONTROL), 0);
    EXPECT_LT(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState(VK_LCONTROL), 0);
    EXPECT_LT(GetKeyState('D'), 0);

    e.type = SDL_KEYUP;
    e.key.state = SDL_RELEASED;
    e.key.keysym.scancode = SDL_SCANCODE_RCTRL;
    PushSdl(e);
    e.key.keysym.scancode = SDL_SCANCODE_D;
    PushSdl(e);
    b.type = SDL_MOUSEBUTTONUP;
    b.button.state = SDL_RELEASED;
    PushSdl(b);
    Drain();
    EXPECT_GE(GetKeyState(VK_CONTROL), 0);
    EXPECT_GE(GetKeyState('D'), 0);
    EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
}

TEST_F(Win32Messages, SdlFocusEventsMoveActivation)
{
    HWND a = OpenWindow(0, 0, 100, 100);
    HWND b = OpenWindow(0, 0, 100, 100);
    ASSERT_EQ(GetActiveWindow(), b);
    SDL_Event e = {};
    e.type = SDL_WINDOWEVENT;
    e.window.windowID = SdlId(b);
    e.window.event = SDL_WINDOWEVENT_FOCUS_LOST;
    PushSdl(e);
    Drain();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    e.window.windowID = SdlId(a);
    e.window.event = SDL_WINDOWEVENT_FOCUS_GAINED;
    PushSdl(e);
    std::vector<MSG> act = DrainOf(WM_ACTIVATE);
    EXPECT_EQ(GetActiveWindow(), a);
    ASSERT_EQ(act.size(), 1u);
    EXPECT_EQ(act[0].hwnd, a);
    EXPECT_EQ(LOWORD(act[0].wParam), WA_ACTIVE);
}

}  // namespace
