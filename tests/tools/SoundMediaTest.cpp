// The generated sounds, read back from disk as a player's loader reads them
// (a RIFF reader written here, not the writer's code), then measured: their
// lengths and headroom, quiet edges, the roll loop's seam, and what they are
// made of, by a Hann-windowed Goertzel filter at the frequencies written out
// below.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <map>
#include <set>

#include "TestTempDir.h"
#include "kmf/KmfLevel.h"
#include "media/Sounds.h"

namespace {

const double kPi = 3.14159265358979323846;

struct Pcm {
    int format = 0, channels = 0, rate = 0, bits = 0;
    std::vector<int> samples;
    double Seconds() const { return static_cast<double>(samples.size()) / rate; }
    std::size_t At(double seconds) const { return std::min(samples.size(), static_cast<std::size_t>(seconds * rate)); }
};

std::uint32_t Le(const std::vector<std::uint8_t>& b, std::size_t at, int bytes)
{
    std::uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i) v = (v << 8) | b[at + i];
    return v;
}

// Walks the RIFF chunks to "fmt " and "data"; false and why on any size that
// disagrees with the file or with the format.
bool ReadWave(const std::vector<std::uint8_t>& b, Pcm& pcm, std::string& why)
{
    if (b.size() < 12 || std::memcmp(b.data(), "RIFF", 4) != 0 || std::memcmp(b.data() + 8, "WAVE", 4) != 0) {
        why = "not a RIFF WAVE file";
        return false;
    }
    if (Le(b, 4, 4) != b.size() - 8) {
        why = "RIFF size " + std::to_string(Le(b, 4, 4)) + " for a file of " + std::to_string(b.size());
        return false;
    }
    bool fmt = false, data = false;
    std::size_t at = 12;
    while (at + 8 <= b.size()) {
        const std::string id(b.begin() + at, b.begin() + at + 4);
        const std::size_t size = Le(b, at + 4, 4);
        at += 8;
        if (size > b.size() - at) {
            why = "chunk '" + id + "' runs past the end";
            return false;
        }
        if (id == "fmt ") {
            if (size < 16) {
                why = "short fmt chunk";
                return false;
            }
            pcm.format = Le(b, at, 2);
            pcm.channels = Le(b, at + 2, 2);
            pcm.rate = Le(b, at + 4, 4);
            pcm.bits = Le(b, at + 14, 2);
            const std::uint32_t align = Le(b, at + 12, 2);
            if (align != static_cast<std::uint32_t>(pcm.channels * pcm.bits / 8) ||
                Le(b, at + 8, 4) != pcm.rate * align) {
                why = "block align or byte rate disagree with the format";
                return false;
            }
            fmt = true;
        } else if (id == "data") {
            if (!fmt || pcm.bits != 16 || pcm.channels != 1 || size % 2 != 0) {
                why = "data before a 16-bit mono format";
                return false;
            }
            for (std::size_t i = 0; i < size; i += 2)
                pcm.samples.push_back(static_cast<std::int16_t>(Le(b, at + i, 2)));
            data = true;
        }
        at += size + (size & 1);
    }
    if (at != b.size()) why = "bytes after the last chunk";
    if (!fmt || !data) why = "no fmt or no data chunk";
    return at == b.size() && fmt && data;
}

// The share of samples [from, to)'s power that lies at hz: about 1 for a
// steady sine of that frequency, near 0 far from every partial.
double Share(const Pcm& pcm, double hz, std::size_t from, std::size_t to)
{
    const double n = static_cast<double>(to - from);
    double re = 0.0, im = 0.0, sumW = 0.0, sumW2 = 0.0, power = 0.0;
    for (std::size_t i = from; i < to; ++i) {
        const double k = static_cast<double>(i - from);
        const double w = 0.5 - 0.5 * std::cos(2.0 * kPi * (k + 0.5) / n);
        const double x = w * pcm.samples[i];
        const double phase = 2.0 * kPi * hz * k / pcm.rate;
        re += x * std::cos(phase);
        im -= x * std::sin(phase);
        sumW += w;
        sumW2 += w * w;
        power += x * x;
    }
    if (power == 0.0) return 0.0;
    const double amplitude = 2.0 * std::sqrt(re * re + im * im) / sumW;
    return (amplitude * amplitude / 2.0) / (power / sumW2);
}

