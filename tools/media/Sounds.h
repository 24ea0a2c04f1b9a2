// The game's sounds under <root>/kMedia/sounds/, synthesised here: no
// recorded samples, noise from a fixed-seed integer generator, so the same
// build always writes the same bytes.
//
// Every file is a canonical RIFF WAVE file, little-endian, 44-byte header:
//
//   offset  size  field
//        0     4  "RIFF"
//        4     4  file size - 8
//        8     4  "WAVE"
//       12     4  "fmt "
//       16     4  16 (the fmt chunk's size)
//       20     2  1 (PCM)
//       22     2  1 (mono)
//       24     4  kSoundSampleRate
//       28     4  kSoundSampleRate * 2 (bytes per second)
//       32     2  2 (bytes per sample frame)
//       34     2  16 (bits per sample)
//       36     4  "data"
//       40     4  sample count * 2
//       44        the samples, signed 16-bit
//
// Every sound peaks below full scale (no sample reaches +-32767). The one-shot
// sounds rise from and fall back to silence within a few milliseconds, except
// the click, which starts at once. roll.wav is a loop: it has no fades, and
// its last sample runs on into its first as smoothly as any two neighbours.
//
//   roll.wav      1.0 s    low-passed noise and a soft kRollToneHz hum, seamless loop
//   coin.wav      0.25 s   kCoinToneHz[0] for 80 ms, then kCoinToneHz[1], decaying
//   lastcoin.wav  0.6 s    kLastCoinToneHz rising, 100 ms apart, each ringing on
//   blast.wav     0.8 s    a noise burst over a falling low thump, decaying
//   goal.wav      1.0 s    the kGoalChordHz major chord, swelling then decaying
//   restart.wav   0.5 s    a sweep from kRestartSweepHz[0] down to kRestartSweepHz[1]
//   click.wav     25 ms    a kClickToneHz tick that dies away at once
//
// coin.wav holds nothing near kLastCoinToneHz[3] and lastcoin.wav nothing
// near kCoinToneHz[0], so the two can be told apart in a mix.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace media {

inline constexpr int kSoundSampleRate = 22050;

// The files' names, as the game asks for "kMedia\\sounds\\<name>".
inline constexpr const char* kSoundNames[] = {"roll.wav", "coin.wav",    "lastcoin.wav", "blast.wav",
                                              "goal.wav", "restart.wav", "click.wav"};

// The frequencies each sound is made of, in Hz.
inline constexpr double kRollToneHz = 55.0;
inline constexpr double kCoinToneHz[] = {988.0, 1319.0};                       // B5, E6
inline constexpr double kLastCoinToneHz[] = {1047.0, 1319.0, 1568.0, 2093.0};  // C6 E6 G6 C7
inline constexpr double kGoalChordHz[] = {523.0, 659.0, 784.0};                // C5 E5 G5
inline constexpr double kRestartSweepHz[] = {880.0, 220.0};                    // from, to
inline constexpr double kClickToneHz = 2000.0;

// The samples of the sound named name (one of kSoundNames); empty for any other name.
std::vector<std::int16_t> SynthesizeSound(const std::string& name);
// The WAVE file holding samples at kSoundSampleRate, laid out as above.
std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples);
// EncodeWav(SynthesizeSound(name)); empty for a name not in kSoundNames.
std::vector<std::uint8_t> MakeSound(const std::string& name);

// "kMedia/sounds/<name>" for every name in kSoundNames, in that order.
std::vector<std::string> SoundFileNames();
// Writes them under root; false and an error naming the folder or file on the first failure.
bool WriteSounds(const std::string& root, std::string& error);

}  // namespace media
