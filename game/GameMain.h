// The game's frame: start-up (window, engine, physics world, media, first
// level), one pass of the message loop, the window procedure and shut-down.
// The entry point is composed of these, so a test can drive the real loop.
#pragma once

#include <windows.h>

class vGUIElement;

// Registers "D3DWindow", opens the game window and the engine on it, creates the
// physics world, sets up the GUI and screen quads and loads the media and level 1.
// False when the engine could not be opened; the window is then not shown.
bool GameStartup();
// One pass: dispatches a pending message or renders a frame, then handles the
// keyboard while the window is active (Escape posts WM_QUIT), else sleeps 30 ms.
// False once the message taken is WM_QUIT.
bool GameLoopPass();
// Frames rendered by the loop so far.
unsigned long GameFrameCount();
// Runs passes until WM_QUIT.
void GameRunLoop();
// Unregisters the window class; the window and the engine objects live until the process ends.
void GameShutdown();

// Start-up loading: font, projection, cameras, X-ray target, textures, models,
// physics bodies, first level and emitters. Loader failures are ignored.
void LoadMedia();
// Feeds every message to the GUI manager, then to DefWindowProcA; the close box
// (WM_CLOSE) posts WM_QUIT instead, ending the loop as Escape does.
LRESULT CALLBACK GameWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);
// The GUI's callback: the options window's events.
void GuiEventHandler(int eventCode, unsigned int controlID, vGUIElement* element);
