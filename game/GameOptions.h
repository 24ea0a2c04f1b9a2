// The "Options" window, built of the engine's own GUI widgets: O in play
// opens it in the middle of the screen with the game paused behind it;
// Escape or "Close" closes it (a second Escape quits, as ever). Its rows:
// the four steering keys (click a key's button, then press the new key; a
// key that already has a use is refused with a line that says which), the
// sound volume, full screen, the frame-rate line, "Reset to defaults" and
// "Close". Every change applies at once and is saved.
#pragma once

#include <windows.h>

#include <string>

#include "Settings.h"

class vGUIElement;

extern Settings settings;  // in force: read at start-up, changed by the window

// Start-up: reads the settings file (a damaged one is set aside and said on
// the HUD once) and applies it: volume, frame-rate line, full screen.
void InitSettings();
// The settings' volume, frame-rate line and full screen made so.
void ApplySettings();

// The full-screen keys changed the mode: the setting follows and is saved.
void FullScreenChanged();

bool OptionsOpen();
void OpenOptions();
void CloseOptions();
// O opens the window; once a pass while the window is active, before the pause.
void UpdateOptionsKeys();
// A key pressed while the window is open (from the window procedure's
// WM_KEYDOWN): binds the key a button waits for. True when it took the key.
bool OptionsKeyDown(WPARAM virtualKey);
// Escape: closes the window when it is open (true), else leaves it to quit.
bool OptionsTakeEscape();
// The GUI's events.
void OptionsGuiEvent(int eventCode, unsigned int controlID, vGUIElement* element);
// The window and its message line, while open; the settings' HUD message
// (a damaged file set aside) for a few seconds after start-up.
void DrawOptions();
// A line at the foot of the screen for a few seconds (a damaged file set aside).
void ShowHudMessage(const std::string& line);
// The line under the window: what the last action did or refused.
const char* OptionsMessage();
