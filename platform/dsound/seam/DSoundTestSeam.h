// Test seam of the sound layer, for tests and benches only: a device whose
// mix is rendered on demand, so a test drives the sound frame by frame on
// the window layer's virtual clock and reads exactly what was mixed.
#pragma once

#include <windows.h>

#include <cstdint>

// From the next DirectSoundCreate8 on, the device is OpenAL Soft's loopback
// device at rate frames a second, stereo: nothing is mixed until
// DSound_RenderForTests asks. 0 goes back to the default output. It mixes
// in floats, handed out as 16-bit samples without dither, so silence reads 0
// and a voice at full volume gives back its own samples.
void DSound_UseLoopbackForTests(DWORD rate);
// Mixes the next frames stereo frames of the open loopback device into out
// (2 * frames samples, left first). False, out untouched, when none is open.
bool DSound_RenderForTests(int16_t* out, DWORD frames);
