// The message queue: SDL events become window messages, read by
// PeekMessageA / GetMessageA and handed to window procedures. Gamepads
// plugged in and out are taken in on the way.
#include "KeyMap.h"
#include "Pad.h"
#include "Win32State.h"

#include <SDL.h>

#include <algorithm>

using win32detail::GetState;
using win32detail::State;

namespace {

MSG MakeMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    MSG m;
    m.hwnd = hwnd;
    m.message = message;
    m.wParam = wParam;
    m.lParam = lParam;
    m.time = win32detail::NowMs();
    m.pt = GetState().cursor;
    return m;
}

// A message matches a PeekMessage filter: a NULL window takes every message
// of the thread, (HWND)-1 only those posted without a window.
bool Matches(const MSG& m, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (hwnd == reinterpret_cast<HWND>(-1)) {
        if (m.hwnd) return false;
    } else if (hwnd && m.hwnd != hwnd) {
        return false;
    }
    if (filterMin == 0 && filterMax == 0) return true;
    return m.message >= filterMin && m.message <= filterMax;
}

int SdlButtonIndex(Uint8 button)
{
    switch (button) {
        case SDL_BUTTON_LEFT:
            return 0;
        case SDL_BUTTON_RIGHT:
            return 1;
        case SDL_BUTTON_MIDDLE:
            return 2;
        default:
            return -1;
    }
}

void HandleWindowEvent(const SDL_WindowEvent& e)
{
    HWND__* w = win32detail::LookupWindowBySdlId(e.windowID);
    if (!w) return;
    State& s = GetState();
    switch (e.event) {
        case SDL_WINDOWEVENT_CLOSE:
            win32detail::Post(w, WM_CLOSE, 0, 0);
            break;
        case SDL_WINDOWEVENT_FOCUS_GAINED:
            if (s.active != w) win32detail::Activate(w, WA_ACTIVE);
            break;
        case SDL_WINDOWEVENT_FOCUS_LOST:
            if (s.active == w) win32detail::Activate(nullptr, WA_INACTIVE);
            break;
        case SDL_WINDOWEVENT_MOVED: {
            if (w->fullScreen) break;  // the screen's position, not the window's
            LONG width = w->outer.right - w->outer.left, height = w->outer.bottom - w->outer.top;
            w->outer.left = e.data1 - kFrameLeft;
            w->outer.top = e.data2 - kFrameTop;
            w->outer.right = w->outer.left + width;
            w->outer.bottom = w->outer.top + height;
            win32detail::Post(w, WM_MOVE, 0, MAKELPARAM(e.data1, e.data2));
            break;
        }
        case SDL_WINDOWEVENT_SIZE_CHANGED:
            if (w->fullScreen) break;  // the client area keeps its size
            w->outer.right = w->outer.left + e.data1 + kFrameLeft + kFrameRight;
            w->outer.bottom = w->outer.top + e.data2 + kFrameTop + kFrameBottom;
            win32detail::Post(w, WM_SIZE, 0, MAKELPARAM(e.data1, e.data2));
            break;
        case SDL_WINDOWEVENT_SHOWN:
            w->visible = true;
            break;
        case SDL_WINDOWEVENT_HIDDEN:
            w->visible = false;
            break;
        default:
            break;
    }
}

// A mouse point in SDL window coordinates: the client point as it is in a
// window; full screen, the client point shown at that point of the drawable.
void MouseAt(HWND__* w, int x, int y)
{
    if (!w->fullScreen) {
        win32detail::MouseMoveTo(w, x, y);
        return;
    }
    int ww = 0, wh = 0, dw = 0, dh = 0;
    SDL_GetWindowSize(w->sdl, &ww, &wh);
    SDL_GL_GetDrawableSize(w->sdl, &dw, &dh);
    if (ww > 0 && wh > 0 && dw > 0 && dh > 0) {
        x = static_cast<int>(static_cast<long long>(x) * dw / ww);
        y = static_cast<int>(static_cast<long long>(y) * dh / wh);
    }
    win32detail::MouseMoveToDrawable(w, x, y);
}