double Share(const Pcm& pcm, double hz)
{
    return Share(pcm, hz, 0, pcm.samples.size());
}

// The largest share of power at hz in any stretch of the given length (or the
// whole sound if shorter), stepping by half of it: how clearly a tone sounds
// at some point, wherever it sits.
double Presence(const Pcm& pcm, double hz, double seconds = 0.1)
{
    const std::size_t n = pcm.samples.size(), window = std::min(n, pcm.At(seconds));
    double most = 0.0;
    for (std::size_t from = 0; from + window <= n; from += window / 2)
        most = std::max(most, Share(pcm, hz, from, from + window));
    return most;
}

double Rms(const Pcm& pcm, std::size_t from, std::size_t to)
{
    double sum = 0.0;
    for (std::size_t i = from; i < to; ++i) sum += static_cast<double>(pcm.samples[i]) * pcm.samples[i];
    return std::sqrt(sum / (to - from));
}

int Peak(const Pcm& pcm, std::size_t from, std::size_t to)
{
    int peak = 0;
    for (std::size_t i = from; i < to; ++i) peak = std::max(peak, std::abs(pcm.samples[i]));
    return peak;
}

// The sound files' names, as the game opens them, and how long each should run.
struct Expected {
    const char* name;
    double minSeconds, maxSeconds;
};
const Expected kExpected[] = {
    {"roll.wav", 0.9, 1.1}, {"coin.wav", 0.2, 0.3},      {"lastcoin.wav", 0.5, 0.7},  {"blast.wav", 0.7, 0.9},
    {"goal.wav", 0.9, 1.2}, {"restart.wav", 0.45, 0.55}, {"click.wav", 0.015, 0.035},
};

// Writes the sounds once and reads every file back; a file that cannot be
// read, or holds no samples, fails every test with the reason.
class SoundFiles : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        dir_ = new TestTempDir;
        sounds_ = new std::map<std::string, Pcm>;
        ok_ = dir_->Ok() && media::WriteSounds(dir_->Path(), error_);
        for (const Expected& e : kExpected) {
            if (!ok_) break;
            std::vector<std::uint8_t> bytes;
            Pcm& pcm = (*sounds_)[e.name];
            ok_ = kmf::ReadFileBytes(PathOf(e.name), bytes, error_) && ReadWave(bytes, pcm, error_);
            if (ok_ && pcm.samples.size() < 2) error_ = "no samples", ok_ = false;
            if (!ok_) error_ = std::string(e.name) + ": " + error_;
        }
    }
    static void TearDownTestSuite()
    {
        delete sounds_;
        delete dir_;
        sounds_ = nullptr;
        dir_ = nullptr;
    }
    void SetUp() override { ASSERT_TRUE(ok_) << error_; }

    static std::string PathOf(const std::string& name) { return dir_->File("kMedia/sounds/" + name); }
    static const Pcm& Load(const std::string& name) { return sounds_->at(name); }

    static TestTempDir* dir_;
    static std::map<std::string, Pcm>* sounds_;
    static bool ok_;
    static std::string error_;
};

TestTempDir* SoundFiles::dir_ = nullptr;
std::map<std::string, Pcm>* SoundFiles::sounds_ = nullptr;
bool SoundFiles::ok_ = false;
std::string SoundFiles::error_;

}  // namespace

