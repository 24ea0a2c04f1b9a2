// Injected input for tests: the same paths real SDL events take.
#include "Win32TestSeam.h"

#include "KeyMap.h"
#include "Win32State.h"

using win32detail::GetState;

namespace {

// Generic modifier codes press the left key.
int SpecificKey(int vk)
{
    switch (vk) {
        case VK_SHIFT:
            return VK_LSHIFT;
        case VK_CONTROL:
            return VK_LCONTROL;
        case VK_MENU:
            return VK_LMENU;
        default:
            return vk;
    }
}

}  // namespace

namespace win32test {

void KeyDown(int virtKey)
{
    int vk = SpecificKey(virtKey);
    if (vk <= 0 || vk > 255) return;
    auto& s = GetState();
    bool was = s.injectedDown[vk];
    s.injectedDown[vk] = true;
    win32detail::KeyMessage(vk, true, was);
}

void KeyUp(int virtKey)
{
    int vk = SpecificKey(virtKey);
    if (vk <= 0 || vk > 255) return;
    auto& s = GetState();
    bool was = s.injectedDown[vk];
    s.injectedDown[vk] = false;
    win32detail::KeyMessage(vk, false, was);
}

void TypeText(const char* utf8)
{
    win32detail::CharUnits(utf8);
}

void TypeChar(unsigned int utf16Unit)
{
    auto& s = GetState();
    if (s.active) win32detail::Post(s.active, WM_CHAR, utf16Unit & 0xFFFF, 1);
}

void MouseMove(HWND hwnd, int clientX, int clientY)
{
    win32detail::MouseMoveTo(hwnd, clientX, clientY);
}

void MouseMoveDrawable(HWND hwnd, int drawableX, int drawableY)
{
    win32detail::MouseMoveToDrawable(hwnd, drawableX, drawableY);
}

void MouseButton(HWND hwnd, bool down)
{
    win32detail::MouseButtonEvent(hwnd, 0, down);
}

void MouseWheel(HWND hwnd, int delta)
{
    win32detail::MouseWheelEvent(hwnd, delta);
}

void ClickClose(HWND hwnd)
{
    if (win32detail::LookupWindow(hwnd)) win32detail::Post(hwnd, WM_CLOSE, 0, 0);
}

void SetActiveWindow(HWND hwnd)
{
    if (hwnd && !win32detail::LookupWindow(hwnd)) return;
    win32detail::Activate(hwnd, hwnd ? WA_ACTIVE : WA_INACTIVE);
}

void ReleaseAllKeys()
{
    auto& s = GetState();
    for (bool& d : s.injectedDown) d = false;
    for (bool& d : s.mouseDown) d = false;
}

}  // namespace win32test
