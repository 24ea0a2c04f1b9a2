// Frame timer: measures how long each frame took with one of three clocks
// and hands that out as the speed factor (seconds of the last frame).
#pragma once

#include <cstdint>

// Which clock the frame timer reads.
enum e_vTimeMode : int32_t {
    TIME_PERFCOUNTER = 0,   // QueryPerformanceCounter / QueryPerformanceFrequency (default)
    TIME_TIMEGETTIME = 1,   // timeGetTime, milliseconds
    TIME_GETTICKCOUNT = 2,  // GetTickCount, milliseconds
};

class vFramerate {
public:
    // Performance-counter mode; asks for a 1 ms timer resolution for the process.
    vFramerate();

    // Records the target rate and samples the counter (it does not restart the frame).
    void Init(float targetFps);
    // Switches clock. The millisecond clocks start 100 ms in the past, so the next
    // speed factor is about 0.1 s longer; the performance counter re-primes itself.
    void SetTimingMode(e_vTimeMode mode);
    // Takes this frame's sample: the speed factor becomes the seconds since the last sample.
    void SetSpeedFactor();

    e_vTimeMode m_timeMode;  // the clock Sample reads
    float m_targetFps;       // kept: stored by Init, read by nothing
    int64_t m_frequency;     // kept: sampled by Init, read by nothing
    int64_t m_counter;       // kept: sampled by Init, read by nothing
    uint32_t m_nowMs;        // current millisecond sample
    uint32_t m_lastMs;       // previous millisecond sample
    float m_speedFactor;     // seconds of the last frame
    float m_lastSeconds;     // previous counter sample in seconds
    float m_nowSeconds;      // current counter sample in seconds
    // Last raw counter reading of the performance clock; differences are taken
    // on the full 64-bit counter so long uptimes keep millisecond precision.
    int64_t m_lastCount;
    bool m_countPrimed;  // false until the first performance-counter sample
};
