// The WAVE reader against files built by hand: what plays is read exactly,
// and every file whose sizes or format do not hold is refused with a reason.
#include <gtest/gtest.h>

#include <SoundAnalysis.h>

#include "audio/detail/WaveFile.h"

#include <cstring>
#include <string>

using vaudio::detail::ReadWave;
using vaudio::detail::WaveData;

namespace {

std::vector<std::uint8_t> Frames(std::initializer_list<int> bytes)
{
    std::vector<std::uint8_t> out;
    for (int b : bytes) out.push_back(std::uint8_t(b));
    return out;
}

void Put32(std::vector<std::uint8_t>& file, std::size_t at, std::uint32_t v)
{
    for (int i = 0; i < 4; ++i) file[at + i] = std::uint8_t(v >> (8 * i));
}

void Put16(std::vector<std::uint8_t>& file, std::size_t at, std::uint16_t v)
{
    file[at] = std::uint8_t(v);
    file[at + 1] = std::uint8_t(v >> 8);
}

// Offsets in the files WaveBytes writes.
const std::size_t kRiffSize = 4, kTag = 20, kChannels = 22, kRate = 24, kAlign = 32, kBits = 34, kDataSize = 40;

std::string Refusal(const std::vector<std::uint8_t>& file)
{
    WaveData wave;
    std::string why;
    EXPECT_FALSE(ReadWave(file.data(), file.size(), wave, why));
    EXPECT_TRUE(wave.samples.empty());
    EXPECT_FALSE(why.empty());
    return why;
}

}  // namespace

