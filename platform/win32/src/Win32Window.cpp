// Window classes and windows: an SDL window per window, sized to the client
// area, with the fixed frame around it kept as arithmetic.
#include "Win32State.h"

#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdint>
#include <strings.h>

using win32detail::ClientHeight;
using win32detail::ClientWidth;
using win32detail::GetState;
using win32detail::State;
using win32detail::WindowClass;

namespace {

bool IsAtom(LPCSTR name)
{
    return reinterpret_cast<uintptr_t>(name) < 0x10000;
}

// Class names compare without regard to case, as on Windows.
WindowClass* LookupClass(LPCSTR name)
{
    if (!name) return nullptr;
    for (WindowClass& c : GetState().classes) {
        if (IsAtom(name) ? c.atom == static_cast<ATOM>(reinterpret_cast<uintptr_t>(name))
                         : strcasecmp(c.name.c_str(), name) == 0)
            return &c;
    }
    return nullptr;
}

void DesktopRect(RECT* r)
{
    SDL_Rect b = {0, 0, 1024, 768};
    if (win32detail::EnsureSdl() && SDL_GetNumVideoDisplays() > 0) SDL_GetDisplayBounds(0, &b);
    *r = {b.x, b.y, b.x + b.w, b.y + b.h};
}

// Sizes a window nobody has seen yet, with none of the events that makes.
void ResizeUnseen(SDL_Window* sdl, int width, int height)
{
    SDL_SetWindowSize(sdl, width, height);
    Uint32 id = SDL_GetWindowID(sdl);
    SDL_FilterEvents(
        [](void* data, SDL_Event* e) -> int {
            return !(e->type == SDL_WINDOWEVENT && e->window.windowID == *static_cast<Uint32*>(data) &&
                     (e->window.event == SDL_WINDOWEVENT_SIZE_CHANGED || e->window.event == SDL_WINDOWEVENT_RESIZED));
        },
        &id);
}

}  // namespace

namespace win32detail {

int ClientWidth(const HWND__* w)
{
    return std::max(0, static_cast<int>(w->outer.right - w->outer.left) - kFrameLeft - kFrameRight);
}
int ClientHeight(const HWND__* w)
{
    return std::max(0, static_cast<int>(w->outer.bottom - w->outer.top) - kFrameTop - kFrameBottom);
}

HWND__* LookupWindow(HWND hwnd)
{
    if (!hwnd) return nullptr;
    for (auto& w : GetState().windows)
        if (w.get() == hwnd) return w->alive ? w.get() : nullptr;
    return nullptr;
}

HWND__* LookupWindowBySdlId(unsigned int windowId)
{
    SDL_Window* sdl = SDL_GetWindowFromID(windowId);
    if (!sdl) return nullptr;
    for (auto& w : GetState().windows)
        if (w->alive && w->sdl == sdl) return w.get();
    return nullptr;
}

void ClientOrigin(const HWND__* w, POINT* origin)
{
    if (!w || w->desktop) {
        *origin = {0, 0};
        return;
    }
    *origin = {w->outer.left + kFrameLeft, w->outer.top + kFrameTop};
}

}  // namespace win32detail

