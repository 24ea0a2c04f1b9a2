// The default output end to end, through OpenAL Soft's wave-file back end:
// what was played is in the file once the device closes. And no output at
// all: DSERR_NODRIVER, told once.
#include "SoundTestKit.h"

#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <thread>

using namespace soundtest;

namespace {

// A folder of this process's own for the configurations and files, removed
// at exit.
std::string TempDir()
{
    struct Folder {
        std::string path;
        Folder()
        {
            char pattern[] = "/tmp/kolvar-dsound-XXXXXX";
            const char* made = mkdtemp(pattern);
            path = made ? made : "";
        }
        ~Folder()
        {
            std::error_code ignored;
            if (!path.empty()) std::filesystem::remove_all(path, ignored);
        }
    };
    static Folder folder;
    return folder.path.empty() ? "/tmp" : folder.path;
}

void WriteFile(const std::string& path, const std::string& text)
{
    std::ofstream(path) << text;
}

std::string WavePath()
{
    return TempDir() + "/out.wav";
}

// A 16-bit stereo WAV file as the wave back end writes it (its header may be
// WAVE_FORMAT_EXTENSIBLE); empty when it is anything else.
Mix ReadWave(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    auto u16 = [&](size_t at) { return uint32_t(uint8_t(bytes[at])) | uint32_t(uint8_t(bytes[at + 1])) << 8; };
    auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
    Mix m;
    if (bytes.size() < 12 || bytes.compare(0, 4, "RIFF") != 0 || bytes.compare(8, 4, "WAVE") != 0) return m;
    bool pcm16Stereo = false;
    for (size_t at = 12; at + 8 <= bytes.size();) {
        const std::string id = bytes.substr(at, 4);
        const size_t size = u32(at + 4), body = at + 8;
        if (size > bytes.size() - body) break;
        if (id == "fmt " && size >= 16) {
            const uint32_t tag = u16(body);
            pcm16Stereo = (tag == 1 || tag == 0xFFFE) && u16(body + 2) == 2 && u16(body + 14) == 16;
        } else if (id == "data" && pcm16Stereo) {
            m.samples.resize(size / 2);
            std::memcpy(m.samples.data(), bytes.data() + body, m.samples.size() * 2);
        }
        at = body + size + (size & 1);
    }
    return m;
}

class DSoundOutput : public ::testing::Test {
protected:
    // OpenAL reads its configuration once, at its first call in the process.
    static void SetUpTestSuite()
    {
        const std::string conf = TempDir() + "/wave.conf";
        WriteFile(conf,
                  "[general]\ndrivers = wave\nfrequency = 48000\nchannels = stereo\nsample-type = int16\n"
                  "[wave]\nfile = " +
                      WavePath() + "\n");
        setenv("ALSOFT_CONF", conf.c_str(), 1);
    }
    void SetUp() override
    {
        DSound_UseLoopbackForTests(0);
        ASSERT_EQ(DirectSoundCreate8(nullptr, &ds, nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_PRIORITY), DS_OK);
    }
    // Closes the device, so the back end finishes its file, and reads it.
    Mix Close()
    {
        EXPECT_EQ(ds->Release(), 0u);
        ds = nullptr;
        return ReadWave(WavePath());
    }
    // Waits, on the wall clock, for the back end to mix a while.
    static void Wait(int ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

    IDirectSound8* ds = nullptr;
};

// First and one-past-last frame louder than a whisper.
std::pair<size_t, size_t> Heard(const Mix& m, int channel)
{
    size_t first = m.Frames(), last = 0;
    for (size_t i = 0; i < m.Frames(); ++i) {
        if (std::abs(m.At(i, channel)) > 100) {
            first = std::min(first, i);
            last = i + 1;
        }
    }
    return {first, last};
}

TEST_F(DSoundOutput, AToneReachesTheOutput)
{
    IDirectSoundBuffer* tone = MakeTone(ds, Sine(22050, 1000, 12000, 22050 / 4), 22050);
    ASSERT_EQ(tone->Play(0, 0, 0), DS_OK);
    DWORD status = DSBSTATUS_PLAYING;
    for (int i = 0; i < 300 && (status & DSBSTATUS_PLAYING); ++i) {
        Wait(10);
        ASSERT_EQ(tone->GetStatus(&status), DS_OK);
    }
    EXPECT_EQ(status, 0u);
    Wait(50);
    EXPECT_EQ(tone->Release(), 0u);
    Mix m = Close();
    ASSERT_GT(m.Frames(), 48000u / 4);
    auto [first, last] = Heard(m, 0);
    ASSERT_LT(first, last);
    // A quarter second of 1 kHz, both channels, at about its level.
    EXPECT_NEAR(static_cast<double>(last - first), 48000 / 4, 480);
    EXPECT_NEAR(m.ZeroCrossings(0, first, last), 2 * 250, 10);
    EXPECT_NEAR(m.Peak(0, first, last), 12000, 12000 * 0.05);
    EXPECT_NEAR(m.Peak(1, first, last), 12000, 12000 * 0.05);
}

TEST_F(DSoundOutput, StopSilencesTheOutput)
{
    IDirectSoundBuffer* tone = MakeTone(ds, Sine(kMixRate, 500, 12000, kMixRate / 10));
    ASSERT_EQ(tone->Play(0, 0, DSBPLAY_LOOPING), DS_OK);
    Wait(200);
    ASSERT_EQ(tone->Stop(), DS_OK);
    DWORD status = 1;
    ASSERT_EQ(tone->GetStatus(&status), DS_OK);
    EXPECT_EQ(status, 0u);
    Wait(300);
    EXPECT_EQ(tone->Release(), 0u);
    Mix m = Close();
    auto [first, last] = Heard(m, 0);
    ASSERT_LT(first, last);
    // Heard for a while, then silent from the Stop to the close.
    EXPECT_GT(last - first, 48000u / 20);
    EXPECT_GT(m.Frames() - last, 48000u / 10);
}

// No output: the probe program under a configuration naming a back end that
// cannot open (the wave writer without a file).
TEST(DSoundNoOutput, FailsWithNoDriverAndSaysSoOnce)
{
    const std::string conf = TempDir() + "/nowhere.conf";
    const std::string err = TempDir() + "/probe.err";
    const std::string out = TempDir() + "/probe.out";
    WriteFile(conf, "[general]\ndrivers = wave\n");
    const std::string command = "ALSOFT_CONF=" + conf + " " + KOLVAR_DSOUND_NODRIVER_PROBE + " >" + out + " 2>" + err;
    const int rc = std::system(command.c_str());
    ASSERT_TRUE(WIFEXITED(rc));
    EXPECT_EQ(WEXITSTATUS(rc), 0);
    std::ifstream o(out), e(err);
    std::string result, line, lines;
    std::getline(o, result);
    EXPECT_EQ(result, "ok");
    int count = 0;
    while (std::getline(e, line)) {
        ++count;
        lines += line + "\n";
    }
    EXPECT_EQ(count, 1) << lines;
    EXPECT_EQ(lines.rfind("sound: no audio output (", 0), 0u) << lines;
    EXPECT_NE(lines.find("); sounds are silent\n"), std::string::npos) << lines;
}

}  // namespace
