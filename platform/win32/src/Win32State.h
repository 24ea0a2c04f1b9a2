// The window layer's process-wide state: window classes, the window table,
// the message queue, key and cursor state and the clock. Internal to the
// layer's sources.
#pragma once

#include <windows.h>

#include <deque>
#include <memory>
#include <string>
#include <vector>

struct SDL_Window;

// The fixed window frame: the client area is the outer rectangle less these.
constexpr int kFrameLeft = 8;
constexpr int kFrameRight = 8;
constexpr int kFrameTop = 31;
constexpr int kFrameBottom = 8;

struct HWND__ {
    std::string className;
    std::string title;
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    DWORD style = 0;
    DWORD exStyle = 0;
    SDL_Window* sdl = nullptr;  // kept (hidden) after destruction, see DestroyWindow
    RECT outer = {0, 0, 0, 0};  // screen coordinates, frame included
    bool alive = true;
    bool visible = false;
    bool destroying = false;
    bool desktop = false;
    // Full screen (Win32Display.h): outer keeps the rectangle the window had,
    // and the SDL window's own moves and sizes are not the window's.
    bool fullScreen = false;
};

namespace win32detail {

struct WindowClass {
    std::string name;  // as registered
    WNDPROC proc = nullptr;
    HINSTANCE instance = nullptr;
    UINT style = 0;
    ATOM atom = 0;
};

// A queued message; key messages also carry the key that made them (left or
// right modifier), since their wParam names the generic key only.
struct QueuedMessage {
    MSG msg;
    int keyVk = 0;
};

struct State {
    // Windows and classes. Window records are never freed, so a stale handle
    // never aliases a new window and IsWindow stays reliable.
    std::vector<WindowClass> classes;
    std::vector<std::unique_ptr<HWND__>> windows;
    HWND__ desktopWindow;
    ATOM nextAtom = 0xC000;
    HWND active = nullptr;

    // Message queue: posted and input messages in arrival order; WM_QUIT is a
    // flag served once nothing else is waiting.
    std::deque<QueuedMessage> queue;
    bool quitPending = false;
    int quitCode = 0;

    // Keyboard: keys held on the real keyboard by SDL scancode, keys held by
    // injection by virtual-key code, and the toggle bit per virtual-key code.
    std::vector<bool> scancodeDown;
    bool injectedDown[256] = {};
    bool toggled[256] = {};
    // GetKeyState follows the message queue: while key messages of a key wait
    // in the queue it reports the state as of the last one retrieved.
    int keyMessagesQueued[256] = {};
    bool keyDownAsRetrieved[256] = {};
    bool mouseDown[3] = {};  // left, right, middle

    // Cursor in screen coordinates and the display counter of ShowCursor.
    POINT cursor = {0, 0};
    int cursorCounter = 0;

    // Clock.
    bool virtualClock = false;
    unsigned long long virtualNs = 0;

    std::vector<std::string> messageBoxLog;
    bool sdlTried = false;
    bool sdlVideo = false;
};

State& GetState();

// SDL set-up on first use: video, events and timer, GL attributes for a 3.3
// core context. False when SDL video cannot start (logged once).
bool EnsureSdl();
bool IsHeadless();

HWND__* LookupWindow(HWND hwnd);  // live window or NULL (desktop excluded)
HWND__* LookupWindowBySdlId(unsigned int windowId);
void ClientOrigin(const HWND__* w, POINT* origin);  // client (0, 0) in screen coordinates
int ClientWidth(const HWND__* w);                   // from outer, less the frame; 0 or more
int ClientHeight(const HWND__* w);

// Queueing. PostInput coalesces a mouse move with a mouse move queued just
// before it for the same window.
void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
// Queues a key message of the specific key keyVk, which was down before it
// (wasDown) as far as the queue is concerned.
void PostKey(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, int keyVk, bool wasDown);
void PostFront(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
void PurgeWindowMessages(HWND hwnd);
void PumpSdlEvents();

// Activation: moves keyboard focus to hwnd (NULL: none) with WM_ACTIVATE to
// the window losing it and the window gaining it.
void Activate(HWND hwnd, WORD how);

// Input entry points shared by real SDL events and the test seam.
// Queues WM_KEYDOWN / WM_KEYUP for a key whose state the caller has updated.
void KeyMessage(int virtKey, bool down, bool wasDown);
void MouseMoveTo(HWND hwnd, int clientX, int clientY);
// A mouse point in pixels of the window's drawable: the client point shown
// there (Win32_PresentRect; over a bar the nearest edge of the picture).
void MouseMoveToDrawable(HWND hwnd, int drawableX, int drawableY);
void MouseButtonEvent(HWND hwnd, int button, bool down);  // 0 left, 1 right, 2 middle
// WM_MOUSEWHEEL: the delta (WHEEL_DELTA per notch, positive away from the user)
// in the high word of wParam, the button flags in the low word, the cursor's
// screen position in lParam.
void MouseWheelEvent(HWND hwnd, int delta);
void CharUnits(const char* utf8);

DWORD NowMs();

}  // namespace win32detail
