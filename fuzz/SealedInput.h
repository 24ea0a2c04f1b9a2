// For the player files' fuzz targets: checks an input as it is and again
// with its last four bytes set to the CRC-32 of the bytes before them, so
// the fuzzer reaches what lies behind the files' checksum too.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <vector>

#include "PlayerFile.h"

template <typename Check>
void CheckAsGivenAndSealed(const std::uint8_t* data, std::size_t size, Check check)
{
    check(data, size);
    if (size < playerfile::kTrailerSize) return;
    std::vector<std::uint8_t> sealed(data, data + size);
    const std::uint32_t crc = playerfile::Crc32(sealed.data(), size - playerfile::kTrailerSize);
    std::memcpy(sealed.data() + size - playerfile::kTrailerSize, &crc, 4);
    check(sealed.data(), sealed.size());
}
