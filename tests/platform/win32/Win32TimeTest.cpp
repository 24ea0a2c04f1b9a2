// Clocks: the millisecond counters and the performance counter, real and
// virtual.
#include "Win32TestWindow.h"

#include <SDL.h>

namespace {

using Win32Time = Win32Test;

TEST_F(Win32Time, TickCountWrapsPast32BitsUnderTheVirtualClock)
{
    win32test::UseVirtualClock(true);
    ASSERT_TRUE(win32test::VirtualClockInUse());
    win32test::SetVirtualTimeMs(0xFFFFFFFFull - 5);
    DWORD before = GetTickCount();
    EXPECT_EQ(before, 0xFFFFFFFAu);
    EXPECT_EQ(timeGetTime(), before);
    win32test::AdvanceVirtualTimeMs(10);
    DWORD after = GetTickCount();
    EXPECT_EQ(after, 4u);
    EXPECT_EQ(static_cast<DWORD>(after - before), 10u);  // unsigned difference survives the wrap
    EXPECT_EQ(timeGetTime(), 4u);
}

TEST_F(Win32Time, PerformanceCounterAdvancesWithTheVirtualClock)
{
    LARGE_INTEGER f, a, b;
    ASSERT_TRUE(QueryPerformanceFrequency(&f));
    ASSERT_GT(f.QuadPart, 0);
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(5000);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    win32test::AdvanceVirtualTimeMs(16.5);
    ASSERT_TRUE(QueryPerformanceCounter(&b));
    double seconds = static_cast<double>(b.QuadPart - a.QuadPart) / static_cast<double>(f.QuadPart);
    EXPECT_NEAR(seconds, 0.0165, 1e-7);
    win32test::AdvanceVirtualTimeUs(250);
    ASSERT_TRUE(QueryPerformanceCounter(&a));
    EXPECT_NEAR(static_cast<double>(a.QuadPart - b.QuadPart) / f.QuadPart, 0.00025, 1e-8);
    LARGE_INTEGER f2;
    QueryPerformanceFrequency(&f2);
    EXPECT_EQ(f2.QuadPart, f.QuadPart);  // one frequency whatever the clock
    // Fractions of a millisecond add up.
    DWORD t = GetTickCount();
    for (int i = 0; i < 4; ++i) win32test::AdvanceVirtualTimeMs(0.25);
    EXPECT_EQ(GetTickCount(), t + 1);
}

TEST_F(Win32Time, SleepAdvancesTheVirtualClockInsteadOfWaiting)
{
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(1000);
    Uint64 realBefore = SDL_GetTicks64();
    Sleep(3600 * 1000);  // an hour: the test would time out if this waited
    EXPECT_EQ(GetTickCount(), 1000u + 3600u * 1000u);
    EXPECT_LT(SDL_GetTicks64() - realBefore, 60000u);
}

TEST_F(Win32Time, SwitchingToTheVirtualClockDoesNotJumpBack)
{
    DWORD real = GetTickCount();
    win32test::UseVirtualClock(true);
    DWORD virt = GetTickCount();
    EXPECT_LE(static_cast<DWORD>(virt - real), 1000u);
    win32test::UseVirtualClock(false);
    EXPECT_FALSE(win32test::VirtualClockInUse());
}

TEST_F(Win32Time, RealClocksMoveForwardTogether)
{
    LARGE_INTEGER f, a, b;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&a);
    DWORD t0 = GetTickCount();
    Sleep(30);
    QueryPerformanceCounter(&b);
    DWORD t1 = GetTickCount();
    double seconds = static_cast<double>(b.QuadPart - a.QuadPart) / f.QuadPart;
    EXPECT_GE(seconds, 0.029);
    EXPECT_GE(static_cast<DWORD>(t1 - t0), 29u);
    EXPECT_EQ(timeBeginPeriod(1), static_cast<MMRESULT>(TIMERR_NOERROR));
    EXPECT_EQ(timeEndPeriod(1), static_cast<MMRESULT>(TIMERR_NOERROR));
    EXPECT_FALSE(QueryPerformanceCounter(nullptr));
    EXPECT_FALSE(QueryPerformanceFrequency(nullptr));
}

}  // namespace