TEST(WaveFile, ReadsPcmLayoutsAndSkipsChunksItDoesNotKnow)
{
    const auto stereo8 = Frames({0x80, 0xFF, 0x00, 0x7F});
    auto file = soundtest::WaveBytes(2, 8, 11025, stereo8);
    WaveData wave;
    std::string why;
    ASSERT_TRUE(ReadWave(file.data(), file.size(), wave, why)) << why;
    EXPECT_EQ(wave.format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(wave.format.nChannels, 2);
    EXPECT_EQ(wave.format.wBitsPerSample, 8);
    EXPECT_EQ(wave.format.nSamplesPerSec, 11025u);
    EXPECT_EQ(wave.format.nBlockAlign, 2);
    EXPECT_EQ(wave.format.nAvgBytesPerSec, 22050u);
    EXPECT_EQ(wave.samples, stereo8);

    // A LIST chunk of odd size (padded) before "fmt ", bytes after the RIFF
    // chunk, and a last frame cut in half: the samples are the whole frames.
    const auto mono16 = Frames({0x01, 0x02, 0x03, 0x04, 0x05});
    file = soundtest::WaveBytes(1, 16, 44100, mono16);
    const std::vector<std::uint8_t> list = {'L', 'I', 'S', 'T', 3, 0, 0, 0, 'a', 'b', 'c', 0};
    file.insert(file.begin() + 12, list.begin(), list.end());
    Put32(file, kRiffSize, std::uint32_t(file.size() - 8));
    file.insert(file.end(), {'j', 'u', 'n', 'k'});
    wave = WaveData();
    ASSERT_TRUE(ReadWave(file.data(), file.size(), wave, why)) << why;
    EXPECT_EQ(wave.samples, Frames({0x01, 0x02, 0x03, 0x04}));
    EXPECT_EQ(wave.format.nSamplesPerSec, 44100u);

    // WAVE_FORMAT_EXTENSIBLE with the PCM sub-format, as many recorders write.
    std::vector<std::uint8_t> ext = {
        'R',  'I',  'F',  'F',  0,    0,    0,    0,    'W',  'A',  'V',  'E',  'f',  'm',  't',  ' ',  40,   0,
        0,    0,    0xFE, 0xFF, 1,    0,    0x80, 0xBB, 0,    0,    0,    0x77, 1,    0,    2,    0,    16,   0,
        22,   0,    16,   0,    4,    0,    0,    0,    0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80, 0x00,
        0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71, 'd',  'a',  't',  'a',  2,    0,    0,    0,    0x34, 0x12};
    Put32(ext, kRiffSize, std::uint32_t(ext.size() - 8));
    wave = WaveData();
    ASSERT_TRUE(ReadWave(ext.data(), ext.size(), wave, why)) << why;
    EXPECT_EQ(wave.format.wFormatTag, WAVE_FORMAT_PCM);
    EXPECT_EQ(wave.format.nSamplesPerSec, 48000u);
    EXPECT_EQ(wave.samples, Frames({0x34, 0x12}));
}

TEST(WaveFile, RefusesSizesTheFileCannotHold)
{
    const auto good = soundtest::WaveBytes(1, 16, 22050, soundtest::SineBytes(440, 0.01, 22050, 0.5));

    auto gigabyte = good;  // 1 GB of samples declared, a few hundred there
    Put32(gigabyte, kDataSize, 1u << 30);
    EXPECT_NE(Refusal(gigabyte).find("'data' chunk declares 1073741824 bytes"), std::string::npos);

    auto riff = good;  // the RIFF chunk longer than the file
    Put32(riff, kRiffSize, std::uint32_t(good.size()));
    EXPECT_NE(Refusal(riff).find("RIFF chunk declares"), std::string::npos);

    // Cut anywhere: refused, never read past the end.
    for (std::size_t n = 0; n < good.size(); n += 3) {
        std::vector<std::uint8_t> cut(good.begin(), good.begin() + long(n));
        WaveData wave;
        std::string why;
        EXPECT_FALSE(ReadWave(cut.data(), cut.size(), wave, why)) << n;
        // The same cut with the RIFF size mended: still refused, by chunk.
        if (n >= 8) {
            Put32(cut, kRiffSize, std::uint32_t(n - 8));
            EXPECT_FALSE(ReadWave(cut.data(), cut.size(), wave, why)) << n;
        }
    }

    auto huge = good;  // a chunk size near 4 GB cannot wrap the offset round
    huge.insert(huge.begin() + 12, {'p', 'a', 'd', ' ', 0xF8, 0xFF, 0xFF, 0xFF});
    Put32(huge, kRiffSize, std::uint32_t(huge.size() - 8));
    EXPECT_NE(Refusal(huge).find("'pad ' chunk declares 4294967288 bytes"), std::string::npos);

    auto empty = soundtest::WaveBytes(1, 16, 22050, {});
    EXPECT_NE(Refusal(empty).find("no whole sample frame"), std::string::npos);

    EXPECT_EQ(Refusal(std::vector<std::uint8_t>()), "not a RIFF WAVE file");
    const char text[] = "RIFF....WAVX";
    EXPECT_EQ(Refusal(std::vector<std::uint8_t>(text, text + 12)), "not a RIFF WAVE file");
}

TEST(WaveFile, RefusesFormatsTheSoundLayerCannotPlay)
{
    const auto good = soundtest::WaveBytes(1, 16, 22050, soundtest::SineBytes(440, 0.01, 22050, 0.5));
    auto with = [&](std::size_t at, std::uint16_t v) {
        auto f = good;
        Put16(f, at, v);
        return Refusal(f);
    };
    EXPECT_EQ(with(kChannels, 0), "0 channels; a sound has 1 or 2");
    EXPECT_EQ(with(kChannels, 6), "6 channels; a sound has 1 or 2");
    EXPECT_EQ(with(kBits, 24), "24-bit samples; a sound has 8 or 16");
    EXPECT_EQ(with(kTag, 2), "compressed samples (format tag 2); only PCM plays");
    EXPECT_NE(with(kAlign, 3).find("block align of 3"), std::string::npos);
    auto rate = good;
    Put32(rate, kRate, 0);
    EXPECT_NE(Refusal(rate).find("a rate of 0 Hz"), std::string::npos);

    // Samples before their format, and a file with a format and no samples.
    auto swapped = good;
    std::memcpy(&swapped[12], "data", 4);
    EXPECT_EQ(Refusal(swapped), "the samples come before any 'fmt ' chunk");
    std::vector<std::uint8_t> formatOnly(good.begin(), good.begin() + 36);
    Put32(formatOnly, kRiffSize, 28);
    EXPECT_EQ(Refusal(formatOnly), "no 'data' chunk");
}
