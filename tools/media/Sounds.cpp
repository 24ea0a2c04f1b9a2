#include "media/Sounds.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <system_error>

#include "kmf/KmfLevel.h"

namespace media {
namespace {

const double kPi = 3.14159265358979323846;
const double kRate = kSoundSampleRate;

// A sound while it is made: samples of any scale, normalised when quantised.
using Wave = std::vector<double>;

int SampleCount(double seconds)
{
    return static_cast<int>(std::lround(seconds * kRate));
}

double Seconds(int sample)
{
    return sample / kRate;
}

double Sine(double hz, double t)
{
    return std::sin(2.0 * kPi * hz * t);
}

// White noise from a 32-bit xorshift generator: the same sequence for a seed
// on every build.
class Noise {
public:
    explicit Noise(std::uint32_t seed) : state_(seed) {}
    double Next()  // uniform in -1 ... 1
    {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return (state_ >> 8) / 8388608.0 - 1.0;
    }

private:
    std::uint32_t state_;
};

// 0 at i = 0 rising along half a cosine to 1 at i = n and after.
double Ramp(int i, int n)
{
    if (i >= n) return 1.0;
    return 0.5 - 0.5 * std::cos(kPi * i / n);
}

// Fades w in over its first fadeIn samples and out over its last fadeOut; the
// first sample (if fadeIn > 0) and the last become 0.
void FadeEdges(Wave& w, int fadeIn, int fadeOut)
{
    const int n = static_cast<int>(w.size());
    for (int i = 0; i < n; ++i) w[i] *= Ramp(i, fadeIn) * Ramp(n - 1 - i, fadeOut);
}

// The step size of a one-pole low-pass whose corner is at hz.
double LowPassStep(double hz)
{
    return 1.0 - std::exp(-2.0 * kPi * hz / kRate);
}

// Low-passes w as if it repeated for ever: a first pass only settles the
// filter on w's end, the second is kept, so the result joins its own start as
// smoothly as it runs anywhere else.
void LowPassLooped(Wave& w, double hz)
{
    const double a = LowPassStep(hz);
    double y = 0.0;
    for (double x : w) y += a * (x - y);
    for (double& x : w) {
        y += a * (x - y);
        x = y;
    }
}

// Adds a sine of hz sounding from start to end seconds, its amplitude gain
// falling by a factor e every decay seconds, with 3 ms edges so it neither
// starts nor stops with a click.
void AddNote(Wave& w, double hz, double start, double end, double gain, double decay)
{
    const int first = SampleCount(start);
    const int last = std::min(static_cast<int>(w.size()), SampleCount(end));
    const int edge = SampleCount(0.003);
    for (int i = first; i < last; ++i) {
        const double t = Seconds(i - first);
        w[i] += gain * std::exp(-t / decay) * Ramp(i - first, edge) * Ramp(last - 1 - i, edge) * Sine(hz, t);
    }
}

// A note with a quieter octave above it that dies away sooner: a chime.
void AddChime(Wave& w, double hz, double start, double end, double decay)
{
    AddNote(w, hz, start, end, 1.0, decay);
    AddNote(w, 2.0 * hz, start, end, 0.25, decay * 0.35);
}

Wave MakeRoll()
{
    // Exactly one second: every tone below has a whole number of periods in
    // it, and the noise is filtered as a loop, so the file loops seamlessly.
    Wave w(SampleCount(1.0));
    Noise noise(0x524F4C4Cu);
    for (double& x : w) x = noise.Next();
    LowPassLooped(w, 180.0);
    LowPassLooped(w, 180.0);
    double mean = 0.0, power = 0.0;
    for (double x : w) mean += x;
    mean /= w.size();
    for (double& x : w) {
        x -= mean;
        power += x * x;
    }
    const double rms = std::sqrt(power / w.size());
    for (std::size_t i = 0; i < w.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        const double wobble = 1.0 + 0.2 * Sine(3.0, t) + 0.1 * Sine(7.0, t);
        const double hum = 0.35 * Sine(kRollToneHz, t) + 0.12 * Sine(2.0 * kRollToneHz, t);
        w[i] = 0.3 * wobble * w[i] / rms + hum;
    }
    return w;
}

Wave MakeCoin()
{
    Wave w(SampleCount(0.25));
    AddChime(w, kCoinToneHz[0], 0.0, 0.080, 0.12);
    AddChime(w, kCoinToneHz[1], 0.080, 0.25, 0.07);
    return w;
}

Wave MakeLastCoin()
{
    // Each note rings on under the next; the top one longest.
    Wave w(SampleCount(0.6));
    for (int k = 0; k < 4; ++k) AddChime(w, kLastCoinToneHz[k], 0.1 * k, 0.6, 0.09 + 0.03 * k);
    return w;
}

Wave MakeBlast()
{
    Wave w(SampleCount(0.8));
    Noise hiss(0x424C5354u), rumble(0x54485550u);
    const double aHiss = LowPassStep(3000.0), aRumble = LowPassStep(250.0);
    double bright = 0.0, dark = 0.0, phase = 0.0;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        bright += aHiss * (hiss.Next() - bright);
        dark += aRumble * (rumble.Next() - dark);
        // The thump falls from 120 Hz towards 40 Hz.
        phase += 2.0 * kPi * (40.0 + 80.0 * std::exp(-t / 0.08)) / kRate;
        w[i] = bright * std::exp(-t / 0.15) + 3.0 * dark * std::exp(-t / 0.25) +
               0.8 * std::sin(phase) * std::exp(-t / 0.18);
    }
    FadeEdges(w, SampleCount(0.004), SampleCount(0.05));
    return w;
}

Wave MakeGoal()
{
    Wave w(SampleCount(1.0));
    const int swell = SampleCount(0.15);
    for (std::size_t i = 0; i < w.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        const double envelope = Ramp(static_cast<int>(i), swell) * std::exp(-std::max(0.0, t - 0.15) / 0.4);
        double chord = 0.0;
        for (double hz : kGoalChordHz) chord += Sine(hz, t) + 0.3 * Sine(2.0 * hz, t);
        w[i] = envelope * chord;
    }
    FadeEdges(w, 0, SampleCount(0.06));
    return w;
}

Wave MakeRestart()
{
    // An exponential sweep, falling by the same musical interval every instant.
    const double length = 0.5;
    Wave w(SampleCount(length));
    double phase = 0.0;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        const double hz = kRestartSweepHz[0] * std::pow(kRestartSweepHz[1] / kRestartSweepHz[0], t / length);
        phase += 2.0 * kPi * hz / kRate;
        w[i] = (std::sin(phase) + 0.2 * std::sin(3.0 * phase)) * (1.0 - 0.8 * t);
    }
    FadeEdges(w, SampleCount(0.005), SampleCount(0.03));
    return w;
}

