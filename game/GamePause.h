// Pausing the game: P in play and the Pause key toggle it, the window losing
// focus and a gamepad unplugged in play start it, only the player ends it.
// While paused nothing moves: no physics step, no spinners, no particles,
// the level clock, the time bonus and the death and level-complete waits
// stand still, and keys other than the pause keys and Escape do nothing; the
// frame is still drawn, with "PAUSED" over it.
#pragma once

extern bool gamePaused;

// Starts or ends the pause. Ending it moves the level's clock marks on by the
// time it lasted (GetTickCount), so the clock, the time bonus and the waits
// carry on exactly where they stood.
void SetPaused(bool on);
// P (in play, where the editor's start key is not meant) and Pause, once a press.
void UpdatePauseKeys();
// Swallows presses of the one-shot keys while paused, so a key pressed then
// does not act the moment the pause ends.
void IgnoreKeysWhilePaused();
// "PAUSED" in the HUD font over the frame, while paused.
void DrawPauseOverlay();
