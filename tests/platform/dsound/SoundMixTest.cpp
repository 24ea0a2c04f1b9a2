// What the mix holds, sample by sample, on the loopback seam: levels,
// pitch, looping, stopping, duplicates, locking while playing, pan, formats.
#include "SoundTestKit.h"

using namespace soundtest;

namespace {

constexpr double kAmp = 10000.0;

class DSoundMix : public LoopbackTest {};

TEST_F(DSoundMix, VolumeScalesTheVoiceAndTheMinimumSilences)
{
    auto* tone = Own(MakeTone(ds, Sine(kMixRate, 1000, kAmp, 4800)));
    ASSERT_NE(tone, nullptr);
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    // A centred mono voice at full volume: its samples in both channels.
    Mix full = Render(4800);
    EXPECT_NEAR(full.Peak(0), kAmp, kAmp * 0.02);
    EXPECT_NEAR(full.Peak(1), kAmp, kAmp * 0.02);

    ASSERT_EQ(tone->SetVolume(-600), DS_OK);
    Settle();
    EXPECT_NEAR(Render(4800).Peak(0), kAmp * std::pow(10.0, -0.3), kAmp * 0.02);

    ASSERT_EQ(tone->SetVolume(DSBVOLUME_MIN), DS_OK);
    Settle();
    Mix silent = Render(4800);
    EXPECT_EQ(silent.Peak(0), 0);
    EXPECT_EQ(silent.Peak(1), 0);
}

TEST_F(DSoundMix, PrimaryVolumeScalesEverything)
{
    DSBUFFERDESC desc = {sizeof(DSBUFFERDESC), DSBCAPS_PRIMARYBUFFER | DSBCAPS_CTRLVOLUME, 0, 0, nullptr, {}};
    IDirectSoundBuffer* primary = nullptr;
    ASSERT_EQ(ds->CreateSoundBuffer(&desc, &primary, nullptr), DS_OK);
    Own(primary);
    auto* a = Own(MakeTone(ds, Sine(kMixRate, 500, kAmp / 2, 4800)));
    auto* b = Own(MakeTone(ds, Sine(kMixRate, 500, kAmp / 2, 4800)));
    ASSERT_EQ(a->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    EXPECT_NEAR(Render(4800).Peak(0), kAmp, kAmp * 0.02);

    ASSERT_EQ(primary->SetVolume(-600), DS_OK);
    LONG volume = 0;
    ASSERT_EQ(primary->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -600);
    Settle();
    EXPECT_NEAR(Render(4800).Peak(1), kAmp * std::pow(10.0, -0.3), kAmp * 0.02);
}

TEST_F(DSoundMix, FrequencyChangesPitchAndSpeed)
{
    // 441 Hz at 22050 frames a second: 2 crossings a period.
    auto* tone = Own(MakeTone(ds, Sine(22050, 441, kAmp, 22050), 22050));
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    const int original = Render(kMixRate).ZeroCrossings(0);
    EXPECT_NEAR(original, 2 * 441, 4);

    ASSERT_EQ(tone->SetFrequency(44100), DS_OK);
    Settle();
    EXPECT_NEAR(Render(kMixRate).ZeroCrossings(0), 2 * 882, 4);

    ASSERT_EQ(tone->SetFrequency(DSBFREQUENCY_ORIGINAL), DS_OK);
    DWORD frequency = 0;
    ASSERT_EQ(tone->GetFrequency(&frequency), DS_OK);
    EXPECT_EQ(frequency, 22050u);
    Settle();
    EXPECT_NEAR(Render(kMixRate).ZeroCrossings(0), original, 4);
}

TEST_F(DSoundMix, OneShotStopsAtItsEndAndLoopingPlaysOn)
{
    const DWORD frames = 4800;  // 0.1 s
    auto* once = Own(MakeTone(ds, Sine(kMixRate, 1000, kAmp, frames)));
    auto* loop = Own(MakeTone(ds, Sine(kMixRate, 1000, kAmp, frames)));
    ASSERT_EQ(once->Play(0, 0, 0), DS_OK);
    DWORD status = 0;
    ASSERT_EQ(once->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING});
    Mix m = Render(3 * frames);
    EXPECT_GT(m.Peak(0, 1000, frames - 100), kAmp * 0.9);  // heard up to its end
    EXPECT_EQ(m.Peak(0, frames + 100), 0);                 // and not after
    ASSERT_EQ(once->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    DWORD play = 1, write = 1;
    ASSERT_EQ(once->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 0u);
    EXPECT_EQ(write, 0u);

    ASSERT_EQ(loop->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(loop->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
    m = Render(4 * frames);
    EXPECT_GT(m.Peak(0, 3 * frames, 4 * frames), kAmp * 0.9);
    // Play on a playing voice changes its looping only: it ends this lap.
    ASSERT_EQ(loop->Play(0, 0, 0), DS_OK);
    ASSERT_EQ(loop->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING});
    m = Render(2 * frames);
    EXPECT_EQ(m.Peak(0, frames + 100), 0);
}

TEST_F(DSoundMix, StopKeepsTheCursorAndPlayResumesFromIt)
{
    // A ramp: each frame's value tells where the voice is.
    std::vector<int16_t> ramp(24000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i);
    auto* voice = Own(MakeTone(ds, ramp));
    ASSERT_EQ(voice->Play(0, 0, 0), DS_OK);
    Render(3000);
    ASSERT_EQ(voice->Stop(), DS_OK);
    DWORD play = 0, write = 0;
    ASSERT_EQ(voice->GetCurrentPosition(&play, &write), DS_OK);
    EXPECT_EQ(play, 3000u * 2);
    EXPECT_EQ(write, play);
    DWORD status = 1;
    ASSERT_EQ(voice->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    Mix stopped = Render(2000);
    EXPECT_EQ(stopped.Peak(0, 200), 0);

    ASSERT_EQ(voice->Play(0, 0, 0), DS_OK);
    Mix resumed = Render(2000);
    EXPECT_EQ(resumed.At(1999, 0), 3000 + 1999);
    EXPECT_EQ(resumed.At(1999, 1), 3000 + 1999);

    // A stopped voice moved: Play starts there.
    ASSERT_EQ(voice->Stop(), DS_OK);
    ASSERT_EQ(voice->SetCurrentPosition(10000 * 2), DS_OK);
    ASSERT_EQ(voice->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 10000u * 2);
    ASSERT_EQ(voice->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Render(2000).At(1999, 0), 10000 + 1999);
}

TEST_F(DSoundMix, DuplicatesShareTheBytesAndPlayOverlapping)
{
    const DWORD frames = 4800;
    auto* original = Own(MakeTone(ds, std::vector<int16_t>(frames, 0)));
    ASSERT_EQ(original->SetVolume(-600), DS_OK);
    IDirectSoundBuffer* copy = nullptr;
    ASSERT_EQ(ds->DuplicateSoundBuffer(original, &copy), DS_OK);
    Own(copy);
    LONG volume = 0;
    ASSERT_EQ(copy->GetVolume(&volume), DS_OK);
    EXPECT_EQ(volume, -600);
    ASSERT_EQ(copy->SetVolume(0), DS_OK);

    // Written through the original, heard on the duplicate.
    std::vector<int16_t> tone = Sine(kMixRate, 1000, kAmp / 2, frames);
    Fill(original, tone.data(), frames * 2);
    ASSERT_EQ(copy->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    EXPECT_NEAR(Render(frames).Peak(0), kAmp / 2, kAmp * 0.01);

    // Both voices at once, each at its own volume: in step they add up.
    ASSERT_EQ(original->SetVolume(0), DS_OK);
    ASSERT_EQ(copy->Stop(), DS_OK);
    ASSERT_EQ(copy->SetCurrentPosition(0), DS_OK);
    ASSERT_EQ(original->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(copy->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    EXPECT_NEAR(Render(frames).Peak(0), kAmp, kAmp * 0.02);

    // The bytes outlive the original.
    EXPECT_EQ(original->Release(), 0u);
    owned.erase(owned.begin());
    Settle();
    EXPECT_NEAR(Render(frames).Peak(0), kAmp / 2, kAmp * 0.01);
}

TEST_F(DSoundMix, UnlockWhilePlayingCarriesOnFromTheCursor)
{
    std::vector<int16_t> ramp(24000);
    for (size_t i = 0; i < ramp.size(); ++i) ramp[i] = static_cast<int16_t>(i);
    auto* voice = Own(MakeTone(ds, ramp));
    IDirectSoundBuffer* paused = nullptr;
    ASSERT_EQ(ds->DuplicateSoundBuffer(voice, &paused), DS_OK);
    Own(paused);
    ASSERT_EQ(voice->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(paused->Play(0, 0, 0), DS_OK);
    Render(4000);
    ASSERT_EQ(paused->Stop(), DS_OK);

    // Negate the bytes ahead of the cursor.
    void* p1 = nullptr;
    void* p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(voice->Lock(0, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    auto* samples = static_cast<int16_t*>(p1);
    for (DWORD i = 0; i < n1 / 2; ++i) samples[i] = static_cast<int16_t>(-samples[i]);
    ASSERT_EQ(voice->Unlock(p1, n1, p2, n2), DS_OK);

    DWORD status = 0;
    ASSERT_EQ(voice->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, DWORD{DSBSTATUS_PLAYING | DSBSTATUS_LOOPING});
    DWORD play = 0;
    ASSERT_EQ(voice->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 4000u * 2);
    Mix m = Render(2000);
    EXPECT_EQ(m.At(1999, 0), -(4000 + 1999));

    // The stopped duplicate stays where it was and resumes on the new bytes.
    ASSERT_EQ(paused->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    ASSERT_EQ(paused->GetCurrentPosition(&play, nullptr), DS_OK);
    EXPECT_EQ(play, 4000u * 2);
    ASSERT_EQ(voice->Stop(), DS_OK);
    ASSERT_EQ(paused->Play(0, 0, 0), DS_OK);
    EXPECT_EQ(Render(2000).At(1999, 0), -(4000 + 1999));
}

TEST_F(DSoundMix, PanLowersTheOtherChannelAndCentreIsCentred)
{
    auto* tone = Own(MakeTone(ds, Sine(kMixRate, 1000, kAmp, 4800)));
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    Mix centre = Render(4800);
    EXPECT_NEAR(centre.Peak(0), centre.Peak(1), 2);

    // Right by 6 dB: the left channel at half, the right at full.
    ASSERT_EQ(tone->SetPan(600), DS_OK);
    Settle();
    Mix right = Render(4800);
    EXPECT_NEAR(right.Peak(1), kAmp, kAmp * 0.03);
    EXPECT_NEAR(right.Peak(0), kAmp * std::pow(10.0, -0.3), kAmp * 0.03);

    ASSERT_EQ(tone->SetPan(-2000), DS_OK);
    Settle();
    Mix left = Render(4800);
    EXPECT_NEAR(left.Peak(0), kAmp, kAmp * 0.03);
    EXPECT_NEAR(left.Peak(1), kAmp * 0.1, kAmp * 0.01);

    ASSERT_EQ(tone->SetPan(DSBPAN_RIGHT), DS_OK);
    Settle();
    Mix hard = Render(4800);
    EXPECT_EQ(hard.Peak(0), 0);
    EXPECT_NEAR(hard.Peak(1), kAmp, kAmp * 0.03);
}

TEST_F(DSoundMix, EightBitAndStereoFormatsPlayTheirSamples)
{
    // Unsigned 8-bit: 0xC0 is +64 steps of 256.
    std::vector<BYTE> mono8(4800, 0xC0);
    auto* a = Own(MakeBuffer(ds, Format(kMixRate, 1, 8), mono8.data(), 4800));
    ASSERT_EQ(a->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    Mix m = Render(1000);
    EXPECT_NEAR(m.At(999, 0), 64 * 256, 64 * 256 * 0.01);
    EXPECT_NEAR(m.At(999, 1), 64 * 256, 64 * 256 * 0.01);
    ASSERT_EQ(a->Stop(), DS_OK);

    // Stereo 16-bit: each channel to its own side.
    std::vector<int16_t> stereo16(2 * 4800);
    for (size_t i = 0; i < 4800; ++i) {
        stereo16[2 * i] = 12000;
        stereo16[2 * i + 1] = -6000;
    }
    auto* b = Own(MakeBuffer(ds, Format(kMixRate, 2, 16), stereo16.data(), 4 * 4800));
    ASSERT_EQ(b->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    m = Render(1000);
    EXPECT_NEAR(m.At(999, 0), 12000, 2);
    EXPECT_NEAR(m.At(999, 1), -6000, 2);
    ASSERT_EQ(b->Stop(), DS_OK);

    // Stereo 8-bit: left 0x40 (-64 steps), right 0xA0 (+32 steps).
    std::vector<BYTE> stereo8(2 * 4800);
    for (size_t i = 0; i < 4800; ++i) {
        stereo8[2 * i] = 0x40;
        stereo8[2 * i + 1] = 0xA0;
    }
    auto* c = Own(MakeBuffer(ds, Format(kMixRate, 2, 8), stereo8.data(), 2 * 4800));
    ASSERT_EQ(c->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Settle();
    m = Render(1000);
    EXPECT_NEAR(m.At(999, 0), -64 * 256, 2);
    EXPECT_NEAR(m.At(999, 1), 32 * 256, 2);
}

TEST_F(DSoundMix, TwoDevicesKeepTheirOwnVoices)
{
    // A second device opened in between: calls on the first still reach
    // its own context.
    IDirectSound8* second = nullptr;
    ASSERT_EQ(DirectSoundCreate8(nullptr, &second, nullptr), DS_OK);
    ASSERT_EQ(second->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DS_OK);
    auto* first = Own(MakeTone(ds, Sine(kMixRate, 1000, kAmp / 4, 4800)));
    auto* other = MakeTone(second, Sine(kMixRate, 1000, kAmp, 4800));
    ASSERT_EQ(first->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(other->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    ASSERT_EQ(first->SetVolume(-600), DS_OK);
    Settle();
    // The seam renders the device opened last.
    EXPECT_NEAR(Render(4800).Peak(0), kAmp, kAmp * 0.02);

    EXPECT_EQ(second->Release(), 1u);  // its buffer holds it open
    EXPECT_EQ(other->Release(), 0u);
    Settle();
    EXPECT_NEAR(Render(4800).Peak(0), kAmp / 4 * std::pow(10.0, -0.3), kAmp * 0.01);
}

}  // namespace
