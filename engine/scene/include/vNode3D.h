// Record kept for programs built against the engine: 25 32-bit values with
// member-wise copy. No engine code reads it.
#pragma once

#include <windows.h>

struct vNode3D {
    DWORD m_values[25];  // the record's values, as the program keeps them
};
