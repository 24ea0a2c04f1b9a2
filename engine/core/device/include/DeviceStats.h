// Per-frame counters of a device, for tests and benchmarks. A frame ends at
// each Present (of any swap chain).
#pragma once

#include <d3d9.h>

// What the device did in one frame.
struct D3D9FrameStats {
    DWORD drawCalls;        // Draw* calls that reached the GPU
    DWORD primitives;       // primitives they drew
    DWORD stateChanges;     // Set* calls that changed a tracked state
    DWORD programSwitches;  // fixed-function programs bound
    DWORD programsBuilt;    // fixed-function programs generated (cache misses)
    DWORD bytesStreamed;    // vertex bytes of DrawPrimitiveUP / DrawIndexedPrimitiveUP
    DWORD surfaceCopies;    // whole-surface copies the device made itself (presenting, keeping images)
};

// Counters of the frame in progress (current) and of the last finished frame
// (previous); either may be NULL. D3DERR_INVALIDCALL for a NULL device.
HRESULT D3D9_GetFrameStats(IDirect3DDevice9* device, D3D9FrameStats* current, D3D9FrameStats* previous);
// Zeroes the counters of the frame in progress.
HRESULT D3D9_ResetFrameStats(IDirect3DDevice9* device);