TEST_F(SoundFiles, AreCanonical16BitMonoWaveFilesOfTheirLength)
{
    std::set<std::string> want, listed, have;
    for (const Expected& e : kExpected) want.insert(e.name);
    for (const std::string& rel : media::SoundFileNames()) listed.insert(rel);
    for (const auto& entry : std::filesystem::directory_iterator(PathOf("")))
        have.insert(entry.path().filename().string());
    EXPECT_EQ(have, want);
    EXPECT_EQ(listed.size(), want.size());
    for (const std::string& name : want) EXPECT_EQ(listed.count("kMedia/sounds/" + name), 1u) << name;

    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.name);
        const Pcm& pcm = Load(e.name);
        EXPECT_EQ(pcm.format, 1);
        EXPECT_EQ(pcm.channels, 1);
        EXPECT_EQ(pcm.rate, 22050);
        EXPECT_EQ(pcm.bits, 16);
        EXPECT_EQ(std::filesystem::file_size(PathOf(e.name)), 44 + 2 * pcm.samples.size());
        EXPECT_GE(pcm.Seconds(), e.minSeconds);
        EXPECT_LE(pcm.Seconds(), e.maxSeconds);
    }
    EXPECT_TRUE(media::MakeSound("nosuch.wav").empty());
    EXPECT_TRUE(media::MakeSound("Coin.wav").empty());
}

TEST_F(SoundFiles, PeakBelowFullScaleAndOneShotsRiseAndFallQuietly)
{
    for (const Expected& e : kExpected) {
        SCOPED_TRACE(e.name);
        const Pcm& pcm = Load(e.name);
        const std::size_t n = pcm.samples.size(), ms = pcm.At(0.001);
        const int peak = Peak(pcm, 0, n);
        EXPECT_LT(peak, 32767);
        EXPECT_GT(peak, 32767 / 4);
        if (std::string(e.name) == "roll.wav") continue;  // a loop: no edges
        EXPECT_LT(Peak(pcm, n - ms, n), peak / 3);
        EXPECT_LT(std::abs(pcm.samples.back()), 100);
        if (std::string(e.name) == "click.wav") continue;  // the tick is the attack
        EXPECT_LT(Peak(pcm, 0, ms), peak / 3);
        EXPECT_LT(std::abs(pcm.samples.front()), 100);
    }
}

TEST_F(SoundFiles, RollIsALowRumbleThatLoopsWithoutAStep)
{
    const Pcm& pcm = Load("roll.wav");
    ASSERT_GT(pcm.samples.size(), 100u);
    std::vector<int> steps;
    for (std::size_t i = 1; i < pcm.samples.size(); ++i) steps.push_back(std::abs(pcm.samples[i] - pcm.samples[i - 1]));
    std::sort(steps.begin(), steps.end());
    const int typical = steps[steps.size() * 99 / 100];
    EXPECT_LE(std::abs(pcm.samples.front() - pcm.samples.back()), typical);
    // Low: the largest step is a small part of the swing, as a 300 Hz sine's would be.
    EXPECT_LT(steps.back(), Peak(pcm, 0, pcm.samples.size()) / 8);
    EXPECT_GT(Share(pcm, 55.0), 0.05);
}

TEST_F(SoundFiles, CoinAndLastCoinCanBeToldApart)
{
    const Pcm& coin = Load("coin.wav");
    const Pcm& last = Load("lastcoin.wav");
    EXPECT_GT(Presence(coin, 988.0), 0.5);
    EXPECT_LT(Presence(last, 988.0), 0.001);
    EXPECT_GT(Presence(last, 2093.0), 0.5);
    EXPECT_LT(Presence(coin, 2093.0), 0.001);
    // B5 sounds first, E6 after it.
    const std::size_t split = coin.At(0.08), n = coin.samples.size();
    EXPECT_GT(Share(coin, 988.0, 0, split), 10.0 * Share(coin, 1319.0, 0, split));
    EXPECT_GT(Share(coin, 1319.0, split, n), 10.0 * Share(coin, 988.0, split, n));
}

