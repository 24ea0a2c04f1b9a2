// vSound and vAudio on the real sound layer: the loopback device mixes on
// demand, so each test plays, mixes a stretch of time and measures it.
#include <gtest/gtest.h>

#include <DSoundTestSeam.h>
#include <SoundAnalysis.h>
#include <Win32TestSeam.h>

#include "vAudio.h"
#include "vSound.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

namespace {

const unsigned kMixRate = 48000;
const unsigned kFileRate = 22050;

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        DSound_UseLoopbackForTests(kMixRate);
        ASSERT_EQ(audio_.Init(nullptr), S_OK) << "the loopback device must open";
        dir_ = std::filesystem::temp_directory_path() / ("vsound-test-" + std::to_string(::getpid()));
        std::filesystem::create_directories(dir_);
        win32test::ClearMessageBoxLog();
    }
    void TearDown() override
    {
        std::error_code ec;
        std::filesystem::remove_all(dir_, ec);
    }

    // Writes bytes to a file of the test's folder; its name for the engine.
    std::string Write(const std::string& name, const std::vector<std::uint8_t>& bytes)
    {
        const std::string path = (dir_ / name).string();
        std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));
        return path;
    }
    std::string Tone(double hz, double seconds, double amplitude = 0.5)
    {
        return Write("tone" + std::to_string(int(hz)) + "_" + std::to_string(int(seconds * 1000)) + ".wav",
                     soundtest::WaveBytes(1, 16, kFileRate, soundtest::SineBytes(hz, seconds, kFileRate, amplitude)));
    }
    // Mixes the next seconds of sound; appended to what was mixed before.
    void Mix(double seconds)
    {
        const std::size_t frames = std::size_t(seconds * kMixRate + 0.5);
        std::vector<std::int16_t> out(frames * 2);
        ASSERT_TRUE(DSound_RenderForTests(out.data(), DWORD(frames)));
        mix_.samples.insert(mix_.samples.end(), out.begin(), out.end());
    }
    std::vector<double> Between(double from, double to) const
    {
        return mix_.Mono(mix_.FrameAt(from), mix_.FrameAt(to));
    }
    double ToneAt(double hz, double from, double to) const
    {
        return soundtest::ToneAmplitude(Between(from, to), hz, kMixRate);
    }

    vAudio audio_;
    soundtest::Mix mix_;
    std::filesystem::path dir_;
};

}  // namespace

TEST_F(SoundTest, PlaysOnceAtItsVolumeUnderTheMasterVolume)
{
    vSound sound;
    ASSERT_EQ(sound.LoadSound(audio_, Tone(440, 0.2).c_str()), S_OK);
    EXPECT_NEAR(sound.GetDuration(), 0.2f, 0.001f);
    sound.Play();
    EXPECT_TRUE(sound.IsPlaying());
    Mix(0.3);
    const double full = ToneAt(440, 0.02, 0.18);
    EXPECT_GT(full, 0.2) << "a tone at half of full scale is heard";
    EXPECT_LT(soundtest::Rms(Between(0.22, 0.3)), 1e-3) << "and ends with the sound";
    EXPECT_FALSE(sound.IsPlaying());

    sound.SetVolume(0.5f);
    sound.Play();
    Mix(0.3);
    EXPECT_NEAR(ToneAt(440, 0.32, 0.48) / full, 0.5, 0.05);

    audio_.SetMasterVolume(0.5f);
    sound.Play();
    Mix(0.3);
    EXPECT_NEAR(ToneAt(440, 0.62, 0.78) / full, 0.25, 0.03);

    sound.SetVolume(0.0f);
    audio_.SetMasterVolume(1.0f);
    sound.Play();
    Mix(0.3);
    EXPECT_LT(soundtest::Rms(Between(0.9, 1.2)), 1e-4) << "volume 0 is silence";
}

TEST_F(SoundTest, PitchTwoDoublesTheFrequencyAndHalvesTheLength)
{
    vSound sound;
    ASSERT_EQ(sound.LoadSound(audio_, Tone(440, 0.4).c_str()), S_OK);
    sound.Play();
    Mix(0.5);
    EXPECT_NEAR(soundtest::ToneFrequency(Between(0.02, 0.38), kMixRate), 440.0, 440.0 * 0.01);

    sound.SetPitch(2.0f);
    EXPECT_FLOAT_EQ(sound.GetPitch(), 2.0f);
    sound.Play();
    Mix(0.5);
    EXPECT_NEAR(soundtest::ToneFrequency(Between(0.52, 0.68), kMixRate), 880.0, 880.0 * 0.01);
    EXPECT_LT(soundtest::Rms(Between(0.72, 1.0)), 1e-3) << "twice as fast: over in 0.2 s";
}

TEST_F(SoundTest, LoopPlaysPastTheEndUntilStop)
{
    vSound sound;
    ASSERT_EQ(sound.LoadSound(audio_, Tone(440, 0.1).c_str(), 2), S_OK);
    sound.Loop();
    EXPECT_TRUE(sound.IsLooping());
    Mix(0.5);
    EXPECT_GT(ToneAt(440, 0.3, 0.5), 0.2) << "five times its length and still playing";
    sound.Loop();  // already looping: carries on
    sound.Play();  // a one-shot beside the loop takes the other voice
    Mix(0.05);
    EXPECT_TRUE(sound.IsLooping());

    sound.Stop();
    EXPECT_FALSE(sound.IsLooping());
    EXPECT_FALSE(sound.IsPlaying());
    Mix(0.2);
    EXPECT_LT(soundtest::Rms(Between(0.56, 0.75)), 1e-4);
}

