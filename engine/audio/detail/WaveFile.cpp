#include "audio/detail/WaveFile.h"

#include <cstring>

namespace vaudio::detail {
namespace {

const std::uint16_t kFormatExtensible = 0xFFFE;
// The PCM sub-format of WAVE_FORMAT_EXTENSIBLE: {00000001-0000-0010-8000-00AA00389B71}.
const std::uint8_t kPcmSubFormat[16] = {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00,
                                        0x80, 0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};

std::uint16_t U16(const std::uint8_t* p)
{
    return std::uint16_t(p[0] | (p[1] << 8));
}

std::uint32_t U32(const std::uint8_t* p)
{
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) | (std::uint32_t(p[3]) << 24);
}

std::string ChunkName(const std::uint8_t* id)
{
    std::string name;
    for (int i = 0; i < 4; ++i) name += (id[i] >= 0x20 && id[i] < 0x7F) ? char(id[i]) : '?';
    return "'" + name + "'";
}

// The "fmt " chunk's body as a playable PCM format, or the reason it is not.
bool ReadFormat(const std::uint8_t* body, std::uint32_t size, WAVEFORMATEX& format, std::string& why)
{
    if (size < 16) {
        why = "the 'fmt ' chunk is " + std::to_string(size) + " bytes, shorter than a format (16)";
        return false;
    }
    std::uint16_t tag = U16(body);
    if (tag == kFormatExtensible) {
        if (size < 40 || U16(body + 16) < 22) {
            why = "the extensible 'fmt ' chunk is too short for its sub-format";
            return false;
        }
        if (std::memcmp(body + 24, kPcmSubFormat, 16) != 0) {
            why = "compressed or floating-point samples (extensible sub-format); only PCM plays";
            return false;
        }
        tag = WAVE_FORMAT_PCM;
    }
    if (tag != WAVE_FORMAT_PCM) {
        why = "compressed samples (format tag " + std::to_string(tag) + "); only PCM plays";
        return false;
    }
    const std::uint16_t channels = U16(body + 2);
    const std::uint32_t rate = U32(body + 4);
    const std::uint16_t align = U16(body + 12);
    const std::uint16_t bits = U16(body + 14);
    if (channels < 1 || channels > 2) {
        why = std::to_string(channels) + " channels; a sound has 1 or 2";
        return false;
    }
    if (bits != 8 && bits != 16) {
        why = std::to_string(bits) + "-bit samples; a sound has 8 or 16";
        return false;
    }
    if (rate < DSBFREQUENCY_MIN || rate > DSBFREQUENCY_MAX) {
        why = "a rate of " + std::to_string(rate) + " Hz, outside " + std::to_string(DSBFREQUENCY_MIN) + " ... " +
              std::to_string(DSBFREQUENCY_MAX);
        return false;
    }
    const std::uint16_t frame = std::uint16_t(channels * bits / 8);
    if (align != frame) {
        why = "a block align of " + std::to_string(align) + " for " + std::to_string(channels) + " x " +
              std::to_string(bits) + "-bit samples (" + std::to_string(frame) + ")";
        return false;
    }
    format = {};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = channels;
    format.nSamplesPerSec = rate;
    format.nBlockAlign = frame;
    format.nAvgBytesPerSec = rate * frame;
    format.wBitsPerSample = bits;
    return true;
}

}  // namespace

bool ReadWave(const std::uint8_t* bytes, std::size_t size, WaveData& wave, std::string& why)
{
    if (!bytes || size < 12 || std::memcmp(bytes, "RIFF", 4) != 0 || std::memcmp(bytes + 8, "WAVE", 4) != 0) {
        why = "not a RIFF WAVE file";
        return false;
    }
    const std::uint32_t riffSize = U32(bytes + 4);
    if (riffSize > size - 8) {
        why = "the RIFF chunk declares " + std::to_string(riffSize) + " bytes but the file holds " +
              std::to_string(size - 8) + " after its header";
        return false;
    }
    // Bytes past the RIFF chunk belong to no chunk and are ignored.
    const std::size_t end = 8 + std::size_t(riffSize);

    WAVEFORMATEX format = {};
    bool haveFormat = false;
    std::size_t at = 12;
    while (at < end) {
        if (end - at < 8) {
            why = "a chunk header cut short at byte " + std::to_string(at);
            return false;
        }
        const std::uint8_t* id = bytes + at;
        const std::uint32_t chunkSize = U32(bytes + at + 4);
        const std::size_t body = at + 8;
        if (chunkSize > end - body) {
            why = "the " + ChunkName(id) + " chunk declares " + std::to_string(chunkSize) + " bytes but " +
                  std::to_string(end - body) + " follow it";
            return false;
        }
        if (std::memcmp(id, "fmt ", 4) == 0) {
            if (haveFormat) {
                why = "two 'fmt ' chunks";
                return false;
            }
            if (!ReadFormat(bytes + body, chunkSize, format, why)) return false;
            haveFormat = true;
        } else if (std::memcmp(id, "data", 4) == 0) {
            if (!haveFormat) {
                why = "the samples come before any 'fmt ' chunk";
                return false;
            }
            const std::size_t usable = chunkSize - chunkSize % format.nBlockAlign;
            if (usable == 0) {
                why = "the 'data' chunk holds no whole sample frame";
                return false;
            }
            if (usable > DSBSIZE_MAX) {
                why = "more samples than a sound buffer holds";
                return false;
            }
            wave.format = format;
            wave.samples.assign(bytes + body, bytes + body + usable);
            return true;
        }
        // Chunks are padded to an even size; a pad byte missing at the very end is forgiven.
        at = body + chunkSize + (chunkSize & 1u);
    }
    why = haveFormat ? "no 'data' chunk" : "no 'fmt ' chunk";
    return false;
}

}  // namespace vaudio::detail
