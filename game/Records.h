// The player's records: for each level file played to the goal, the best
// level score and the fastest time. Kept in $XDG_DATA_HOME/kolvar/records
// and written whole after each completed level.
//
// A record belongs to a level number and the CRC-32 of that level file's
// bytes, so a level whose board changed starts afresh and the old board's
// record stays apart.
//
// The file, in the machine's byte order (PlayerFile.h has the frame):
//
//   offset     size    content
//   0          8       "KOLVRECS"
//   8          4       version, 1
//   12         4       N, the record count (int), 0 ... kMaxRecords
//   16         16 * N  records, each: level (int), level checksum,
//                      best score (int), fastest time in ms
//   16 + 16N   4       CRC-32 of bytes 0 ... 15 + 16N
//
// 20 + 16N bytes in all. No two records share a level and a checksum.
#pragma once

#include "FileOutcome.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

// CRC-32 of a level file's bytes (as zip and PNG compute it); 0 for none.
std::uint32_t LevelChecksum(const std::uint8_t* bytes, std::size_t size);

struct LevelRecord {
    int level;
    std::uint32_t checksum;   // LevelChecksum of the level file
    int bestScore;            // the highest level score
    std::uint32_t fastestMs;  // the shortest time to the goal
};

class Records {
public:
    static constexpr int kMaxRecords = 4096;                          // records kept at most
    static constexpr std::size_t kFileLimit = 20 + 16 * kMaxRecords;  // a larger file is damaged and is not read

    // The record of this level file, or null. The pointer lasts until the
    // next Submit, Decode into this object or Load.
    const LevelRecord* Find(int level, std::uint32_t checksum) const;
    int Count() const { return static_cast<int>(records_.size()); }
    const LevelRecord& At(int index) const { return records_[index]; }  // 0 ... Count() - 1, in the order made

    // Offers a completed run; true for each of score / time that is a new
    // best (a first run is a new best of both; a tie is not). Each of the
    // two is kept separately. When kMaxRecords level files have records, a
    // run of another one is not kept and is no best.
    struct Offer {
        bool bestScore;
        bool fastest;
    };
    Offer Submit(int level, std::uint32_t checksum, int score, std::uint32_t ms);

    // The file image, built with vMemoryBuffer.
    std::vector<std::uint8_t> Encode() const;
    // Reads a file image. False, with why and out untouched, for anything
    // that is not a records file this game writes: empty, foreign, truncated,
    // longer than its records, a version it does not know, a CRC that does
    // not match, a count outside 0 ... kMaxRecords, two records of one level
    // file.
    static bool Decode(const std::uint8_t* b, std::size_t n, Records& out, std::string& why);

    // Replaces these records with the file's. Missing: none, no message.
    // Damaged (refused by Decode, larger than kFileLimit, unreadable): none;
    // the file renamed to "records.bad" beside it (replacing an older one),
    // one line on standard error naming the file and the reason, and
    // *hudMessage (when given) set to one line for the HUD, e.g. "Records
    // were damaged and were reset (kept as records.bad)". Play goes on.
    FileOutcome Load(std::string* hudMessage);
    // Writes these records over the file (Load them first) through a
    // temporary file in the same folder and a rename, creating the missing
    // folders (0700). False with why (when given) when that fails; the old
    // file is then left as it was.
    bool Save(std::string* why) const;
    // "$XDG_DATA_HOME/kolvar/records", else
    // "$HOME/.local/share/kolvar/records" (an unset, empty or relative
    // XDG_DATA_HOME is ignored); "" when HOME is not an absolute path either.
    static std::string Path();

private:
    std::vector<LevelRecord> records_;
};
