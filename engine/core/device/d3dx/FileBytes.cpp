#include "d3dx/FileBytes.h"

#include <cstdio>

#include <Win32File.h>

namespace d3dx {
namespace detail {

bool ReadFileBytes(const char* name, std::vector<uint8_t>& out) {
    out.clear();
    if (!name) return false;
    FILE* f = Win32_OpenFile(name, "rb");
    if (!f) return false;
    bool ok = true;
    uint8_t chunk[65536];
    for (;;) {
        size_t n = std::fread(chunk, 1, sizeof chunk, f);
        out.insert(out.end(), chunk, chunk + n);
        if (out.size() > (size_t(1) << 30)) {
            ok = false;
            break;
        }
        if (n < sizeof chunk) {
            ok = !std::ferror(f);
            break;
        }
    }
    std::fclose(f);
    if (!ok) out.clear();
    return ok;
}

bool WriteFileBytes(const char* name, const std::vector<uint8_t>& bytes) {
    if (!name) return false;
    FILE* f = Win32_OpenFile(name, "wb");
    if (!f) return false;
    bool ok = bytes.empty() || std::fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = (std::fclose(f) == 0) && ok;
    return ok;
}

}  // namespace detail
}  // namespace d3dx
