// A device context as this layer sees it: anything that can report the
// widths of its font's characters. The device layer's fonts implement it.
#pragma once

#include <windows.h>

struct HDC__ {
    virtual ~HDC__() = default;
    // Advance widths in pixels of characters first..last into widths.
    virtual BOOL CharWidths(UINT first, UINT last, INT* widths) = 0;
};
