#include "d3dx/FileBytes.h"

#include <cstdio>

#include <Win32File.h>

namespace d3dx {
namespace detail {

bool ReadFileBytes(const char* name, std::vector<uint8_t>& out)
{
    return Win32_ReadWholeFile(name, size_t(1) << 30, out) == WIN32_READ_OK;
}

bool WriteFileBytes(const char* name, const std::vector<uint8_t>& bytes)
{
    if (!name) return false;
    FILE* f = Win32_OpenFile(name, "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

}  // namespace detail
}  // namespace d3dx
