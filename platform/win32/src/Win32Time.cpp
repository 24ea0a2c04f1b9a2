// Clocks: milliseconds and the performance counter, both from SDL's
// high-resolution counter, or from the test seam's virtual clock.
#include "Win32State.h"

#include <SDL.h>

#include <sched.h>

using win32detail::GetState;

namespace {

constexpr unsigned long long kNsPerSecond = 1000000000ull;

unsigned long long Frequency()
{
    static const unsigned long long f = SDL_GetPerformanceFrequency();
    return f ? f : 1;
}

// Real time in nanoseconds since the counter's origin (the machine's boot on
// Linux), without overflow for any realistic uptime.
unsigned long long RealNs()
{
    unsigned long long c = SDL_GetPerformanceCounter(), f = Frequency();
    return (c / f) * kNsPerSecond + (c % f) * kNsPerSecond / f;
}

unsigned long long NowNs()
{
    const auto& s = GetState();
    return s.virtualClock ? s.virtualNs : RealNs();
}

}  // namespace

namespace win32detail {

DWORD NowMs()
{
    return static_cast<DWORD>(NowNs() / 1000000ull);
}

}  // namespace win32detail

DWORD WINAPI GetTickCount()
{
    return win32detail::NowMs();
}
DWORD WINAPI timeGetTime()
{
    return win32detail::NowMs();
}

MMRESULT WINAPI timeBeginPeriod(UINT period)
{
    return period ? TIMERR_NOERROR : TIMERR_NOCANDO;
}
MMRESULT WINAPI timeEndPeriod(UINT period)
{
    return period ? TIMERR_NOERROR : TIMERR_NOCANDO;
}

BOOL WINAPI QueryPerformanceCounter(LARGE_INTEGER* count)
{
    if (!count) return FALSE;
    const auto& s = GetState();
    if (!s.virtualClock) {
        count->QuadPart = static_cast<LONGLONG>(SDL_GetPerformanceCounter());
        return TRUE;
    }
    // The virtual clock counts in the real counter's units, so the frequency
    // a program sampled once stays right when the clock is switched.
    unsigned long long ns = s.virtualNs, f = Frequency();
    count->QuadPart = static_cast<LONGLONG>((ns / kNsPerSecond) * f + (ns % kNsPerSecond) * f / kNsPerSecond);
    return TRUE;
}

BOOL WINAPI QueryPerformanceFrequency(LARGE_INTEGER* frequency)
{
    if (!frequency) return FALSE;
    frequency->QuadPart = static_cast<LONGLONG>(Frequency());
    return TRUE;
}

void WINAPI Sleep(DWORD milliseconds)
{
    auto& s = GetState();
    if (s.virtualClock) {
        s.virtualNs += static_cast<unsigned long long>(milliseconds) * 1000000ull;
        return;
    }
    if (milliseconds == 0)
        sched_yield();
    else
        SDL_Delay(milliseconds);
}

namespace win32test {

void UseVirtualClock(bool on)
{
    auto& s = GetState();
    if (on && !s.virtualClock) s.virtualNs = RealNs();  // carry on from now, no jump back
    s.virtualClock = on;
}

bool VirtualClockInUse()
{
    return GetState().virtualClock;
}

void SetVirtualTimeMs(unsigned long long ms)
{
    GetState().virtualNs = ms * 1000000ull;
}

void AdvanceVirtualTimeMs(double ms)
{
    if (ms <= 0) return;
    GetState().virtualNs += static_cast<unsigned long long>(ms * 1e6 + 0.5);
}

void AdvanceVirtualTimeUs(unsigned long long us)
{
    GetState().virtualNs += us * 1000ull;
}

}  // namespace win32test
