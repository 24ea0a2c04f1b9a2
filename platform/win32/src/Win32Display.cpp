// Full screen: the SDL window covers its display at the desktop's resolution
// while the window keeps the rectangles it had, and mouse points come back to
// the client area through the rectangle the picture is shown in.
#include <Win32DeviceSeam.h>
#include <Win32Display.h>
#include "Win32State.h"

#include <SDL.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>

using win32detail::ClientHeight;
using win32detail::ClientWidth;
using win32detail::LookupWindow;

namespace {

void DrawableSize(const HWND__* w, int* width, int* height)
{
    *width = *height = 0;
    SDL_GL_GetDrawableSize(w->sdl, width, height);
}

// The picture of the client area in a drawable of dw x dh: all of it for a
// window; full screen, the largest rectangle of the client's aspect, centred.
RECT PictureRect(const HWND__* w, int dw, int dh)
{
    const int64_t cw = ClientWidth(w), ch = ClientHeight(w);
    if (!w->fullScreen || cw <= 0 || ch <= 0 || dw <= 0 || dh <= 0) return {0, 0, dw, dh};
    int64_t pw = dw, ph = dh;
    if (dw * ch <= dh * cw)
        ph = (ch * dw + cw / 2) / cw;  // as wide as the display: bars above and below
    else
        pw = (cw * dh + ch / 2) / ch;  // as high: bars left and right
    const LONG left = static_cast<LONG>((dw - pw) / 2), top = static_cast<LONG>((dh - ph) / 2);
    return {left, top, left + static_cast<LONG>(pw), top + static_cast<LONG>(ph)};
}

// The pixel of size pixels that a nearest-pixel scaling of it onto [start,
// end) shows at p; points outside show the nearest end.
int Unscale(int p, LONG start, LONG end, int size)
{
    if (size <= 0 || end <= start || p < start) return 0;
    if (p >= end) return size - 1;
    // Pixel p samples the source at its centre: (p - start + 0.5) * size / (end - start).
    const int64_t source = ((2 * int64_t(p - start) + 1) * size) / (2 * int64_t(end - start));
    return static_cast<int>(std::min<int64_t>(source, size - 1));
}

}  // namespace

namespace win32detail {

void MouseMoveToDrawable(HWND hwnd, int drawableX, int drawableY)
{
    HWND__* w = LookupWindow(hwnd);
    if (!w) return;
    int dw = 0, dh = 0;
    DrawableSize(w, &dw, &dh);
    const RECT r = PictureRect(w, dw, dh);
    MouseMoveTo(hwnd, Unscale(drawableX, r.left, r.right, ClientWidth(w)),
                Unscale(drawableY, r.top, r.bottom, ClientHeight(w)));
}

}  // namespace win32detail

BOOL Win32_PresentRect(HWND hwnd, RECT* rect)
{
    const HWND__* w = LookupWindow(hwnd);
    if (!w || !rect) return FALSE;
    int dw = 0, dh = 0;
    DrawableSize(w, &dw, &dh);
    *rect = PictureRect(w, dw, dh);
    return TRUE;
}

BOOL Win32_IsFullScreen(HWND hwnd)
{
    const HWND__* w = LookupWindow(hwnd);
    return w && w->fullScreen ? TRUE : FALSE;
}

BOOL Win32_SetFullScreen(HWND hwnd, BOOL on)
{
    HWND__* w = LookupWindow(hwnd);
    if (!w || !w->sdl) return FALSE;
    if ((on != FALSE) == w->fullScreen) return TRUE;
    const int cw = std::max(1, ClientWidth(w)), ch = std::max(1, ClientHeight(w));
    if (on) {
        // Flagged first: the moves and sizes SDL reports from here on are the
        // screen's, not the window's.
        w->fullScreen = true;
        if (SDL_SetWindowFullscreen(w->sdl, SDL_WINDOW_FULLSCREEN_DESKTOP) != 0) {
            w->fullScreen = false;
            std::fprintf(stderr, "win32: window \"%s\" cannot go full screen: %s\n", w->title.c_str(), SDL_GetError());
            return FALSE;
        }
        return TRUE;
    }
    if (SDL_SetWindowFullscreen(w->sdl, 0) != 0) {
        std::fprintf(stderr, "win32: window \"%s\" cannot leave full screen: %s\n", w->title.c_str(), SDL_GetError());
        return FALSE;
    }
    // Back to where it was, whether or not the system puts it there (SDL's
    // offscreen driver keeps the screen's size).
    SDL_SetWindowSize(w->sdl, cw, ch);
    SDL_SetWindowPosition(w->sdl, w->outer.left + kFrameLeft, w->outer.top + kFrameTop);
    // The events of the way back are taken while they are still ignored.
    win32detail::PumpSdlEvents();
    w->fullScreen = false;
    return TRUE;
}
