// A machine without audio output: the engine's sound opens nothing, says so
// once, and every sound loads and stays silent.
#include <gtest/gtest.h>

#include <SoundAnalysis.h>

#include "vAudio.h"
#include "vSound.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>

TEST(NoAudioOutput, InitFailsWithOneLineAndSoundsStaySilent)
{
    // Before the sound library's first call: a configuration whose only back
    // end cannot open (the wave writer without a file).
    const auto dir = std::filesystem::temp_directory_path() / ("vsound-none-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::ofstream(dir / "alsoft.conf") << "[general]\ndrivers = wave\n";
    ::setenv("ALSOFT_CONF", (dir / "alsoft.conf").c_str(), 1);
    const auto wav = (dir / "tone.wav").string();
    const auto bytes = soundtest::WaveBytes(1, 16, 22050, soundtest::SineBytes(440, 0.1, 22050, 0.5));
    std::ofstream(wav, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), long(bytes.size()));

    vAudio audio;
    testing::internal::CaptureStderr();
    EXPECT_EQ(audio.Init(nullptr), E_FAIL);
    EXPECT_EQ(audio.Init(nullptr), E_FAIL);
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(err.begin(), err.end(), '\n'), 1) << err;
    EXPECT_EQ(err.rfind("sound: ", 0), 0u) << err;
    EXPECT_FALSE(audio.IsAvailable());

    vSound sound;
    EXPECT_EQ(sound.LoadSound(audio, wav.c_str()), S_OK);
    sound.Play();
    sound.Loop();
    sound.SetVolume(0.5f);
    EXPECT_FALSE(sound.IsPlaying());
    std::filesystem::remove_all(dir);
}
