// The line on standard error that goes beside a loader's message box (or
// stands alone where a class has none): the box keeps the system's own text,
// the line names who failed, the file and the true reason, e.g.
//   "texture: kMedia\Grid.tga: not a readable image file (...)"
//   "terrain: media\fx\terrain.fx: cannot compile: line 3: expected '{'"
#pragma once

#include <windows.h>
#include <d3dx9.h>
#include <Win32File.h>

#include "vEngine.h"
#include "core/detail/LogFailure.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace vcore {

// A result code as the 32-bit value it is: "0x88760866".
inline std::string ResultText(HRESULT hr)
{
    char text[16];
    std::snprintf(text, sizeof(text), "0x%08X", static_cast<unsigned int>(static_cast<uint32_t>(hr)));
    return text;
}

// kind names what the file should have held ("image", ".X mesh", "effect");
// hr is the loader's result. A file that cannot be opened says why the system
// refused it (a folder says so). log, when given, is the loader's own account of what it found
// wrong (an effect's compile log); it is quoted without the file name it may
// start with.
inline void LogLoadFailure(const char* who, const char* file, HRESULT hr, const char* kind, ID3DXBuffer* log = nullptr)
{
    std::string reason;
    int openError = 0;
    if (!file || !*file) {
        reason = "no file name given";
    } else if (!objDevice) {
        reason = "no device to load it on";
    } else if ((openError = Win32_OpenError(file)) != 0) {
        reason = std::string("cannot open the file: ") + std::strerror(openError);
    } else {
        const char* logged = log && log->GetBufferPointer() ? static_cast<const char*>(log->GetBufferPointer()) : "";
        const std::string prefix = std::string(file) + ": ";
        if (std::strncmp(logged, prefix.c_str(), prefix.size()) == 0) logged += prefix.size();
        if (*logged)
            reason = std::string("cannot compile: ") + logged;
        else if (hr == D3DXERR_INVALIDDATA)
            reason = std::string("not a readable ") + kind + " file (corrupt, truncated or unsupported data)";
        else if (hr == E_OUTOFMEMORY)
            reason = "out of memory";
        else if (hr == E_FAIL)
            reason = std::string("no ") + kind + " could be read from it";
        else
            reason = std::string("the device refused the ") + kind + " (" + ResultText(hr) + ")";
    }
    LogFailure(who, file, reason.c_str());
}

// Reads an effect file on the engine's device into *effect (null when it
// cannot be had: then the failure is logged with the compile log).
inline HRESULT LoadEffect(const char* who, const char* file, ID3DXEffect** effect)
{
    *effect = nullptr;
    if (!objDevice) return E_FAIL;
    ID3DXBuffer* log = nullptr;
    const HRESULT hr = D3DXCreateEffectFromFileA(objDevice, file, NULL, NULL, 0, NULL, effect, &log);
    if (FAILED(hr) || !*effect) LogLoadFailure(who, file, hr, "effect", log);
    if (log) log->Release();
    return *effect ? hr : E_FAIL;
}

}  // namespace vcore
