// Keyboard and mouse: key state by virtual-key code, key, character and
// mouse messages, the cursor position and the cursor display counter.
#include "KeyMap.h"
#include "Win32State.h"

#include <SDL.h>

using win32detail::GetState;
using win32detail::State;

namespace {

const UINT kButtonDown[3] = {WM_LBUTTONDOWN, WM_RBUTTONDOWN, WM_MBUTTONDOWN};
const UINT kButtonUp[3] = {WM_LBUTTONUP, WM_RBUTTONUP, WM_MBUTTONUP};
const int kButtonKey[3] = {VK_LBUTTON, VK_RBUTTON, VK_MBUTTON};

WPARAM ButtonFlags()
{
    const State& s = GetState();
    WPARAM f = 0;
    if (s.mouseDown[0]) f |= MK_LBUTTON;
    if (s.mouseDown[1]) f |= MK_RBUTTON;
    if (s.mouseDown[2]) f |= 0x0010;  // MK_MBUTTON
    return f;
}

// One virtual-key code, either side of a modifier pair not merged.
bool SingleKeyDown(int vk)
{
    const State& s = GetState();
    if (vk <= 0 || vk > 255) return false;
    if (s.injectedDown[vk]) return true;
    for (int i = 0; i < 3; ++i)
        if (kButtonKey[i] == vk && s.mouseDown[i]) return true;
    std::size_t count = 0;
    const win32detail::KeyMapEntry* table = win32detail::KeyMapTable(&count);
    for (std::size_t i = 0; i < count; ++i)
        if (table[i].virtKey == vk && s.scancodeDown[table[i].scancode]) return true;
    return false;
}

// The key as the message queue has it: while messages of the key wait in the
// queue, its state as of the last one retrieved; otherwise its state now.
bool SingleKeyDownAsRetrieved(int vk)
{
    const State& s = GetState();
    if (vk > 0 && vk <= 255 && s.keyMessagesQueued[vk] > 0) return s.keyDownAsRetrieved[vk];
    return SingleKeyDown(vk);
}

bool KeyDown(int vk, bool (*single)(int))
{
    switch (vk) {
        case VK_SHIFT:
            return single(VK_LSHIFT) || single(VK_RSHIFT);
        case VK_CONTROL:
            return single(VK_LCONTROL) || single(VK_RCONTROL);
        case VK_MENU:
            return single(VK_LMENU) || single(VK_RMENU);
        default:
            return single(vk);
    }
}

void AppendUtf16(unsigned int cp, HWND hwnd)
{
    if (cp >= 0x10000) {
        cp -= 0x10000;
        win32detail::Post(hwnd, WM_CHAR, 0xD800 + (cp >> 10), 1);
        win32detail::Post(hwnd, WM_CHAR, 0xDC00 + (cp & 0x3FF), 1);
    } else {
        win32detail::Post(hwnd, WM_CHAR, cp, 1);
    }
}

}  // namespace