void HandleEvent(const SDL_Event& e)
{
    State& s = GetState();
    switch (e.type) {
        case SDL_WINDOWEVENT:
            HandleWindowEvent(e.window);
            break;
        case SDL_KEYDOWN:
        case SDL_KEYUP: {
            int sc = e.key.keysym.scancode;
            if (sc < 0 || sc >= static_cast<int>(s.scancodeDown.size())) break;
            bool down = e.type == SDL_KEYDOWN;
            bool wasDown = s.scancodeDown[sc];
            s.scancodeDown[sc] = down;
            int vk = win32detail::VirtualKeyFromScancode(sc);
            if (vk) win32detail::KeyMessage(vk, down, wasDown);
            break;
        }
        case SDL_TEXTINPUT:
            win32detail::CharUnits(e.text.text);
            break;
        case SDL_MOUSEMOTION:
            if (HWND__* w = win32detail::LookupWindowBySdlId(e.motion.windowID)) MouseAt(w, e.motion.x, e.motion.y);
            break;
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP: {
            HWND__* w = win32detail::LookupWindowBySdlId(e.button.windowID);
            int index = SdlButtonIndex(e.button.button);
            if (!w || index < 0) break;
            MouseAt(w, e.button.x, e.button.y);
            win32detail::MouseButtonEvent(w, index, e.type == SDL_MOUSEBUTTONDOWN);
            break;
        }
        case SDL_MOUSEWHEEL:
            if (HWND__* w = win32detail::LookupWindowBySdlId(e.wheel.windowID)) {
                int delta = e.wheel.y * WHEEL_DELTA;
                if (e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED) delta = -delta;
                win32detail::MouseWheelEvent(w, delta);
            }
            break;
        case SDL_CONTROLLERDEVICEADDED:
            win32detail::PadAdded(e.cdevice.which);
            break;
        case SDL_CONTROLLERDEVICEREMOVED:
            win32detail::PadRemoved(e.cdevice.which);
            break;
        default:
            break;
    }
}

}  // namespace

namespace win32detail {

void Post(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    State& s = GetState();
    if (message == WM_MOUSEMOVE && !s.queue.empty()) {
        MSG& last = s.queue.back().msg;
        if (last.message == WM_MOUSEMOVE && last.hwnd == hwnd && last.wParam == wParam) {
            last = MakeMessage(hwnd, message, wParam, lParam);
            return;
        }
    }
    s.queue.push_back(QueuedMessage{MakeMessage(hwnd, message, wParam, lParam), 0});
}

void PostKey(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, int keyVk, bool wasDown)
{
    State& s = GetState();
    if (keyVk <= 0 || keyVk > 255) return;
    // The first waiting message of a key starts from the state it changes.
    if (s.keyMessagesQueued[keyVk]++ == 0) s.keyDownAsRetrieved[keyVk] = wasDown;
    s.queue.push_back(QueuedMessage{MakeMessage(hwnd, message, wParam, lParam), keyVk});
}

void PostFront(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    GetState().queue.push_front(QueuedMessage{MakeMessage(hwnd, message, wParam, lParam), 0});
}

void PurgeWindowMessages(HWND hwnd)
{
    State& s = GetState();
    auto& q = s.queue;
    auto gone = std::remove_if(q.begin(), q.end(), [hwnd](const QueuedMessage& m) { return m.msg.hwnd == hwnd; });
    for (auto it = gone; it != q.end(); ++it)
        if (it->keyVk) --s.keyMessagesQueued[it->keyVk];
    q.erase(gone, q.end());
}

void PumpSdlEvents()
{
    if (!EnsureSdl()) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) HandleEvent(e);
}

