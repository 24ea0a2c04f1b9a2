// The frame of the player's files: magic, version and CRC, written with the
// engine's memory buffer and read with its checked iterator.
#include "PlayerFile.h"

#include <vMemoryBuffer.h>

#include <array>
#include <climits>
#include <cstdio>
#include <cstring>

namespace playerfile {

namespace {

const std::array<std::uint32_t, 256>& CrcTable()
{
    static const std::array<std::uint32_t, 256> table = [] {
        std::array<std::uint32_t, 256> t{};
        for (std::uint32_t n = 0; n < 256; ++n) {
            std::uint32_t c = n;
            for (int k = 0; k < 8; ++k) c = c & 1 ? 0xEDB88320u ^ (c >> 1) : c >> 1;
            t[n] = c;
        }
        return t;
    }();
    return table;
}

// The iterator's reads take an int size; only the first bytes matter here.
int ReadableSize(std::size_t size)
{
    return size > static_cast<std::size_t>(INT_MAX) ? INT_MAX : static_cast<int>(size);
}

bool MagicMatches(const std::uint8_t* bytes, std::size_t size, const char* magic)
{
    const std::size_t n = size < kMagicSize ? size : kMagicSize;
    return std::memcmp(bytes, magic, n) == 0;
}

std::string FirstBytes(const std::uint8_t* bytes, std::size_t size)
{
    std::string text;
    for (std::size_t i = 0; i < size && i < kMagicSize; ++i) {
        char hex[4];
        std::snprintf(hex, sizeof hex, i ? " %02X" : "%02X", bytes[i]);
        text += hex;
    }
    return text;
}

std::uint32_t StoredCrc(const std::uint8_t* at)
{
    std::uint32_t value;
    std::memcpy(&value, at, 4);
    return value;
}

}  // namespace

std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size)
{
    if (!bytes) return 0;
    const std::array<std::uint32_t, 256>& table = CrcTable();
    std::uint32_t c = 0xFFFFFFFFu;
    for (std::size_t i = 0; i < size; ++i) c = table[(c ^ bytes[i]) & 0xFF] ^ (c >> 8);
    return c ^ 0xFFFFFFFFu;
}

void BeginFile(vMemoryBuffer& buffer, const char* magic, int version)
{
    buffer.pushstring(magic, false);
    buffer.push(&version, 4);
}

std::vector<std::uint8_t> FinishFile(vMemoryBuffer& buffer)
{
    std::vector<std::uint8_t> bytes(static_cast<std::size_t>(buffer.GetSize()));
    buffer.copybuffer2(bytes.data());
    const std::uint32_t crc = Crc32(bytes.data(), bytes.size());
    buffer.push(&crc, 4);
    bytes.resize(static_cast<std::size_t>(buffer.GetSize()));
    buffer.copybuffer2(bytes.data());
    return bytes;
}

bool ReadHeader(const std::uint8_t* bytes, std::size_t size, const char* magic, int version, const char* kind,
                vMemoryIterator& it, std::string& why)
{
    if (!bytes || size == 0) {
        why = "empty file";
        return false;
    }
    if (!MagicMatches(bytes, size, magic)) {
        why = std::string("not a Kolvar ") + kind + " file (it starts with " + FirstBytes(bytes, size) + ")";
        return false;
    }
    const char* data = reinterpret_cast<const char*>(bytes);
    const int n = ReadableSize(size);
    it.ResetIterator();
    char* text = nullptr;
    const bool magicRead = it.GetString(data, n, int(kMagicSize), &text) == S_OK;
    delete[] text;  // already compared above
    int fileVersion = 0;
    if (!magicRead || it.GetInt(data, n, &fileVersion) != S_OK) {
        why = "truncated: " + std::to_string(size) + " bytes, the header alone has " + std::to_string(kHeaderSize);
        return false;
    }
    if (fileVersion != version) {
        why = "version " + std::to_string(fileVersion) +
              (fileVersion > version ? ", written by a newer Kolvar (this one reads version "
                                     : ", not one Kolvar writes (this one reads version ") +
              std::to_string(version) + ")";
        return false;
    }
    return true;
}

bool CheckSizeAndCrc(const std::uint8_t* bytes, std::size_t size, std::size_t need, std::string& why)
{
    if (size < need) {
        why = "truncated: " + std::to_string(size) + " of the " + std::to_string(need) + " bytes it needs";
        return false;
    }
    if (size > need) {
        why = std::to_string(size - need) + " bytes past the end of its contents";
        return false;
    }
    const std::uint32_t stored = StoredCrc(bytes + need - kTrailerSize);
    const std::uint32_t actual = Crc32(bytes, need - kTrailerSize);
    if (stored != actual) {
        char text[96];
        std::snprintf(text, sizeof text, "checksum %08X does not match its contents (%08X): damaged", unsigned(stored),
                      unsigned(actual));
        why = text;
        return false;
    }
    return true;
}

Problem Classify(const std::uint8_t* bytes, std::size_t size, const char* magic, int version)
{
    if (!bytes || size == 0) return Problem::Damaged;
    if (!MagicMatches(bytes, size, magic)) return Problem::Foreign;
    if (size < kHeaderSize) return Problem::Damaged;
    int fileVersion;
    std::memcpy(&fileVersion, bytes + kMagicSize, 4);
    return fileVersion > version ? Problem::Newer : Problem::Damaged;
}

}  // namespace playerfile
