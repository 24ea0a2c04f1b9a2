#include "TerrainTable.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <vector>

#include <Win32File.h>

namespace vscene {

namespace {

// The first size bytes of a file longer than the table.
bool ReadTablePrefix(const char* name, unsigned char* table, std::size_t size)
{
    FILE* f = Win32_OpenFile(name, "rb");
    if (!f) return false;
    const std::size_t got = std::fread(table, 1, size, f);
    std::fclose(f);
    return got == size;
}

// A byte count with thousands separators: 16,777,216.
std::string Grouped(std::size_t n)
{
    std::string digits = std::to_string(n);
    for (int at = int(digits.size()) - 3; at > 0; at -= 3) digits.insert(std::size_t(at), ",");
    return digits;
}

}  // namespace

bool ReadTable(const char* name, unsigned char* table, std::size_t size, std::string* reason)
{
    std::memset(table, 0, size);
    if (reason) reason->clear();
    std::vector<std::uint8_t> bytes;
    int error = 0;
    switch (Win32_ReadWholeFile(name, size, bytes, &error)) {
        case WIN32_READ_OK:
            break;
        case WIN32_READ_TOO_LARGE:
            if (ReadTablePrefix(name, table, size)) {
                if (reason) *reason = "longer than the " + Grouped(size) + "-byte table; the bytes past it are ignored";
                return true;
            }
            std::memset(table, 0, size);
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
    if (bytes.size() < size && reason)
        *reason = bytes.empty() ? std::string("empty file; the table stays all zero")
                                : "short file: " + std::to_string(bytes.size()) + " of " + Grouped(size) +
                                      " bytes; the rest repeats its last byte";
    if (bytes.empty()) return true;
    std::memcpy(table, bytes.data(), bytes.size());
    if (bytes.size() < size) std::memset(table + bytes.size(), bytes.back(), size - bytes.size());
    return true;
}

bool ReadTerrainTable(const char* name, unsigned char* table, std::string* reason)
{
    return ReadTable(name, table, kTableBytes, reason);
}

long long TablePosition(long long column, long long row)
{
    const long long position = row * kTableSide + column;
    if (position < 0 || position >= (long long)kTableBytes) return -1;
    return position;
}

}  // namespace vscene
