// The game's sounds: the device opened on the game window, the sounds of
// kMedia\sounds\ loaded at start-up, one call per thing that happens, and the
// rolling loop that follows the ball. Without audio output every call still
// works and nothing is heard; nothing else of the game changes.
#pragma once

#include "vAudio.h"
#include "vSound.h"

extern vAudio audio;

// Opens the device on windowHandle and loads every sound; a sound that fails
// to load says so like the other media and stays silent.
void InitSound();
// A coin picked up; last: it was the last one, and the goal now counts.
void PlayCoinSound(bool last);
void PlayBlastSound();
void PlayGoalSound();
// The level starting again after the ball died.
void PlayRestartSound();
// The editor put down or took away a tile, coin, spinner, start or goal.
void PlayEditorClick();
// Once per frame after the physics step: the rolling loop's volume and pitch
// from the ball's speed over the board; silent in the air, off the board,
// dead, at the goal, paused and in the editor.
void UpdateRollingSound();
// The rolling loop is playing.
bool RollingSoundPlaying();
// The loop's volume (0 ... 1) and pitch for a ball rolling at speed units a second.
float RollingVolume(float speed);
float RollingPitch(float speed);
