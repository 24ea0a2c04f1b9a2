// Whole files, named as the system names its files, in memory.
#pragma once

#include <cstdint>
#include <vector>

namespace d3dx {
namespace detail {

// False when the name is null or the file cannot be opened or read; an
// empty file reads as true with no bytes. Files over 1 GiB are refused.
// (The window layer's bulk read with the device's size limit.)
bool ReadFileBytes(const char* name, std::vector<uint8_t>& out);
// Writes bytes to a new file (replacing one of that name); false on failure.
bool WriteFileBytes(const char* name, const std::vector<uint8_t>& bytes);

}  // namespace detail
}  // namespace d3dx
