// What the sound layer's tests share: formats, generated sounds, a device on
// the loopback seam, and readings of a mix (level, zero crossings).
#pragma once

#include <dsound.h>
#include <DSoundTestSeam.h>
#include <SoundAnalysis.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <vector>

namespace soundtest {

constexpr DWORD kMixRate = 48000;

inline WAVEFORMATEX Format(DWORD rate, WORD channels, WORD bits)
{
    WAVEFORMATEX f = {};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = static_cast<WORD>(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

// A mono 16-bit sine of whole periods.
inline std::vector<int16_t> Sine(DWORD rate, double hz, double amplitude, DWORD frames)
{
    std::vector<int16_t> s(frames);
    for (DWORD i = 0; i < frames; ++i)
        s[i] = static_cast<int16_t>(std::lround(amplitude * std::sin(2.0 * M_PI * hz * i / rate)));
    return s;
}

// Writes bytes over the whole buffer through Lock and Unlock.
inline void Fill(IDirectSoundBuffer* buffer, const void* bytes, DWORD size)
{
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(buffer->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    ASSERT_EQ(n1, size);
    std::memcpy(p1, bytes, size);
    ASSERT_EQ(buffer->Unlock(p1, n1, p2, n2), DS_OK);
}

// A secondary buffer holding bytes; nullptr (and a failure) when refused.
inline IDirectSoundBuffer* MakeBuffer(IDirectSound8* ds, const WAVEFORMATEX& f, const void* bytes, DWORD size,
                                      DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY)
{
    WAVEFORMATEX format = f;
    DSBUFFERDESC desc = {};
    desc.dwSize = sizeof desc;
    desc.dwFlags = flags;
    desc.dwBufferBytes = size;
    desc.lpwfxFormat = &format;
    IDirectSoundBuffer* buffer = nullptr;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &buffer, nullptr), DS_OK);
    if (buffer && bytes) Fill(buffer, bytes, size);
    return buffer;
}

inline IDirectSoundBuffer* MakeTone(IDirectSound8* ds, const std::vector<int16_t>& mono, DWORD rate = kMixRate,
                                    DWORD flags = DSBCAPS_CTRLVOLUME | DSBCAPS_CTRLPAN | DSBCAPS_CTRLFREQUENCY)
{
    return MakeBuffer(ds, Format(rate, 1, 16), mono.data(), static_cast<DWORD>(mono.size() * 2), flags);
}

// The next frames of the loopback device's mix.
inline Mix Render(DWORD frames)
{
    Mix m;
    m.samples.assign(2 * frames, 0);
    EXPECT_TRUE(DSound_RenderForTests(m.samples.data(), frames));
    return m;
}

// A device on the loopback seam, ready for buffers. New voices and changes
// of gain fade in over the next mix OpenAL makes, so tests render a short
// settle before they read a level.
class LoopbackTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DSound_UseLoopbackForTests(kMixRate);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    }
    void TearDown() override
    {
        for (IUnknown* o : owned) o->Release();
        if (ds) {
            EXPECT_EQ(ds->Release(), 0u);
        }
        DSound_UseLoopbackForTests(0);
    }
    // Released before the device at the end of the test.
    template <typename T>
    T* Own(T* object)
    {
        if (object) owned.push_back(object);
        return object;
    }
    static void Settle() { Render(1024); }

    IDirectSound8* ds = nullptr;
    std::vector<IUnknown*> owned;
};

}  // namespace soundtest
