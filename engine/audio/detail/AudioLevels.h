// Amplitude factors as the sound layer's volumes: hundredths of a decibel.
#pragma once

#include <dsound.h>

#include <cmath>

namespace vaudio::detail {

// 0 ... 1 (clamped; NaN is 0) to DSBVOLUME_MIN ... DSBVOLUME_MAX: 0.5 is
// -602, and anything at or below DSBVOLUME_MIN's factor is DSBVOLUME_MIN.
inline LONG VolumeOfAmplitude(float amplitude)
{
    if (!(amplitude > 0.0f)) return DSBVOLUME_MIN;
    if (amplitude >= 1.0f) return DSBVOLUME_MAX;
    const double hundredths = 2000.0 * std::log10(double(amplitude));
    return hundredths <= DSBVOLUME_MIN ? DSBVOLUME_MIN : LONG(std::lround(hundredths));
}

inline float Clamp01(float v)
{
    return v > 0.0f ? (v < 1.0f ? v : 1.0f) : 0.0f;  // NaN is 0
}

}  // namespace vaudio::detail
