// The RIFF WAVE reader behind vSound: PCM samples and their format from a
// file's bytes, every size checked against what the bytes hold.
//
//   "RIFF" <size> "WAVE"              size: the bytes after these 8, at most the file's
//     "fmt " <16, 18 or 40> <format>  WAVEFORMATEX (WAVE_FORMAT_PCM, or
//                                      WAVE_FORMAT_EXTENSIBLE with the PCM sub-format)
//     ...    <n> <n bytes, padded to even>   other chunks are skipped
//     "data" <n> <samples>            after "fmt "; whole frames are kept
#pragma once

#include <dsound.h>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vaudio::detail {

// The largest sound the engine loads: a file over this is refused unread.
constexpr std::size_t kMaxWaveFileBytes = 64u << 20;

struct WaveData {
    WAVEFORMATEX format = {};           // always WAVE_FORMAT_PCM, cbSize 0
    std::vector<std::uint8_t> samples;  // whole frames, at least one
};

// Decodes a whole file into wave. False with the reason in why (for the
// line on standard error) when the bytes are not a playable PCM WAVE file:
// a chunk larger than what follows it, a format the sound layer cannot play
// (compressed, 0 or more than 2 channels, other than 8 or 16 bits, a rate
// outside DSBFREQUENCY_MIN ... DSBFREQUENCY_MAX), no samples. wave is left
// alone on failure.
bool ReadWave(const std::uint8_t* bytes, std::size_t size, WaveData& wave, std::string& why);

}  // namespace vaudio::detail
