// Full screen for a window: the window covers its display at the desktop's
// resolution, and everything a program sees of it stays as it was in a window.
//
// While full screen the window keeps the rectangles it had as a window:
// GetClientRect, GetWindowRect, ClientToScreen and ScreenToClient answer as
// before, mouse messages and GetCursorPos carry points of that client area,
// and the device draws the back buffer into the screen scaled to fit with its
// aspect kept (black bars where the shapes differ):
//
//     +------------------------------+   the display (drawable pixels)
//     |##############################|   # bars
//     |+----------------------------+|
//     ||  client area, scaled; a    ||   a point over the picture is the
//     ||  point here is the client  ||   client pixel shown there; a point
//     ||  pixel it shows            ||   over a bar is the nearest pixel of
//     |+----------------------------+|   the picture's edge
//     |##############################|
//     +------------------------------+
#pragma once

#include <windows.h>

// Puts the window full screen on its display (on) or back where it was (off:
// its position and outer size as before). TRUE when the window is in the
// state asked for, also when it already was; FALSE with nothing changed for
// an unknown or destroyed window or when the system refuses (logged once).
BOOL Win32_SetFullScreen(HWND hwnd, BOOL on);
// TRUE while the window is full screen through Win32_SetFullScreen; FALSE for
// a window that is not, and for an unknown handle.
BOOL Win32_IsFullScreen(HWND hwnd);