ATOM WINAPI RegisterClassExA(const WNDCLASSEXA* wc)
{
    if (!wc || wc->cbSize != sizeof(WNDCLASSEXA) || !wc->lpfnWndProc || !wc->lpszClassName ||
        IsAtom(wc->lpszClassName) || wc->lpszClassName[0] == '\0')
        return 0;
    if (LookupClass(wc->lpszClassName)) return 0;
    State& s = GetState();
    WindowClass c;
    c.name = wc->lpszClassName;
    c.proc = wc->lpfnWndProc;
    c.instance = wc->hInstance;
    c.style = wc->style;
    c.atom = s.nextAtom++;
    s.classes.push_back(c);
    return c.atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE)
{
    WindowClass* c = LookupClass(className);
    if (!c) return FALSE;
    State& s = GetState();
    // As on Windows, a class cannot go while windows of it exist.
    for (auto& w : s.windows)
        if (w->alive && strcasecmp(w->className.c_str(), c->name.c_str()) == 0) return FALSE;
    s.classes.erase(s.classes.begin() + (c - s.classes.data()));
    return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR title, DWORD style, int x, int y, int width,
                            int height, HWND, HMENU, HINSTANCE instance, LPVOID)
{
    WindowClass* c = LookupClass(className);
    if (!c || !win32detail::EnsureSdl()) return nullptr;

    if (x == CW_USEDEFAULT) {
        x = 100;
        y = 100;
    }
    if (width == CW_USEDEFAULT) {
        width = 640 + kFrameLeft + kFrameRight;
        height = 480 + kFrameTop + kFrameBottom;
    }
    width = std::max(width, 0);
    height = std::max(height, 0);

    auto w = std::make_unique<HWND__>();
    w->className = c->name;
    w->title = title ? title : "";
    w->proc = c->proc;
    w->instance = instance;
    w->style = style;
    w->exStyle = exStyle;
    w->outer = {x, y, x + width, y + height};

    // SDL windows need a positive size; a window smaller than its frame gets
    // a one-pixel SDL window and reports an empty client area.
    int cw = std::max(1, ClientWidth(w.get()));
    int ch = std::max(1, ClientHeight(w.get()));
    Uint32 flags = SDL_WINDOW_HIDDEN;
    if (exStyle & WS_EX_TOPMOST) flags |= SDL_WINDOW_ALWAYS_ON_TOP;
    // Headless, a GL window is a surface that keeps the size it was made with
    // whatever size the window takes later. Made at least as large as the
    // display, it holds the whole screen when the window goes full screen; the
    // window then takes its own size at once (Resize drops the size events).
    int madeW = cw, madeH = ch;
    if (win32detail::IsHeadless()) {
        RECT display;
        DesktopRect(&display);
        madeW = std::max(cw, static_cast<int>(display.right - display.left));
        madeH = std::max(ch, static_cast<int>(display.bottom - display.top));
    }
    w->sdl = SDL_CreateWindow(w->title.c_str(), x + kFrameLeft, y + kFrameTop, madeW, madeH, flags | SDL_WINDOW_OPENGL);
    if (w->sdl && (madeW != cw || madeH != ch)) ResizeUnseen(w->sdl, cw, ch);
    if (!w->sdl) {
        // Drivers without GL (dummy) still get a window for the message loop.
        w->sdl = SDL_CreateWindow(w->title.c_str(), x + kFrameLeft, y + kFrameTop, cw, ch, flags);
    }
    if (!w->sdl) {
        std::fprintf(stderr, "win32: cannot create window \"%s\": %s\n", w->title.c_str(), SDL_GetError());
        return nullptr;
    }
    HWND hwnd = w.get();
    GetState().windows.push_back(std::move(w));
    if (style & WS_VISIBLE) ShowWindow(hwnd, SW_SHOW);
    return hwnd;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow)
{
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w) return FALSE;
    BOOL wasVisible = w->visible ? TRUE : FALSE;
    switch (cmdShow) {
        case SW_HIDE:
            SDL_HideWindow(w->sdl);
            w->visible = false;
            if (GetState().active == hwnd) win32detail::Activate(nullptr, WA_INACTIVE);
            break;
        case SW_MINIMIZE:
        case SW_SHOWMINIMIZED:
            SDL_ShowWindow(w->sdl);
            SDL_MinimizeWindow(w->sdl);
            w->visible = true;
            break;
        default:
            SDL_ShowWindow(w->sdl);
            if (cmdShow == SW_RESTORE) SDL_RestoreWindow(w->sdl);
            SDL_RaiseWindow(w->sdl);
            w->visible = true;
            // Showing activates the window: headless there is no window manager
            // to hand out focus, so this is where the window becomes active.
            if (GetState().active != hwnd) win32detail::Activate(hwnd, WA_ACTIVE);
            break;
    }
    return wasVisible;
}

BOOL WINAPI UpdateWindow(HWND hwnd)
{
    return win32detail::LookupWindow(hwnd) ? TRUE : FALSE;
}

BOOL WINAPI DestroyWindow(HWND hwnd)
{
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w) return FALSE;
    if (w->destroying) return TRUE;
    w->destroying = true;
    State& s = GetState();
    if (s.active == hwnd) win32detail::Activate(nullptr, WA_INACTIVE);
    if (w->proc) w->proc(hwnd, WM_DESTROY, 0, 0);
    w->alive = false;
    win32detail::PurgeWindowMessages(hwnd);
    // The SDL window is hidden, not destroyed: a GL context made on it may
    // outlive the window handle, and must keep a valid window under it.
    SDL_HideWindow(w->sdl);
    w->visible = false;
    return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd)
{
    return (hwnd == &GetState().desktopWindow || win32detail::LookupWindow(hwnd)) ? TRUE : FALSE;
}

HWND WINAPI GetDesktopWindow()
{
    return &GetState().desktopWindow;
}

HMODULE WINAPI GetModuleHandleA(LPCSTR moduleName)
{
    static char programModule;
    if (moduleName) return nullptr;  // only the program itself is known
    return reinterpret_cast<HMODULE>(&programModule);
}

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect)
{
    if (!rect) return FALSE;
    if (hwnd == &GetState().desktopWindow) {
        RECT d;
        DesktopRect(&d);
        *rect = {0, 0, d.right - d.left, d.bottom - d.top};
        return TRUE;
    }
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w) return FALSE;
    *rect = {0, 0, ClientWidth(w), ClientHeight(w)};
    return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect)
{
    if (!rect) return FALSE;
    if (hwnd == &GetState().desktopWindow) {
        DesktopRect(rect);
        return TRUE;
    }
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w) return FALSE;
    *rect = w->outer;
    return TRUE;
}

HWND WINAPI GetActiveWindow()
{
    return GetState().active;
}
HWND WINAPI GetFocus()
{
    return GetState().active;
}

BOOL WINAPI SetWindowTextA(HWND hwnd, LPCSTR text)
{
    HWND__* w = win32detail::LookupWindow(hwnd);
    if (!w) return FALSE;
    w->title = text ? text : "";
    SDL_SetWindowTitle(w->sdl, w->title.c_str());
    return TRUE;
}
