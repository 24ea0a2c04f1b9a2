// Pause and the gamepad in the real loop on the virtual clock: P, Pause and
// the pad's Start toggle the pause, losing the focus or the pad starts it,
// and while it lasts nothing of the game moves; the pad's stick and d-pad
// steer with the keys' torque.
#include "GamePlayHarness.h"

#include <Newton.h>
#include <xinput.h>

#include <cstring>

#include "GameDisplay.h"
#include "GamePad.h"
#include "GameScene.h"

using namespace play;

namespace {

const uint32_t kPausedWhite = 0xFFFFFFFF;

struct BallState {
    float matrix[16];
    float velocity[3];
    float omega[3];
    bool operator==(const BallState& o) const { return std::memcmp(this, &o, sizeof(*this)) == 0; }
};

BallState Ball()
{
    BallState s;
    NewtonBodyGetMatrix(ballBody, s.matrix);
    NewtonBodyGetVelocity(ballBody, s.velocity);
    NewtonBodyGetOmega(ballBody, s.omega);
    return s;
}

// Down for one frame (the pause toggles in it), the tick it toggled at, then up.
DWORD Tap(int virtualKey)
{
    win32test::KeyDown(virtualKey);
    Frame();
    const DWORD at = GetTickCount();
    win32test::KeyUp(virtualKey);
    Frame();
    return at;
}

int PausedInk()
{
    return CountColour(ReadFrame(), 401, 201, 700, 280, kPausedWhite, 8);
}

}  // namespace

TEST_F(GamePlay, PauseHoldsTheWorldAndTheClockAndResumesExactlyWhereItStood)
{
    Frames(90);
    win32test::KeyDown('W');
    Frames(20);  // the ball rolls
    const DWORD pausedAt = Tap(VK_PAUSE);
    ASSERT_TRUE(gamePaused);
    const DWORD ranBefore = pausedAt - levelStartTick;
    const BallState ball = Ball();
    const int bonus = timeBonus;
    const float elapsed = elapsedSeconds;
    const float coinTurn = coinAngle;
    EXPECT_GT(PausedInk(), 300) << "\"PAUSED\" over the frame";

    // A second and a half, then a minute in one frame, keys held and pressed.
    Frames(100);
    Press('E');
    PressWithControl('I');
    Frame(60000.0);
    EXPECT_TRUE(gamePaused);
    EXPECT_FALSE(editorMode) << "keys do nothing while paused";
    EXPECT_EQ(steeringTorque.x, 0.0f);
    EXPECT_TRUE(Ball() == ball) << "position, velocity and spin as they were";
    EXPECT_EQ(timeBonus, bonus);
    EXPECT_EQ(elapsedSeconds, elapsed);
    EXPECT_EQ(coinAngle, coinTurn);

    const DWORD resumedAt = Tap('P');
    EXPECT_FALSE(gamePaused);
    EXPECT_EQ(resumedAt - levelStartTick, ranBefore) << "the level has run as long as when it paused, to the ms";
    EXPECT_FALSE(editorMode) << "a key pressed in the pause does not act when it ends";
    EXPECT_LT(PausedInk(), 20);
    EXPECT_EQ(steeringTorque.x, 70.0f);
    EXPECT_FALSE(Ball() == ball) << "the world moves again";
    win32test::KeyUp('W');
}

TEST_F(GamePlay, TheDeathWaitStandsStillInAPauseAndEnterWaitsForItsEnd)
{
    Frames(90);
    int cx = 0, cz = 0;
    ASSERT_TRUE(FindBomb(&cx, &cz));
    PlaceBall(2.0f * cx + 1.0f, 1.0f, 2.0f * cz + 1.0f);
    Frame();
    ASSERT_TRUE(ballDead);
    Frame(2000.0);
    Tap('P');
    ASSERT_TRUE(gamePaused);
    Frame(10000.0);
    win32test::KeyDown(VK_RETURN);
    Frames(2);
    win32test::KeyUp(VK_RETURN);
    EXPECT_TRUE(ballDead) << "neither time nor Enter ends the wait in a pause";
    Tap('P');
    Frame(2500.0);
    EXPECT_TRUE(ballDead) << "about 2.5 s of the 5 were left";
    Frame(700.0);
    EXPECT_FALSE(ballDead);
}

TEST_F(GamePlay, LosingTheFocusPausesAndOnlyThePlayerResumes)
{
    Frames(30);
    EXPECT_EQ(PausedInk(), 0);
    win32test::SetActiveWindow(nullptr);
    Frames(3);
    EXPECT_TRUE(gamePaused);
    win32test::SetActiveWindow(windowHandle);
    Frames(3);
    EXPECT_TRUE(gamePaused) << "the focus back does not end the pause";
    EXPECT_GT(PausedInk(), 300);

    // In the editor, P places the start and leaves the pause alone; Pause works.
    Tap(VK_PAUSE);
    ASSERT_FALSE(gamePaused);
    PressWithControl('I');
    ASSERT_TRUE(editorMode);
    Tap('P');
    EXPECT_FALSE(gamePaused);
    Tap(VK_PAUSE);
    EXPECT_TRUE(gamePaused);
    Tap(VK_PAUSE);
    PressWithControl('I');
}