TEST_F(SoundFiles, EverySoundHoldsTheTonesItsHeaderNames)
{
    struct Tones {
        const char* name;
        std::vector<double> hz;
        double window;  // seconds: long enough to part a tone from one a semitone away
    };
    const std::vector<Tones> all = {
        {"roll.wav", {media::kRollToneHz}, 1.0},
        {"coin.wav", {std::begin(media::kCoinToneHz), std::end(media::kCoinToneHz)}, 0.1},
        {"lastcoin.wav", {std::begin(media::kLastCoinToneHz), std::end(media::kLastCoinToneHz)}, 0.1},
        {"goal.wav", {std::begin(media::kGoalChordHz), std::end(media::kGoalChordHz)}, 0.1},
        {"click.wav", {media::kClickToneHz}, 0.1},
    };
    for (const Tones& t : all) {
        const Pcm& pcm = Load(t.name);
        for (double hz : t.hz) {
            SCOPED_TRACE(std::string(t.name) + " at " + std::to_string(hz) + " Hz");
            const double at = Presence(pcm, hz, t.window);
            EXPECT_GT(at, 0.1);
            // A peak, not a shoulder of something broad: a semitone away is far weaker.
            EXPECT_GT(at, 20.0 * Presence(pcm, hz * 1.06, t.window));
            EXPECT_GT(at, 20.0 * Presence(pcm, hz / 1.06, t.window));
        }
    }
    EXPECT_DOUBLE_EQ(media::kCoinToneHz[0], 988.0);
    EXPECT_DOUBLE_EQ(media::kLastCoinToneHz[3], 2093.0);
}

TEST_F(SoundFiles, RestartSweepsDownFrom880To220)
{
    const Pcm& pcm = Load("restart.wav");
    // The strongest frequency of samples [from, to), to 5 Hz.
    auto dominant = [&pcm](std::size_t from, std::size_t to) {
        double best = 0.0, bestShare = 0.0;
        for (double hz = 150.0; hz <= 1200.0; hz += 5.0) {
            const double s = Share(pcm, hz, from, to);
            if (s > bestShare) bestShare = s, best = hz;
        }
        return best;
    };
    const std::size_t n = pcm.samples.size();
    const int parts = 5;
    double previous = 1e9;
    for (int p = 0; p < parts; ++p) {
        const double hz = dominant(n * p / parts, n * (p + 1) / parts);
        EXPECT_LT(hz, previous) << "part " << p;
        previous = hz;
    }
    // The first and the last 50 ms: between the end and a tenth of the way in.
    const std::size_t ms50 = pcm.At(0.05);
    EXPECT_GT(dominant(0, ms50), 760.0);
    EXPECT_LT(dominant(0, ms50), 890.0);
    EXPECT_GT(dominant(n - ms50, n), 210.0);
    EXPECT_LT(dominant(n - ms50, n), 260.0);
}

TEST_F(SoundFiles, BlastIsBroadNoiseThatDiesAway)
{
    const Pcm& pcm = Load("blast.wav");
    // The power is spread over every octave from 250 Hz to 4 kHz, not held in a few tones.
    std::vector<double> bands;
    for (double low = 250.0; low < 4000.0; low *= 2.0) {
        double sum = 0.0, most = 0.0;
        for (int k = 0; k < 50; ++k) {
            const double s = Share(pcm, low * std::pow(2.0, k / 50.0));
            sum += s;
            most = std::max(most, s);
        }
        EXPECT_LT(most, 20.0 * sum / 50.0) << "a tone near " << low << " Hz";
        bands.push_back(sum);
    }
    EXPECT_GT(*std::min_element(bands.begin(), bands.end()), *std::max_element(bands.begin(), bands.end()) / 100.0);
    // Louder in each 100 ms than in the next, and a whisper at the end.
    double previous = 1e9;
    for (double t = 0.0; t + 0.1 <= pcm.Seconds(); t += 0.1) {
        const double rms = Rms(pcm, pcm.At(t), pcm.At(t + 0.1));
        EXPECT_LT(rms, previous) << "at " << t << " s";
        previous = rms;
    }
    EXPECT_LT(previous, Rms(pcm, 0, pcm.At(0.1)) / 10.0);
}
