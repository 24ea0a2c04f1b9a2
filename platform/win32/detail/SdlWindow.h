// The seam between the window layer and the device layer: the SDL window
// behind a window handle. Only the layers include this header.
#pragma once

#include <windows.h>

struct SDL_Window;

SDL_Window* Win32_GetSDLWindow(HWND hwnd);     // NULL for an unknown handle
HWND Win32_GetHWND(SDL_Window* window);         // NULL for a window this layer did not create
