// The gamepad in play: the left stick and the d-pad steer (a full
// deflection gives exactly a key's torque, a partial one its share, the dead
// zone none; pad and keys add, clamped to a key's torque on each axis), A
// ends the "Level Completed!" / "YOU DIED!!!" wait as Enter does, Start
// toggles the pause, and a pad unplugged in play pauses the game. Every pad
// plugged in counts; without one nothing changes.
#pragma once

#include <d3dx9math.h>

// Reads the pads once a pass: Start and unplugging act on the pause.
void UpdatePads();
// The pads' steering torque for a key torque of keyTorque (world x and z).
D3DXVECTOR3 PadSteering(float keyTorque);
// A is held on some pad.
bool PadAcceptHeld();
// The stick's share of a full deflection on one axis: 0 inside the dead zone
// (measured on the stick's distance from the centre), value / 32767 outside,
// clamped to -1 ... 1.
float StickShare(int value, int otherAxis);
