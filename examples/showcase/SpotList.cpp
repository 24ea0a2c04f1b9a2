#include "SpotList.h"

#include <Win32File.h>
#include <vMemoryBuffer.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>

namespace {

const char kMagic[4] = {'V', 'X', 'S', 'P'};
const int kVersion = 1;
// Magic, version, count, then at most kMaxSpots spots of the longest name.
const std::size_t kFileLimit = 12 + SpotList::kMaxSpots * (4 + SpotList::kMaxNameLength + 5 * 4);

bool Refuse(std::string* error, const char* fileName, const char* why)
{
    if (error) *error = std::string("Spot file ") + fileName + " is corrupt: " + why;
    return false;
}

}  // namespace

bool SpotList::Add(const ShowcaseSpot& spot)
{
    if ((int)m_spots.size() >= kMaxSpots || spot.name.empty() || (int)spot.name.size() > kMaxNameLength) return false;
    m_spots.push_back(spot);
    return true;
}

bool SpotList::Save(const char* fileName, std::string* error) const
{
    vMemoryBuffer buffer;
    buffer.push(kMagic, 4);
    buffer.push(&kVersion, 4);
    const int count = (int)m_spots.size();
    buffer.push(&count, 4);
    for (const ShowcaseSpot& spot : m_spots) {
        buffer.pushstring(spot.name.c_str(), true);
        for (float value : {spot.x, spot.y, spot.z, spot.pitch, spot.yaw}) buffer.push(&value, 4);
    }
    std::unique_ptr<char[]> bytes(buffer.copybuffer());

    // A failure names the file asked for (the temporary is an inner detail) and the system's reason.
    auto fail = [&](const char* doing, int why) {
        if (error) *error = std::string(doing) + " " + fileName + ": " + std::strerror(why ? why : EIO);
        return false;
    };
    const std::string temporary = std::string(fileName) + ".tmp";
    errno = 0;
    FILE* file = std::fopen(temporary.c_str(), "wb");
    if (!file) return fail("Cannot write", errno);
    errno = 0;
    const bool written = std::fwrite(bytes.get(), 1, (size_t)buffer.GetSize(), file) == (size_t)buffer.GetSize();
    const bool flushed = std::fflush(file) == 0;
    int why = errno;
    const bool closed = std::fclose(file) == 0;
    if (!why) why = errno;
    if (!written || !flushed || !closed) {
        std::remove(temporary.c_str());
        return fail("Cannot write", why);
    }
    if (std::rename(temporary.c_str(), fileName) != 0) {
        why = errno;
        std::remove(temporary.c_str());
        return fail("Cannot replace", why);
    }
    return true;
}

bool SpotList::Load(const char* fileName, std::string* error)
{
    std::vector<std::uint8_t> bytes;
    int why = 0;
    switch (Win32_ReadWholeFile(fileName, kFileLimit, bytes, &why)) {
        case WIN32_READ_OK:
            break;
        case WIN32_READ_MISSING:
            if (error) *error = std::string("No spot file ") + fileName;
            return false;
        case WIN32_READ_TOO_LARGE:
            return Refuse(error, fileName, "too large");
        default:
            if (error) *error = std::string("Cannot read ") + fileName + ": " + std::strerror(why);
            return false;
    }
    const char* data = reinterpret_cast<const char*>(bytes.data());
    const int size = (int)bytes.size();
    vMemoryIterator reader;
    char* magic = nullptr;
    if (reader.GetString(data, size, 4, &magic) != S_OK) return Refuse(error, fileName, "not a spot file");
    const bool isSpotFile = std::memcmp(magic, kMagic, 4) == 0;
    delete[] magic;
    if (!isSpotFile) return Refuse(error, fileName, "not a spot file");
    int version = 0, count = 0;
    if (reader.GetInt(data, size, &version) != S_OK || version != kVersion)
        return Refuse(error, fileName, "unknown version");
    if (reader.GetInt(data, size, &count) != S_OK || count < 0 || count > kMaxSpots)
        return Refuse(error, fileName, "bad spot count");

    std::vector<ShowcaseSpot> spots;
    for (int i = 0; i < count; ++i) {
        int length = 0;
        if (reader.GetInt(data, size, &length) != S_OK) return Refuse(error, fileName, "truncated");
        if (length < 1 || length > kMaxNameLength) return Refuse(error, fileName, "bad name length");
        char* text = nullptr;
        if (reader.GetString(data, size, length, &text) != S_OK) return Refuse(error, fileName, "truncated");
        ShowcaseSpot spot;
        spot.name.assign(text, (size_t)length);
        delete[] text;
        if (spot.name.find('\0') != std::string::npos) return Refuse(error, fileName, "bad name");
        float* fields[5] = {&spot.x, &spot.y, &spot.z, &spot.pitch, &spot.yaw};
        for (float* field : fields) {
            if (reader.GetFloat(data, size, field) != S_OK) return Refuse(error, fileName, "truncated");
            if (!(*field == *field) || *field > 1e6f || *field < -1e6f)
                return Refuse(error, fileName, "value out of range");
        }
        spots.push_back(spot);
    }
    if (reader.GetPosition() != size) return Refuse(error, fileName, "bytes after the last spot");
    m_spots = spots;
    return true;
}
