// Measuring mixed sound the way a listener would judge it: loudness over a
// stretch, the strength of one frequency, the pitch of a tone, a channel's
// peak. Works on the interleaved stereo 16-bit frames the sound layer's
// loopback device mixes; and writes the WAVE files the tests load.
#pragma once

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

namespace soundtest {

struct Mix {
    unsigned rate = 48000;
    std::vector<std::int16_t> samples;  // left, right, left, right ...

    std::size_t Frames() const { return samples.size() / 2; }
    std::int16_t At(std::size_t frame, int channel) const { return samples[2 * frame + std::size_t(channel)]; }
    // Largest magnitude of one channel over frames [from, to).
    int Peak(int channel, std::size_t from = 0, std::size_t to = SIZE_MAX) const
    {
        int peak = 0;
        for (std::size_t i = from; i < std::min(to, Frames()); ++i)
            peak = std::max(peak, std::abs(int(At(i, channel))));
        return peak;
    }
    // Sign changes of one channel over frames [from, to).
    int ZeroCrossings(int channel, std::size_t from = 0, std::size_t to = SIZE_MAX) const
    {
        int n = 0;
        for (std::size_t i = from + 1; i < std::min(to, Frames()); ++i)
            if ((At(i - 1, channel) < 0) != (At(i, channel) < 0)) ++n;
        return n;
    }
    std::size_t FrameAt(double seconds) const { return std::size_t(seconds * rate + 0.5); }
    // Both channels' mean over [first, last) frames, as -1 ... 1.
    std::vector<double> Mono(std::size_t first, std::size_t last) const
    {
        std::vector<double> out;
        if (last > Frames()) last = Frames();
        for (std::size_t f = first; f < last; ++f)
            out.push_back((samples[2 * f] + samples[2 * f + 1]) / (2.0 * 32768.0));
        return out;
    }
};

// Root mean square of the signal (0 for silence, about 0.707 for a full sine).
inline double Rms(const std::vector<double>& s)
{
    if (s.empty()) return 0.0;
    double sum = 0.0;
    for (double v : s) sum += v * v;
    return std::sqrt(sum / double(s.size()));
}

// Amplitude of the component at hz (Goertzel), as a sine of that amplitude
// would give: about 0.5 for 0.5 * sin(2 pi hz t), near 0 when it is absent.
inline double ToneAmplitude(const std::vector<double>& s, double hz, unsigned rate)
{
    if (s.empty()) return 0.0;
    const double w = 2.0 * M_PI * hz / rate;
    const double c = 2.0 * std::cos(w);
    double s1 = 0.0, s2 = 0.0;
    for (double v : s) {
        const double s0 = v + c * s1 - s2;
        s2 = s1;
        s1 = s0;
    }
    const double power = s1 * s1 + s2 * s2 - c * s1 * s2;
    return 2.0 * std::sqrt(power > 0 ? power : 0) / double(s.size());
}

// The frequency of a steady tone from its rising zero crossings.
inline double ToneFrequency(const std::vector<double>& s, unsigned rate)
{
    int crossings = 0;
    std::size_t first = 0, last = 0;
    for (std::size_t i = 1; i < s.size(); ++i) {
        if (s[i - 1] < 0.0 && s[i] >= 0.0) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    if (crossings < 2) return 0.0;
    return double(crossings - 1) * rate / double(last - first);
}

// Writes a RIFF WAVE file's bytes: PCM with the given layout, samples as stored.
inline std::vector<std::uint8_t> WaveBytes(unsigned channels, unsigned bits, unsigned rate,
                                           const std::vector<std::uint8_t>& data)
{
    std::vector<std::uint8_t> out;
    auto u32 = [&](std::uint32_t v) {
        for (int i = 0; i < 4; ++i) out.push_back(std::uint8_t(v >> (8 * i)));
    };
    auto u16 = [&](std::uint16_t v) {
        out.push_back(std::uint8_t(v));
        out.push_back(std::uint8_t(v >> 8));
    };
    auto tag = [&](const char* t) { out.insert(out.end(), t, t + 4); };
    tag("RIFF");
    u32(std::uint32_t(4 + 8 + 16 + 8 + data.size() + (data.size() & 1)));
    tag("WAVE");
    tag("fmt ");
    u32(16);
    u16(1);
    u16(std::uint16_t(channels));
    u32(rate);
    u32(rate * channels * bits / 8);
    u16(std::uint16_t(channels * bits / 8));
    u16(std::uint16_t(bits));
    tag("data");
    u32(std::uint32_t(data.size()));
    out.insert(out.end(), data.begin(), data.end());
    if (data.size() & 1) out.push_back(0);
    return out;
}

// 16-bit mono samples of a sine: amplitude 0 ... 1 of full scale.
inline std::vector<std::uint8_t> SineBytes(double hz, double seconds, unsigned rate, double amplitude)
{
    std::vector<std::uint8_t> data;
    const std::size_t n = std::size_t(seconds * rate);
    for (std::size_t i = 0; i < n; ++i) {
        const auto v = std::int16_t(std::lround(amplitude * 32767.0 * std::sin(2.0 * M_PI * hz * double(i) / rate)));
        data.push_back(std::uint8_t(v & 0xFF));
        data.push_back(std::uint8_t((v >> 8) & 0xFF));
    }
    return data;
}

}  // namespace soundtest