TEST_F(SoundTest, OverlappingPlaysTakeVoicesOfTheirOwn)
{
    // 0.1 s is a whole number of 440 Hz cycles at 48 kHz, so a second play
    // started 0.1 s after the first lies on it in phase and doubles it.
    vSound four, one;
    ASSERT_EQ(four.LoadSound(audio_, Tone(440, 0.4, 0.25).c_str(), 4), S_OK);
    ASSERT_EQ(one.LoadSound(audio_, Tone(440, 0.4, 0.25).c_str(), 1), S_OK);

    four.Play();
    Mix(0.1);
    four.Play();
    Mix(0.5);
    const double single = ToneAt(440, 0.02, 0.09);
    EXPECT_NEAR(ToneAt(440, 0.12, 0.38) / single, 2.0, 0.1) << "both plays are heard";
    EXPECT_NEAR(ToneAt(440, 0.42, 0.48) / single, 1.0, 0.1) << "the first ends before the second";

    one.Play();
    Mix(0.1);
    one.Play();  // one voice: the play starts again
    Mix(0.5);
    EXPECT_NEAR(ToneAt(440, 0.72, 0.98) / single, 1.0, 0.1);
    EXPECT_GT(ToneAt(440, 1.05, 1.08), 0.5 * single) << "the restarted play runs its whole length";
}

TEST_F(SoundTest, DamagedFilesAreRefusedWithTheMessageAndPlayNothing)
{
    const auto good = soundtest::WaveBytes(1, 16, kFileRate, soundtest::SineBytes(440, 0.05, kFileRate, 0.5));
    auto truncated = std::vector<std::uint8_t>(good.begin(), good.begin() + long(good.size() / 2));
    auto noChannels = good;
    noChannels[22] = 0;
    auto gigabyte = good;
    gigabyte[40] = 0, gigabyte[41] = 0, gigabyte[42] = 0, gigabyte[43] = 0x40;
    std::filesystem::create_directories(dir_ / "folder.wav");

    struct Case {
        std::string file;
        const char* reason;
    };
    const Case cases[] = {
        {Write("truncated.wav", truncated), "the RIFF chunk declares"},
        {Write("nochannels.wav", noChannels), "0 channels"},
        {Write("gigabyte.wav", gigabyte), "declares 1073741824 bytes"},
        {Write("text.wav", {'h', 'e', 'l', 'l', 'o'}), "not a RIFF WAVE file"},
        {(dir_ / "missing.wav").string(), "No such file or directory"},
        {(dir_ / "folder.wav").string(), "cannot open the file"},
    };
    for (const Case& c : cases) {
        vSound sound;
        win32test::ClearMessageBoxLog();
        testing::internal::CaptureStderr();
        EXPECT_EQ(sound.LoadSound(audio_, c.file.c_str()), E_FAIL) << c.file;
        const std::string err = testing::internal::GetCapturedStderr();
        EXPECT_NE(err.find("sound: " + c.file + ": "), std::string::npos) << err;
        EXPECT_NE(err.find(c.reason), std::string::npos) << err;
        // One line of the sound's own (a headless message box adds its text too).
        EXPECT_EQ(err.find("sound: "), err.rfind("sound: ")) << err;
        ASSERT_EQ(win32test::MessageBoxLog().size(), 1u);
        EXPECT_EQ(win32test::MessageBoxLog()[0], "Error!: Error loading sound!");
        EXPECT_FALSE(sound.IsLoaded());
        sound.Play();
        sound.Loop();
        sound.SetVolume(1.0f);
        sound.SetPitch(2.0f);
        EXPECT_FALSE(sound.IsPlaying());
        EXPECT_EQ(sound.GetDuration(), 0.0f);
    }
    Mix(0.1);
    EXPECT_LT(soundtest::Rms(Between(0.0, 0.1)), 1e-4);
}

TEST_F(SoundTest, WithoutADeviceASoundLoadsAndPlaysNothing)
{
    vAudio none;  // never opened
    vSound sound;
    EXPECT_FALSE(none.IsAvailable());
    ASSERT_EQ(sound.LoadSound(none, Tone(440, 0.1).c_str()), S_OK);
    EXPECT_TRUE(sound.IsLoaded());
    EXPECT_NEAR(sound.GetDuration(), 0.1f, 0.001f);
    sound.Play();
    sound.Loop();
    EXPECT_FALSE(sound.IsPlaying());
    EXPECT_TRUE(win32test::MessageBoxLog().empty());
    none.SetMasterVolume(3.0f);
    EXPECT_EQ(none.GetMasterVolume(), 1.0f);

    // A sound outlives the device object it was loaded on: its voices keep
    // the device until they go.
    vSound kept;
    ASSERT_EQ(kept.LoadSound(audio_, Tone(440, 0.2).c_str()), S_OK);
    audio_.Kill();
    kept.Play();
    Mix(0.1);
    EXPECT_GT(ToneAt(440, 0.02, 0.09), 0.2);
}
