// The seam between the window layer and the device layer. Only the two
// layers (and the layer's own tests) link the target that carries it.
#pragma once

#include <windows.h>

struct SDL_Window;

// The SDL window behind a window handle: NULL for an unknown handle.
SDL_Window* Win32_GetSDLWindow(HWND hwnd);
// The handle of an SDL window: NULL for a window this layer did not create.
HWND Win32_GetHWND(SDL_Window* window);

// Where the window shows its client area, in pixels of its SDL window's
// drawable from the top-left corner: the whole drawable for a window; while
// full screen (Win32Display.h) the largest rectangle of the client area's
// aspect that fits, centred, the rest being bars. The device presents into
// it and the layer maps mouse points back through it, so the two agree.
// FALSE for an unknown handle, with rect left alone.
BOOL Win32_PresentRect(HWND hwnd, RECT* rect);

// A device context as this layer sees it: anything that can report the
// widths of its font's characters. The device layer's fonts implement it.
struct HDC__ {
    virtual ~HDC__() = default;
    // Advance widths in pixels of characters first..last into widths.
    virtual BOOL CharWidths(UINT first, UINT last, INT* widths) = 0;
};
