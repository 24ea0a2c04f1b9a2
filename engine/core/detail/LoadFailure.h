// The line on standard error that goes beside a loader's message box: the
// box keeps the system's own text, the line names the file and the likely
// reason, e.g. "kMedia\Grid.tga: not a readable image file (...)".
#pragma once

#include <windows.h>
#include <d3dx9.h>
#include <Win32File.h>

#include "vEngine.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace vcore {

// kind names what the file should have held ("image", ".X mesh"); hr is the
// loader's result. A file that cannot be opened says why the system refused it.
inline void LogLoadFailure(const char* file, HRESULT hr, const char* kind)
{
    char reason[200];
    if (!file || !*file) {
        std::snprintf(reason, sizeof(reason), "no file name given");
    } else if (!objDevice) {
        std::snprintf(reason, sizeof(reason), "no device to load it on");
    } else if (FILE* f = Win32_OpenFile(file, "rb")) {
        std::fclose(f);
        if (hr == D3DXERR_INVALIDDATA)
            std::snprintf(reason, sizeof(reason), "not a readable %s file (corrupt, truncated or unsupported data)",
                          kind);
        else if (hr == E_OUTOFMEMORY)
            std::snprintf(reason, sizeof(reason), "out of memory");
        else
            std::snprintf(reason, sizeof(reason), "the device refused the %s (0x%08lX)", kind,
                          static_cast<unsigned long>(hr));
    } else {
        std::snprintf(reason, sizeof(reason), "cannot open the file: %s", std::strerror(errno));
    }
    std::fprintf(stderr, "%s: %s\n", file ? file : "(null)", reason);
}

}  // namespace vcore
