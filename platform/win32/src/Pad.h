// The gamepad slots behind xinput.h, for the message pump, SDL's shutdown
// and the test seam. Internal to the layer's sources.
#pragma once

#include <xinput.h>

struct _SDL_GameController;
typedef struct _SDL_GameController SDL_GameController;

namespace win32detail {

// SDL's game controllers on first use, quietly; false when they cannot start
// (then no pad is ever connected). Never again after ShutdownPads.
bool EnsurePads();
// Takes in what SDL saw since the last look: state, pads unplugged (slot
// freed) and pads plugged in (first free slot, in SDL's device order).
void RefreshPads();
// The pump's part: a controller added (SDL device index) or removed (SDL
// instance id). Pads plugged in are opened in the order of these events.
void PadAdded(int deviceIndex);
void PadRemoved(int instanceId);
// Closes every pad before SDL quits; afterwards no pad is found.
void ShutdownPads();

// The controller in a slot as of the last look (no refresh); NULL for an
// empty slot or an index out of range.
SDL_GameController* PadController(int slot);
int PadSlotOf(int instanceId);  // -1 when no slot holds it
void UseVirtualPadsOnly(bool on);

}  // namespace win32detail
