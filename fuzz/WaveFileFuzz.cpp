// The sound library's WAVE reader over any bytes. What it accepts holds
// whole frames of a format the sound layer plays, within the input's size
// (AddressSanitizer sees the exact size: the input is copied into a block
// of its own); what it refuses leaves the result alone and says why.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "audio/detail/WaveFile.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* input, size_t size)
{
    std::unique_ptr<uint8_t[]> bytes(new uint8_t[size ? size : 1]);
    if (size) std::memcpy(bytes.get(), input, size);
    vaudio::detail::WaveData wave;
    std::string why;
    if (!vaudio::detail::ReadWave(bytes.get(), size, wave, why)) {
        if (why.empty() || !wave.samples.empty()) std::abort();
        return 0;
    }
    const WAVEFORMATEX& f = wave.format;
    if (f.wFormatTag != WAVE_FORMAT_PCM || f.nChannels < 1 || f.nChannels > 2) std::abort();
    if ((f.wBitsPerSample != 8 && f.wBitsPerSample != 16) || f.nBlockAlign != f.nChannels * f.wBitsPerSample / 8)
        std::abort();
    if (wave.samples.empty() || wave.samples.size() % f.nBlockAlign != 0 || wave.samples.size() > size) std::abort();
    return 0;
}
