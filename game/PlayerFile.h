// What the player's own files (settings, records) share: the frame around
// their contents and the way they are read, set aside and written. Internal
// to the game's Settings and Records; nothing else includes this.
//
// Every such file is framed the same way, in the machine's byte order:
//
//   offset    size   content
//   0         8      magic: eight ASCII letters naming the kind of file
//   8         4      version of the layout that follows (int)
//   12        ...    the body, laid out as the version says
//   size - 4  4      CRC-32 of every byte before it
//
// The magic tells a file of ours from a foreign one, the version one this
// game can read from one written by a newer game, and the CRC a damaged
// file from a good one, whatever byte was changed.
#pragma once

#include "FileOutcome.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

class vMemoryBuffer;
class vMemoryIterator;

namespace playerfile {

constexpr std::size_t kMagicSize = 8;
constexpr std::size_t kHeaderSize = kMagicSize + 4;  // magic and version
constexpr std::size_t kTrailerSize = 4;              // the CRC

// The files' magics and the versions this game reads and writes.
constexpr char kSettingsMagic[] = "KOLVSETS";
constexpr int kSettingsVersion = 1;
constexpr char kRecordsMagic[] = "KOLVRECS";
constexpr int kRecordsVersion = 1;

// CRC-32 as zip and PNG use it (reflected polynomial 0xEDB88320, initial
// value and final XOR 0xFFFFFFFF); 0 for no bytes.
std::uint32_t Crc32(const std::uint8_t* bytes, std::size_t size);

// --- Encoding and decoding (no file access) ---

// Starts a file in an empty buffer: the magic and the version.
void BeginFile(vMemoryBuffer& buffer, const char* magic, int version);
// Appends the CRC of everything pushed so far and returns the whole file.
std::vector<std::uint8_t> FinishFile(vMemoryBuffer& buffer);

// Checks the first twelve bytes: something there, the magic, our version.
// On success the iterator stands at the body (offset 12); otherwise why says
// what is wrong ("empty file", "not a Kolvar settings file", ...).
bool ReadHeader(const std::uint8_t* bytes, std::size_t size, const char* magic, int version, const char* kind,
                vMemoryIterator& it, std::string& why);
// Checks the size against the one the body needs (need counts every byte,
// header and CRC included) and then the CRC in the last four bytes.
bool CheckSizeAndCrc(const std::uint8_t* bytes, std::size_t size, std::size_t need, std::string& why);

// Why a file the decoder refused was refused, for the player's message.
enum class Problem {
    Damaged,     // ours, but truncated, changed or inconsistent
    Foreign,     // not a file of ours at all
    Newer,       // ours, from a newer game: a version this one cannot read
    Unreadable,  // there, but it cannot be read (permission, not a regular file, read error)
};
// Tells the three kinds of refused bytes apart by their header alone.
Problem Classify(const std::uint8_t* bytes, std::size_t size, const char* magic, int version);

// --- Files ---

// "<base>/kolvar/<leaf>", where base is the folder the environment variable
// names when it is an absolute path (unset, empty and relative values are
// ignored, as the XDG base directory rules say), else $HOME/<homeFallback>.
// Empty when neither gives an absolute path.
std::string XdgPath(const char* variable, const char* homeFallback, const char* leaf);

// How a kind of player file is read and reported.
struct Kind {
    const char* tag;       // stderr prefix and file name: "settings"
    const char* title;     // the HUD's word for it: "Settings"
    const char* variable;  // "XDG_CONFIG_HOME", for the message when there is no folder
    std::size_t limit;     // a larger file is damaged and is not read
    const char* fallback;  // what is used instead, for the stderr line: "defaults used"
    const char* magic;
    int version;
};

// Reads path and hands its bytes to decode. Missing: nothing reported. A
// file that cannot be read, is larger than kind.limit or that decode
// refuses: renamed to "<path>.bad" (replacing an older one), one line on
// standard error naming the file, the reason and where it went, and
// *hudMessage (when given) set to one short line for the player. decode is
// not called then, or its refusal stands; the caller then uses its defaults.
FileOutcome Load(const Kind& kind, const std::string& path,
                 const std::function<bool(const std::uint8_t*, std::size_t, std::string&)>& decode,
                 std::string* hudMessage);

// Writes bytes to a new temporary file beside path, flushes it to the disk
// and renames it over path, creating the missing folders above it (0700).
// False with why (the step and the system's reason) when any step fails:
// the temporary file is removed and the old file at path stays as it was.
bool Save(const std::string& path, const std::vector<std::uint8_t>& bytes, std::string* why);

}  // namespace playerfile
