// Frame timing on the window layer's virtual clock, and the key latches on
// injected keys.
#include <gtest/gtest.h>

#include <Win32TestSeam.h>

#include "vEngine.h"

namespace {

struct VirtualClock {
    VirtualClock(unsigned long long startMs)
    {
        win32test::UseVirtualClock(true);
        win32test::SetVirtualTimeMs(startMs);
    }
    ~VirtualClock() { win32test::UseVirtualClock(false); }
};

}  // namespace

TEST(Framerate, SpeedFactorBeforeTheFirstFrame)
{
    vEngine engine;
    EXPECT_FLOAT_EQ(engine.GetSpeedfactor(), 0.01f);
    EXPECT_EQ(engine.Clear(), E_FAIL);
    EXPECT_EQ(engine.Present(), E_FAIL);
    EXPECT_FLOAT_EQ(engine.GetSpeedfactor(), 0.01f);
}

TEST(Framerate, PerformanceCounterKeepsMillisecondsAfterLongUptime)
{
    // About 100 days of uptime: the counter no longer fits 32 bits and its
    // seconds value no longer fits a float's precision.
    VirtualClock clock(100ull * 24 * 3600 * 1000);
    vFramerate timer;
    timer.m_speedFactor = 0.01f;
    timer.Init(60.0f);
    timer.SetSpeedFactor();  // primes: the speed factor is not the whole uptime
    EXPECT_FLOAT_EQ(timer.m_speedFactor, 0.01f);

    for (int frame = 0; frame < 5; ++frame) {
        win32test::AdvanceVirtualTimeUs(16667);
        timer.Init(60.0f);
        timer.SetSpeedFactor();
        EXPECT_NEAR(timer.m_speedFactor, 0.016667f, 1e-6f) << "frame " << frame;
    }
    win32test::AdvanceVirtualTimeMs(250.0);
    timer.SetSpeedFactor();
    EXPECT_NEAR(timer.m_speedFactor, 0.25f, 1e-6f);
}

TEST(Framerate, MillisecondClocksStartAHundredMillisecondsBack)
{
    for (e_vTimeMode mode : {TIME_TIMEGETTIME, TIME_GETTICKCOUNT}) {
        VirtualClock clock(50000);
        vFramerate timer;
        timer.SetTimingMode(mode);
        win32test::AdvanceVirtualTimeMs(20.0);
        timer.SetSpeedFactor();
        EXPECT_FLOAT_EQ(timer.m_speedFactor, 0.12f) << "mode " << mode;
        win32test::AdvanceVirtualTimeMs(33.0);
        timer.SetSpeedFactor();
        EXPECT_FLOAT_EQ(timer.m_speedFactor, 0.033f) << "mode " << mode;
    }
}

TEST(Framerate, MillisecondClockAcrossTheWrap)
{
    VirtualClock clock((1ull << 32) - 5);  // 5 ms before the 32-bit wrap
    vFramerate timer;
    timer.SetTimingMode(TIME_GETTICKCOUNT);
    timer.SetSpeedFactor();
    EXPECT_FLOAT_EQ(timer.m_speedFactor, 0.1f);
    win32test::AdvanceVirtualTimeMs(12.0);
    timer.SetSpeedFactor();
    EXPECT_FLOAT_EQ(timer.m_speedFactor, 0.012f);
}

TEST(Framerate, EngineForwardsTheModeAndUnknownModesChangeNothing)
{
    VirtualClock clock(10000);
    vEngine engine;
    engine.SetTimingMode(TIME_TIMEGETTIME);
    EXPECT_EQ(engine.m_framerate.m_timeMode, TIME_TIMEGETTIME);

    vFramerate timer;
    timer.m_speedFactor = 0.5f;
    timer.SetTimingMode((e_vTimeMode)7);
    win32test::AdvanceVirtualTimeMs(40.0);
    timer.SetSpeedFactor();
    EXPECT_EQ(timer.m_speedFactor, 0.5f);
}

TEST(Keys, HeldKeyIsReportedOnce)
{
    vEngine engine;
    win32test::ReleaseAllKeys();
    EXPECT_FALSE(engine.GetKeyPressed('N'));
    EXPECT_FALSE(engine.GetKeyPressedOnce('N'));

    win32test::KeyDown('N');
    EXPECT_TRUE(engine.GetKeyPressed('N'));
    EXPECT_TRUE(engine.GetKeyPressedOnce('N'));
    EXPECT_FALSE(engine.GetKeyPressedOnce('N'));
    EXPECT_FALSE(engine.GetKeyPressedOnce('N'));

    // Released and pressed again with no query in between: still latched.
    win32test::KeyUp('N');
    win32test::KeyDown('N');
    EXPECT_FALSE(engine.GetKeyPressedOnce('N'));

    // A query while up re-arms it.
    win32test::KeyUp('N');
    EXPECT_FALSE(engine.GetKeyPressedOnce('N'));
    win32test::KeyDown('N');
    EXPECT_TRUE(engine.GetKeyPressedOnce('N'));
    win32test::ReleaseAllKeys();
}

TEST(Keys, CodesSharingTheLowByteShareALatch)
{
    vEngine engine;
    win32test::ReleaseAllKeys();
    win32test::KeyDown(0x41);
    EXPECT_TRUE(engine.GetKeyPressedOnce(0x41));
    win32test::KeyUp(0x41);
    // The query of 0x141 sees no key down and clears the latch of 0x41 ...
    EXPECT_FALSE(engine.GetKeyPressedOnce(0x141));
    EXPECT_EQ(engine.m_keyStates[0x41], 0);
    // ... so the next press of A is reported although no query of 0x41 saw it up.
    win32test::KeyDown(0x41);
    EXPECT_TRUE(engine.GetKeyPressedOnce(0x41));
    win32test::ReleaseAllKeys();
}
