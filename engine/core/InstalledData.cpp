// The engine's installed data folder, registered for "media\..." names.
#include "core/detail/InstalledData.h"

#include <Win32File.h>

#include <dlfcn.h>
#include <limits.h>
#include <stdlib.h>

#ifndef VORPEX_DATA_FROM_LIBDIR
#define VORPEX_DATA_FROM_LIBDIR "../share/vorpex"
#endif

namespace vcore {

std::string InstalledDataFolder()
{
    if (const char* folder = std::getenv("VORPEX_DATA_DIR"); folder && folder[0] != '\0') return folder;
    Dl_info info{};
    char real[PATH_MAX];
    if (!dladdr(reinterpret_cast<void*>(&InstalledDataFolder), &info) || !info.dli_fname ||
        !realpath(info.dli_fname, real))
        return std::string();
    std::string library(real);
    const std::size_t slash = library.rfind('/');
    if (slash == std::string::npos) return std::string();
    return library.substr(0, slash) + "/" + VORPEX_DATA_FROM_LIBDIR;
}

namespace {

// Runs as the library loads, before any program code can open a file.
const bool kRegistered = [] {
    Win32_SetDataFolder("media", InstalledDataFolder().c_str());
    return true;
}();

}  // namespace
}  // namespace vcore
