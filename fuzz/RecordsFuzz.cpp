// The records decoder: any bytes are refused with a reason, leaving the
// records alone, or give at most Records::kMaxRecords records, no two of one
// level file, that save to exactly the bytes they came from (records take
// nothing from a file that would need clamping). A run offered to them
// afterwards counts as a best exactly when it beats the record there, and
// changes nothing else. Each input is also tried with its last four bytes
// set to the CRC of the others, so the records behind the checksum are
// reached.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "SealedInput.h"
#include "Records.h"

namespace {

bool Same(const LevelRecord& a, const LevelRecord& b)
{
    return a.level == b.level && a.checksum == b.checksum && a.bestScore == b.bestScore && a.fastestMs == b.fastestMs;
}

std::uint32_t Word(const std::uint8_t* data, std::size_t size, std::size_t at)
{
    std::uint32_t w = 0;
    for (std::size_t i = 0; i < 4; ++i) w = w << 8 | (at + i < size ? data[at + i] : 0);
    return w;
}

void Check(const std::uint8_t* data, std::size_t size)
{
    Records r;
    r.Submit(-1, 0xDEADBEEFu, 1, 1);
    std::string why;
    if (!Records::Decode(data, size, r, why)) {
        if (why.empty() || r.Count() != 1 || !r.Find(-1, 0xDEADBEEFu)) std::abort();
        return;
    }
    const int n = r.Count();
    if (n < 0 || n > Records::kMaxRecords) std::abort();
    for (int i = 0; i < n; ++i)
        if (r.Find(r.At(i).level, r.At(i).checksum) != &r.At(i)) std::abort();  // the first of its file: no repeat
    if (r.Encode() != std::vector<std::uint8_t>(data, data + size)) std::abort();

    // A run of one of the level files there (or another), from the input's first bytes.
    const int pick = n ? static_cast<int>(Word(data, size, 12) % static_cast<std::uint32_t>(n)) : 0;
    const bool known = n && (data[size - 1] & 1);
    const int level = known ? r.At(pick).level : static_cast<int>(Word(data, size, 0));
    const std::uint32_t checksum = known ? r.At(pick).checksum : Word(data, size, 4);
    const int score = static_cast<int>(Word(data, size, 8));
    const std::uint32_t ms = Word(data, size, size / 2);
    const LevelRecord* had = r.Find(level, checksum);
    const bool hadOne = had != nullptr;
    const LevelRecord old = hadOne ? *had : LevelRecord{0, 0, 0, 0};
    std::vector<LevelRecord> others;
    for (int i = 0; i < n; ++i)
        if (&r.At(i) != had) others.push_back(r.At(i));

    const Records::Offer o = r.Submit(level, checksum, score, ms);
    const LevelRecord* now = r.Find(level, checksum);
    if (hadOne) {
        if (o.bestScore != (score > old.bestScore) || o.fastest != (ms < old.fastestMs)) std::abort();
        if (!now || now->bestScore != (o.bestScore ? score : old.bestScore) ||
            now->fastestMs != (o.fastest ? ms : old.fastestMs) || r.Count() != n)
            std::abort();
    } else if (n < Records::kMaxRecords) {
        if (!o.bestScore || !o.fastest || !now || !Same(*now, LevelRecord{level, checksum, score, ms}) ||
            r.Count() != n + 1)
            std::abort();
    } else if (o.bestScore || o.fastest || now || r.Count() != n) {
        std::abort();
    }
    for (const LevelRecord& other : others) {
        const LevelRecord* still = r.Find(other.level, other.checksum);
        if (!still || !Same(*still, other)) std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CheckAsGivenAndSealed(data, size, Check);
    return 0;
}