void Activate(HWND hwnd, WORD how)
{
    State& s = GetState();
    HWND previous = s.active;
    if (previous == hwnd) return;
    s.active = hwnd;
    if (previous && LookupWindow(previous))
        Post(previous, WM_ACTIVATE, MAKEWPARAM(WA_INACTIVE, 0), reinterpret_cast<LPARAM>(hwnd));
    if (hwnd) Post(hwnd, WM_ACTIVATE, MAKEWPARAM(how, 0), reinterpret_cast<LPARAM>(previous));
}

}  // namespace win32detail

BOOL WINAPI PeekMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax, UINT removeMsg)
{
    if (!msg) return FALSE;
    win32detail::PumpSdlEvents();
    State& s = GetState();
    for (auto it = s.queue.begin(); it != s.queue.end(); ++it) {
        if (!Matches(it->msg, hwnd, filterMin, filterMax)) continue;
        *msg = it->msg;
        if (removeMsg & PM_REMOVE) {
            // Retrieving a key message moves the key state GetKeyState reports.
            if (int vk = it->keyVk) {
                --s.keyMessagesQueued[vk];
                s.keyDownAsRetrieved[vk] = it->msg.message == WM_KEYDOWN;
            }
            s.queue.erase(it);
        }
        return TRUE;
    }
    // WM_QUIT comes once nothing else is waiting.
    if (s.quitPending && (!hwnd || hwnd == reinterpret_cast<HWND>(-1))) {
        MSG quit = MakeMessage(nullptr, WM_QUIT, static_cast<WPARAM>(s.quitCode), 0);
        if (Matches(quit, hwnd, filterMin, filterMax)) {
            *msg = quit;
            if (removeMsg & PM_REMOVE) s.quitPending = false;
            return TRUE;
        }
    }
    return FALSE;
}

BOOL WINAPI GetMessageA(LPMSG msg, HWND hwnd, UINT filterMin, UINT filterMax)
{
    if (!msg) return -1;
    if (hwnd && hwnd != reinterpret_cast<HWND>(-1) && !win32detail::LookupWindow(hwnd)) return -1;
    while (!PeekMessageA(msg, hwnd, filterMin, filterMax, PM_REMOVE)) {
        if (win32detail::EnsureSdl())
            SDL_WaitEventTimeout(nullptr, 10);
        else
            SDL_Delay(10);
    }
    return msg->message == WM_QUIT ? FALSE : TRUE;
}

BOOL WINAPI TranslateMessage(const MSG* msg)
{
    // Characters of the user's layout come from SDL's text input; the keys
    // that type no text but a control character get it here.
    if (!msg || msg->message != WM_KEYDOWN) return FALSE;
    WPARAM ch = 0;
    switch (msg->wParam) {
        case VK_BACK:
            ch = 8;
            break;
        case VK_TAB:
            ch = 9;
            break;
        case VK_RETURN:
            ch = 13;
            break;
        case VK_ESCAPE:
            ch = 27;
            break;
        default:
            return FALSE;
    }
    win32detail::PostFront(msg->hwnd, WM_CHAR, ch, msg->lParam);
    return TRUE;
}

LRESULT WINAPI DispatchMessageA(const MSG* msg)
{
    if (!msg) return 0;
    HWND__* w = win32detail::LookupWindow(msg->hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

LRESULT WINAPI SendMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w || !w->proc) return 0;
    return w->proc(hwnd, message, wParam, lParam);
}

BOOL WINAPI PostMessageA(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (hwnd && !win32detail::LookupWindow(hwnd)) return FALSE;
    win32detail::Post(hwnd, message, wParam, lParam);
    return TRUE;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT message, WPARAM, LPARAM)
{
    if (message == WM_CLOSE) DestroyWindow(hwnd);
    return 0;
}

void WINAPI PostQuitMessage(int exitCode)
{
    State& s = GetState();
    s.quitPending = true;
    s.quitCode = exitCode;
}