TEST_F(GamePlay, TheLeftStickAndTheDpadSteerWithTheKeysTorque)
{
    const int pad = win32test::AttachVirtualPad();
    ASSERT_GE(pad, 0) << "no virtual game controller";
    Frames(90);
    using win32test::PadAxis;
    struct Case {
        int x, y;
        float torqueX, torqueZ;
    };
    const Case cases[] = {
        {0, 32767, 70.0f, 0.0f},          // full up: W
        {0, -32768, -70.0f, 0.0f},        // full down: S
        {32767, 0, 0.0f, -70.0f},         // full right: D
        {-32768, 0, 0.0f, 70.0f},         // full left: A
        {0, 16384, 35.0f, 0.0f},          // half up: half the torque
        {16384, -16384, -35.0f, -35.0f},  // half down-right
        {0, 7800, 0.0f, 0.0f},            // inside the dead zone
        {5000, 5000, 0.0f, 0.0f},         // inside it on the diagonal
    };
    for (const Case& c : cases) {
        win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbX, c.x);
        win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbY, c.y);
        Frame();
        EXPECT_NEAR(steeringTorque.x, c.torqueX, 0.01f) << c.x << ", " << c.y;
        EXPECT_NEAR(steeringTorque.z, c.torqueZ, 0.01f) << c.x << ", " << c.y;
    }

    // Keys and stick add, up to a key's torque.
    win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbX, 0);
    win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbY, 32767);
    win32test::KeyDown('W');
    Frame();
    EXPECT_EQ(steeringTorque.x, 70.0f);
    win32test::KeyUp('W');
    win32test::KeyDown('S');
    Frame();
    EXPECT_EQ(steeringTorque.x, 0.0f);
    win32test::KeyUp('S');
    win32test::SetVirtualPadAxis(pad, PadAxis::LeftThumbY, 0);
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_DPAD_LEFT | XINPUT_GAMEPAD_DPAD_UP, true);
    Frame();
    EXPECT_EQ(steeringTorque.x, 70.0f);
    EXPECT_EQ(steeringTorque.z, 70.0f);
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_DPAD_LEFT | XINPUT_GAMEPAD_DPAD_UP, false);
    Frame();
    EXPECT_EQ(steeringTorque.x, 0.0f);
    win32test::DetachVirtualPad(pad);
}

TEST_F(GamePlay, PadStartPausesAEndsTheWaitAndUnpluggingInPlayPauses)
{
    const int pad = win32test::AttachVirtualPad();
    ASSERT_GE(pad, 0) << "no virtual game controller";
    Frames(90);
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_START, true);
    Frames(3);
    EXPECT_TRUE(gamePaused) << "Start pauses, once a press";
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_START, false);
    Frame();
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_START, true);
    Frame();
    EXPECT_FALSE(gamePaused) << "and resumes";
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_START, false);
    Frame();

    int cx = 0, cz = 0;
    ASSERT_TRUE(FindBomb(&cx, &cz));
    PlaceBall(2.0f * cx + 1.0f, 1.0f, 2.0f * cz + 1.0f);
    Frame();
    ASSERT_TRUE(ballDead);
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_A, true);
    Frames(2);
    win32test::SetVirtualPadButton(pad, XINPUT_GAMEPAD_A, false);
    Frame();
    EXPECT_FALSE(ballDead) << "A ends the wait as Enter does";

    win32test::DetachVirtualPad(pad);
    Frames(2);
    EXPECT_TRUE(gamePaused) << "a pad unplugged in play pauses the game";
    EXPECT_EQ(steeringTorque.x, 0.0f);
}

TEST_F(GamePlay, F11AndAltEnterToggleFullScreenAndThePictureStaysTheSame)
{
    Frames(30);
    RECT windowed = {};
    GetClientRect(windowHandle, &windowed);
    const Image before = ReadFrame();
    Press(VK_F11);
    ASSERT_TRUE(IsFullScreen());
    RECT client = {};
    GetClientRect(windowHandle, &client);
    EXPECT_EQ(client.right, windowed.right) << "the client area keeps its pixels";
    EXPECT_EQ(client.bottom, windowed.bottom);
    Frame();
    const Image after = ReadFrame();
    ASSERT_EQ(after.width, before.width);
    ASSERT_EQ(after.height, before.height);
    // The ball rests: the back buffer shows the same scene, bar the clock.
    EXPECT_GT(CountColour(after, 400, 100, 1000, 350, before.At(700, 200), 4), 1000);

    win32test::KeyDown(VK_MENU);
    Press(VK_RETURN);
    win32test::KeyUp(VK_MENU);
    Frame();
    EXPECT_FALSE(IsFullScreen()) << "Alt+Enter goes back";
    RECT back = {};
    GetWindowRect(windowHandle, &back);
    EXPECT_EQ(back.left, 300) << "where the window was";
    EXPECT_EQ(back.top, 100);
}
