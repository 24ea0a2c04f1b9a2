// Full screen: F11 and Alt+Enter put the game on its whole display at the
// desktop's resolution and back into its window where it was. The picture
// keeps its 1016 x 756, scaled to fit with its shape kept; the mouse, the
// GUI and screenshots work in those pixels as in the window.
#pragma once

// F11 or Alt+Enter, once a press: toggles. True when the mode changed.
bool UpdateDisplayKeys();
// Full screen (on) or in the window (off); true when the game is in the mode asked for.
bool SetFullScreen(bool on);
bool IsFullScreen();
