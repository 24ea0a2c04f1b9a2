#include "vFramerate.h"

#include <windows.h>

vFramerate::vFramerate()
    : m_timeMode(TIME_PERFCOUNTER), m_targetFps(0.0f), m_frequency(0), m_counter(0), m_nowMs(0), m_lastMs(0),
      m_speedFactor(0.0f), m_lastSeconds(0.0f), m_nowSeconds(0.0f), m_lastCount(0), m_countPrimed(false)
{
    timeBeginPeriod(1);
}

void vFramerate::Init(float targetFps)
{
    m_targetFps = targetFps;
    if (m_timeMode == TIME_PERFCOUNTER) {
        LARGE_INTEGER value;
        QueryPerformanceCounter(&value);
        m_counter = value.QuadPart;
        QueryPerformanceFrequency(&value);
        m_frequency = value.QuadPart;
    }
}

void vFramerate::SetTimingMode(e_vTimeMode mode)
{
    m_timeMode = mode;
    if (mode == TIME_TIMEGETTIME)
        m_lastMs = timeGetTime() - 100;
    else if (mode == TIME_GETTICKCOUNT)
        m_lastMs = GetTickCount() - 100;
    else if (mode == TIME_PERFCOUNTER)
        m_countPrimed = false;  // a stale sample from before the switch would count the whole gap
}

void vFramerate::SetSpeedFactor()
{
    switch (m_timeMode) {
        case TIME_PERFCOUNTER: {
            LARGE_INTEGER count, frequency;
            QueryPerformanceCounter(&count);
            QueryPerformanceFrequency(&frequency);
            if (frequency.QuadPart <= 0) return;
            // Seconds of the sample itself are kept for reference only; the frame time
            // comes from the exact 64-bit difference, so it never wraps or loses precision.
            m_nowSeconds = (float)((double)count.QuadPart / (double)frequency.QuadPart);
            if (m_countPrimed) {
                m_speedFactor = (float)((double)(count.QuadPart - m_lastCount) / (double)frequency.QuadPart);
            }
            // The first sample only primes the clock: the speed factor keeps its value
            // rather than becoming the whole counter reading.
            m_lastCount = count.QuadPart;
            m_countPrimed = true;
            m_lastSeconds = m_nowSeconds;
            break;
        }
        case TIME_TIMEGETTIME:
            m_nowMs = timeGetTime();
            m_speedFactor = (float)((double)(uint32_t)(m_nowMs - m_lastMs) / 1000.0);
            m_lastMs = m_nowMs;
            break;
        case TIME_GETTICKCOUNT:
            m_nowMs = GetTickCount();
            m_speedFactor = (float)((double)(uint32_t)(m_nowMs - m_lastMs) / 1000.0);
            m_lastMs = m_nowMs;
            break;
        default:
            break;
    }
}
