#include "TerrainTable.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <Win32File.h>

namespace vscene {

namespace {

// The first kTableBytes bytes of a file longer than the table.
bool ReadTablePrefix(const char* name, unsigned char* table)
{
    FILE* f = Win32_OpenFile(name, "rb");
    if (!f) return false;
    const std::size_t got = std::fread(table, 1, kTableBytes, f);
    std::fclose(f);
    return got == kTableBytes;
}

}  // namespace

bool ReadTerrainTable(const char* name, unsigned char* table, std::string* reason)
{
    std::memset(table, 0, kTableBytes);
    if (reason) reason->clear();
    std::vector<std::uint8_t> bytes;
    int error = 0;
    switch (Win32_ReadWholeFile(name, kTableBytes, bytes, &error)) {
        case WIN32_READ_OK:
            break;
        case WIN32_READ_TOO_LARGE:
            if (ReadTablePrefix(name, table)) {
                if (reason) *reason = "longer than the 16,777,216-byte table; the bytes past it are ignored";
                return true;
            }
            std::memset(table, 0, kTableBytes);
            if (reason) *reason = "a read failed part-way";
            return false;
        case WIN32_READ_MISSING:
        case WIN32_READ_REFUSED:
            if (reason) *reason = std::string("cannot open the file: ") + std::strerror(error);
            return false;
        default:
            if (reason) *reason = std::string("a read failed part-way: ") + std::strerror(error);
            return false;
    }
    if (bytes.size() < kTableBytes && reason)
        *reason = bytes.empty() ? std::string("empty file; the table stays all zero")
                                : "short file: " + std::to_string(bytes.size()) +
                                      " of 16,777,216 bytes; the rest repeats its last byte";
    if (bytes.empty()) return true;
    std::memcpy(table, bytes.data(), bytes.size());
    if (bytes.size() < kTableBytes) std::memset(table + bytes.size(), bytes.back(), kTableBytes - bytes.size());
    return true;
}

long long TablePosition(long long column, long long row)
{
    const long long position = row * kTableSide + column;
    if (position < 0 || position >= (long long)kTableBytes) return -1;
    return position;
}

}  // namespace vscene
