// The records in memory and their file image. No file access here:
// Records_file.cpp reads and writes the file.
#include "Records.h"

#include "PlayerFile.h"

#include <vMemoryBuffer.h>

#include <algorithm>

namespace {

constexpr std::size_t kRecordBytes = 16;

std::size_t FileSize(std::size_t count)
{
    return playerfile::kHeaderSize + 4 + kRecordBytes * count + playerfile::kTrailerSize;
}

bool SameFile(const LevelRecord& r, int level, std::uint32_t checksum)
{
    return r.level == level && r.checksum == checksum;
}

}  // namespace

std::uint32_t LevelChecksum(const std::uint8_t* bytes, std::size_t size)
{
    return playerfile::Crc32(bytes, size);
}

const LevelRecord* Records::Find(int level, std::uint32_t checksum) const
{
    for (const LevelRecord& r : records_)
        if (SameFile(r, level, checksum)) return &r;
    return nullptr;
}

Records::Offer Records::Submit(int level, std::uint32_t checksum, int score, std::uint32_t ms)
{
    for (LevelRecord& r : records_) {
        if (!SameFile(r, level, checksum)) continue;
        Offer offer{score > r.bestScore, ms < r.fastestMs};
        if (offer.bestScore) r.bestScore = score;
        if (offer.fastest) r.fastestMs = ms;
        return offer;
    }
    if (records_.size() >= static_cast<std::size_t>(kMaxRecords)) return Offer{false, false};
    records_.push_back(LevelRecord{level, checksum, score, ms});
    return Offer{true, true};
}

std::vector<std::uint8_t> Records::Encode() const
{
    vMemoryBuffer buffer;
    playerfile::BeginFile(buffer, playerfile::kRecordsMagic, playerfile::kRecordsVersion);
    const int count = static_cast<int>(records_.size());
    buffer.push(&count, 4);
    for (const LevelRecord& r : records_) {
        buffer.push(&r.level, 4);
        buffer.push(&r.checksum, 4);
        buffer.push(&r.bestScore, 4);
        buffer.push(&r.fastestMs, 4);
    }
    return playerfile::FinishFile(buffer);
}

bool Records::Decode(const std::uint8_t* b, std::size_t n, Records& out, std::string& why)
{
    vMemoryIterator it;
    if (!playerfile::ReadHeader(b, n, playerfile::kRecordsMagic, playerfile::kRecordsVersion, "records", it, why))
        return false;
    const char* data = reinterpret_cast<const char*>(b);
    // Nothing past the largest file matters to the reads below, whose sizes are ints.
    const int readable = static_cast<int>(std::min(n, kFileLimit));
    int count = 0;
    if (it.GetInt(data, readable, &count) != S_OK) {
        why = "truncated: " + std::to_string(n) + " bytes end before the record count";
        return false;
    }
    if (count < 0 || count > kMaxRecords) {
        why = "record count " + std::to_string(count) + " outside 0 ... " + std::to_string(kMaxRecords);
        return false;
    }
    const std::size_t need = FileSize(static_cast<std::size_t>(count));
    if (!playerfile::CheckSizeAndCrc(b, n, need, why)) return false;

    const int end = static_cast<int>(need - playerfile::kTrailerSize);
    Records loaded;
    loaded.records_.reserve(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i) {
        LevelRecord r;
        int checksum = 0;
        int fastest = 0;
        if (it.GetInt(data, end, &r.level) != S_OK || it.GetInt(data, end, &checksum) != S_OK ||
            it.GetInt(data, end, &r.bestScore) != S_OK || it.GetInt(data, end, &fastest) != S_OK) {
            why = "record " + std::to_string(i) + " runs past the end";
            return false;
        }
        r.checksum = static_cast<std::uint32_t>(checksum);
        r.fastestMs = static_cast<std::uint32_t>(fastest);
        if (loaded.Find(r.level, r.checksum)) {
            why = "record " + std::to_string(i) + " repeats the record of level " + std::to_string(r.level) +
                  "'s board " + std::to_string(r.checksum);
            return false;
        }
        loaded.records_.push_back(r);
    }
    out = std::move(loaded);
    return true;
}