Wave MakeClick()
{
    // Starts at full strength: the tick is the attack.
    Wave w(SampleCount(0.025));
    Noise noise(0x5449434Bu);
    for (std::size_t i = 0; i < w.size(); ++i) {
        const double t = Seconds(static_cast<int>(i));
        w[i] = std::exp(-t / 0.0025) * (Sine(kClickToneHz, t) + 0.3 * noise.Next());
    }
    FadeEdges(w, 0, SampleCount(0.003));
    return w;
}

struct SoundMaker {
    Wave (*make)();
    double level;  // the peak, as a share of full scale
};

// One row per name in kSoundNames, in that order.
const SoundMaker kMakers[] = {
    {MakeRoll, 0.7},      // roll.wav
    {MakeCoin, 0.8},      // coin.wav
    {MakeLastCoin, 0.8},  // lastcoin.wav
    {MakeBlast, 0.9},     // blast.wav
    {MakeGoal, 0.8},      // goal.wav
    {MakeRestart, 0.75},  // restart.wav
    {MakeClick, 0.6},     // click.wav
};
static_assert(sizeof(kMakers) / sizeof(kMakers[0]) == sizeof(kSoundNames) / sizeof(kSoundNames[0]),
              "every sound name has a maker");

// Scales w so its largest sample is level * 32767, rounded to 16 bits.
std::vector<std::int16_t> Quantise(const Wave& w, double level)
{
    double peak = 0.0;
    for (double x : w) peak = std::max(peak, std::fabs(x));
    const double scale = peak > 0.0 ? level * 32767.0 / peak : 0.0;
    std::vector<std::int16_t> samples(w.size());
    for (std::size_t i = 0; i < w.size(); ++i) samples[i] = static_cast<std::int16_t>(std::lround(w[i] * scale));
    return samples;
}

}  // namespace

std::vector<std::int16_t> SynthesizeSound(const std::string& name)
{
    for (std::size_t i = 0; i < sizeof(kMakers) / sizeof(kMakers[0]); ++i)
        if (name == kSoundNames[i]) return Quantise(kMakers[i].make(), kMakers[i].level);
    return {};
}

std::vector<std::uint8_t> EncodeWav(const std::vector<std::int16_t>& samples)
{
    const std::uint32_t dataBytes = static_cast<std::uint32_t>(samples.size() * 2);
    std::vector<std::uint8_t> b;
    b.reserve(44 + dataBytes);
    auto tag = [&b](const char* t) { b.insert(b.end(), t, t + 4); };
    auto u16 = [&b](std::uint32_t v) {
        b.push_back(static_cast<std::uint8_t>(v & 0xFF));
        b.push_back(static_cast<std::uint8_t>((v >> 8) & 0xFF));
    };
    auto u32 = [&u16](std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    };
    tag("RIFF");
    u32(36 + dataBytes);
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);  // PCM
    u16(1);  // mono
    u32(kSoundSampleRate);
    u32(kSoundSampleRate * 2);
    u16(2);
    u16(16);
    tag("data");
    u32(dataBytes);
    for (std::int16_t s : samples) u16(static_cast<std::uint16_t>(s));
    return b;
}

std::vector<std::uint8_t> MakeSound(const std::string& name)
{
    const std::vector<std::int16_t> samples = SynthesizeSound(name);
    if (samples.empty()) return {};
    return EncodeWav(samples);
}

std::vector<std::string> SoundFileNames()
{
    std::vector<std::string> names;
    for (const char* name : kSoundNames) names.push_back(std::string("kMedia/sounds/") + name);
    return names;
}

bool WriteSounds(const std::string& root, std::string& error)
{
    namespace fs = std::filesystem;
    const fs::path folder = fs::path(root) / "kMedia" / "sounds";
    std::error_code ec;
    fs::create_directories(folder, ec);
    if (ec) {
        error = "cannot create " + folder.string() + ": " + ec.message();
        return false;
    }
    for (const char* name : kSoundNames)
        if (!kmf::WriteFileBytes((folder / name).string(), MakeSound(name), error)) return false;
    return true;
}

}  // namespace media