namespace win32detail {

void KeyMessage(int virtKey, bool down, bool wasDown)
{
    State& s = GetState();
    if (virtKey <= 0 || virtKey > 255) return;
    int generic = MessageVirtualKey(virtKey);
    if (down && !wasDown) {
        s.toggled[virtKey] = !s.toggled[virtKey];
        if (generic != virtKey) s.toggled[generic] = !s.toggled[generic];
    }
    if (!s.active) return;
    // lParam: repeat count 1, previous state in bit 30, transition in bit 31.
    DWORD lp = 1;
    if (wasDown) lp |= 1u << 30;
    if (!down) lp |= 1u << 31;
    PostKey(s.active, down ? WM_KEYDOWN : WM_KEYUP, static_cast<WPARAM>(generic), static_cast<LPARAM>(lp), virtKey,
            wasDown);
}

void MouseMoveTo(HWND hwnd, int clientX, int clientY)
{
    HWND__* w = LookupWindow(hwnd);
    if (!w) return;
    State& s = GetState();
    POINT origin;
    ClientOrigin(w, &origin);
    s.cursor = {origin.x + clientX, origin.y + clientY};
    Post(hwnd, WM_MOUSEMOVE, ButtonFlags(), MAKELPARAM(clientX, clientY));
}

void MouseButtonEvent(HWND hwnd, int button, bool down)
{
    HWND__* w = LookupWindow(hwnd);
    if (!w || button < 0 || button > 2) return;
    State& s = GetState();
    bool was = s.mouseDown[button];
    s.mouseDown[button] = down;
    if (down && !was) s.toggled[kButtonKey[button]] = !s.toggled[kButtonKey[button]];
    POINT p = s.cursor;
    ScreenToClient(hwnd, &p);
    Post(hwnd, down ? kButtonDown[button] : kButtonUp[button], ButtonFlags(), MAKELPARAM(p.x, p.y));
}

void MouseWheelEvent(HWND hwnd, int delta)
{
    if (!LookupWindow(hwnd)) return;
    const State& s = GetState();
    Post(hwnd, WM_MOUSEWHEEL, MAKEWPARAM(ButtonFlags(), static_cast<WORD>(delta)), MAKELPARAM(s.cursor.x, s.cursor.y));
}

void CharUnits(const char* utf8)
{
    State& s = GetState();
    if (!utf8 || !s.active) return;
    const unsigned char* p = reinterpret_cast<const unsigned char*>(utf8);
    while (*p) {
        unsigned int cp = 0xFFFD;
        int extra = 0;
        if (*p < 0x80) {
            cp = *p;
        } else if ((*p & 0xE0) == 0xC0) {
            cp = *p & 0x1F;
            extra = 1;
        } else if ((*p & 0xF0) == 0xE0) {
            cp = *p & 0x0F;
            extra = 2;
        } else if ((*p & 0xF8) == 0xF0) {
            cp = *p & 0x07;
            extra = 3;
        } else {
            extra = -1;  // stray continuation or invalid lead byte
        }
        ++p;
        if (extra < 0) {
            AppendUtf16(0xFFFD, s.active);
            continue;
        }
        bool ok = true;
        for (int i = 0; i < extra; ++i) {
            if ((*p & 0xC0) != 0x80) {
                ok = false;
                break;
            }
            cp = (cp << 6) | (*p & 0x3F);
            ++p;
        }
        static const unsigned int kMin[4] = {0, 0x80, 0x800, 0x10000};
        if (!ok || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF) || cp < kMin[extra]) cp = 0xFFFD;
        AppendUtf16(cp, s.active);
    }
}

}  // namespace win32detail

SHORT WINAPI GetKeyState(int virtKey)
{
    if (virtKey <= 0 || virtKey > 255) return 0;
    // Synchronised with the queue, as Windows does: a press and release that
    // arrive together are both seen, one per retrieved message.
    unsigned int v = GetState().toggled[virtKey] ? 1u : 0u;
    if (KeyDown(virtKey, SingleKeyDownAsRetrieved)) v |= 0xFF80u;
    return static_cast<SHORT>(v);
}

SHORT WINAPI GetAsyncKeyState(int virtKey)
{
    if (virtKey <= 0 || virtKey > 255) return 0;
    return KeyDown(virtKey, SingleKeyDown) ? static_cast<SHORT>(0x8000u) : 0;
}

BOOL WINAPI GetCursorPos(LPPOINT point)
{
    if (!point) return FALSE;
    win32detail::PumpSdlEvents();
    *point = GetState().cursor;
    return TRUE;
}

BOOL WINAPI SetCursorPos(int x, int y)
{
    State& s = GetState();
    s.cursor = {x, y};
    if (!win32detail::IsHeadless()) SDL_WarpMouseGlobal(x, y);
    return TRUE;
}

BOOL WINAPI ScreenToClient(HWND hwnd, LPPOINT point)
{
    if (!point) return FALSE;
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w && hwnd != GetDesktopWindow()) return FALSE;
    POINT origin;
    win32detail::ClientOrigin(w, &origin);
    point->x -= origin.x;
    point->y -= origin.y;
    return TRUE;
}

BOOL WINAPI ClientToScreen(HWND hwnd, LPPOINT point)
{
    if (!point) return FALSE;
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w && hwnd != GetDesktopWindow()) return FALSE;
    POINT origin;
    win32detail::ClientOrigin(w, &origin);
    point->x += origin.x;
    point->y += origin.y;
    return TRUE;
}

int WINAPI ShowCursor(BOOL show)
{
    State& s = GetState();
    bool wasShown = s.cursorCounter >= 0;
    s.cursorCounter += show ? 1 : -1;
    bool shown = s.cursorCounter >= 0;
    if (shown != wasShown && win32detail::EnsureSdl()) SDL_ShowCursor(shown ? SDL_ENABLE : SDL_DISABLE);
    return s.cursorCounter;
}
