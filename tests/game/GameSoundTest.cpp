// The game's sounds in the real loop: the sound layer's loopback device mixes
// each frame's 16 ms of sound right after the frame, so what was heard can be
// matched to the frame that made it.
#include "GamePlayHarness.h"

#include <DSoundTestSeam.h>
#include <Newton.h>
#include <SoundAnalysis.h>

#include "GameSound.h"
#include "media/Sounds.h"

using namespace play;

namespace {

const unsigned kMixRate = 48000;
const double kFrameMs = 16.0;
const std::size_t kFrameSamples = std::size_t(kMixRate * kFrameMs / 1000.0);  // 768

// Before the game starts: its sound device is the loopback device.
struct UseLoopback {
    UseLoopback() { DSound_UseLoopbackForTests(kMixRate); }
} useLoopback;

class GameSound : public GamePlay {
protected:
    void SetUp() override
    {
        GamePlay::SetUp();
        ASSERT_TRUE(audio.IsAvailable()) << "the game opened no sound device";
        Mixed(30);  // whatever the reset left playing dies away
        mix_.samples.clear();
    }

    // One frame of the loop, then its 16 ms of sound; the frame's index.
    std::size_t SoundFrame()
    {
        Frame(kFrameMs);
        Mix();
        return frames_++;
    }
    void Mixed(int n)
    {
        for (int i = 0; i < n; ++i) SoundFrame();
    }
    void Mix()
    {
        std::vector<std::int16_t> out(kFrameSamples * 2);
        ASSERT_TRUE(DSound_RenderForTests(out.data(), DWORD(kFrameSamples)));
        mix_.samples.insert(mix_.samples.end(), out.begin(), out.end());
    }
    // The sound of frames [first, first + count) since the last clear.
    std::vector<double> Heard(std::size_t first, std::size_t count) const
    {
        const std::size_t base = frames_ - mix_.Frames() / kFrameSamples;
        return mix_.Mono((first - base) * kFrameSamples, (first - base + count) * kFrameSamples);
    }
    double Tone(std::size_t first, std::size_t count, double hz) const
    {
        return soundtest::ToneAmplitude(Heard(first, count), hz, kMixRate);
    }

    soundtest::Mix mix_;
    std::size_t frames_ = 0;
};

int ActiveCoin()
{
    for (int i = 0; i < coinCount; ++i)
        if (coins[i].active) return i;
    return -1;
}

// The ball at (x, 1, z) rolling along +x at speed, spinning as it would.
void Roll(float x, float z, float speed)
{
    PlaceBall(x, 1.0f, z);
    const float velocity[3] = {speed, 0.0f, 0.0f};
    const float omega[3] = {0.0f, 0.0f, -speed};
    NewtonBodySetVelocity(ballBody, velocity);
    NewtonBodySetOmega(ballBody, omega);
}

}  // namespace

TEST_F(GameSound, CoinsSoundAtTheFrameTheyArePickedUpAndTheLastCoinSoundsApart)
{
    Mixed(90);  // the ball drops from its start onto the board
    const double coinHz = media::kCoinToneHz[0];
    const double lastHz = media::kLastCoinToneHz[0];
    ASSERT_GT(coinCount, 1) << "level 1 needs two coins";

    std::vector<double> coinAtPickup, lastAtPickup, coinBefore;
    while (ActiveCoin() >= 0) {
        const int i = ActiveCoin();
        Mixed(20);  // the last coin's sound has ended
        const std::size_t before = frames_ - 4;
        PlaceBall(coins[i].position.x, 1.0f, coins[i].position.z);
        const std::size_t pickup = SoundFrame();
        ASSERT_EQ(coins[i].active, 0) << "the coin was picked up in that frame";
        Mixed(4);
        const bool last = ActiveCoin() < 0;
        // The frame before: neither sound; the pick-up frame: this coin's first note.
        EXPECT_LT(Tone(before, 4, coinHz), 0.005) << "coin " << i;
        EXPECT_LT(Tone(before, 4, lastHz), 0.005) << "coin " << i;
        const double coinTone = Tone(pickup, 1, coinHz);
        const double lastTone = Tone(pickup, 1, lastHz);
        if (last) {
            EXPECT_GT(lastTone, 0.03) << "the last coin's sound starts in its frame";
            EXPECT_LT(Tone(pickup, 4, coinHz), 0.2 * Tone(pickup, 4, lastHz)) << "and is not the coin sound";
        } else {
            EXPECT_GT(coinTone, 0.03) << "coin " << i << ": its sound starts in the pick-up frame";
            EXPECT_LT(Tone(pickup, 4, lastHz), 0.2 * Tone(pickup, 4, coinHz)) << "coin " << i;
        }
    }
    EXPECT_GE(coinsCollected, coinCount);

    Mixed(40);
    PlaceBall(goalPosition.x, 1.0f, goalPosition.z);
    const std::size_t goal = SoundFrame();
    ASSERT_TRUE(levelCompleted);
    Mixed(10);
    EXPECT_GT(Tone(goal, 10, media::kGoalChordHz[0]), 0.01) << "the goal's chord";
}

TEST_F(GameSound, RollingIsLouderFasterAndSilentInTheAirAndInTheEditor)
{
    Mixed(90);
    // A board with nothing on it to stop the ball, far from the goal.
    FillGrid(0);
    coinCount = 0;
    const float x = goalPosition.x > 45.0f ? 10.0f : 60.0f;
    const float z = goalPosition.z > 45.0f ? 10.0f : 60.0f;

    auto loudnessAt = [&](float speed) {
        std::size_t first = 0;
        for (int f = 0; f < 20; ++f) {
            Roll(x, z, speed);
            first = SoundFrame();
        }
        return soundtest::Rms(Heard(first - 9, 10));
    };
    const double still = loudnessAt(0.0f);
    const double slow = loudnessAt(2.0f);
    const double fast = loudnessAt(7.0f);
    EXPECT_LT(still, 1e-4) << "a ball at rest makes no sound";
    EXPECT_GT(slow, 0.002);
    EXPECT_GT(fast, 1.5 * slow) << "slow " << slow << ", fast " << fast;
    EXPECT_GT(RollingPitch(7.0f), RollingPitch(2.0f));

    // Thrown up at speed: silent from the frame it leaves the board.
    loudnessAt(7.0f);
    PlaceBall(x, 6.0f, z);
    const float velocity[3] = {7.0f, 0.0f, 0.0f};
    NewtonBodySetVelocity(ballBody, velocity);
    const std::size_t up = SoundFrame();
    Mixed(15);
    ASSERT_GT(BallBodyPosition().y, 2.0f);
    EXPECT_LT(soundtest::Rms(Heard(up + 1, 15)), 1e-4) << "in the air";

    // In the editor: silent, and a click when a coin is put down.
    loudnessAt(7.0f);
    PressWithControl('I');
    ASSERT_TRUE(editorMode);
    Mixed(5);
    const std::size_t editing = frames_ - 4;
    EXPECT_LT(soundtest::Rms(Heard(editing, 4)), 1e-4) << "the editor is quiet";
    win32test::KeyDown('C');
    const std::size_t placed = SoundFrame();
    win32test::KeyUp('C');
    Mixed(3);
    EXPECT_EQ(coinCount, 1);
    EXPECT_GT(soundtest::Rms(Heard(placed, 1)), 0.002) << "the coin clicks down";
    EXPECT_LT(soundtest::Rms(Heard(placed + 2, 2)), 1e-4) << "a short click";
    PressWithControl('I');
}

TEST_F(GameSound, BombGoalAndRestartEachSound)
{
    Mixed(90);
    int cx = -1, cz = -1;
    ASSERT_TRUE(FindBomb(&cx, &cz));
    PlaceBall(2.0f * cx + 1.0f, 1.0f, 2.0f * cz + 1.0f);
    const std::size_t blast = SoundFrame();
    ASSERT_TRUE(ballDead);
    Mixed(10);
    EXPECT_GT(soundtest::Rms(Heard(blast, 10)), 0.01) << "the blast";
    Mixed(60);  // and it dies away

    // The death's five seconds, then the restart's falling sweep.
    Frame(5100.0);
    Mix();
    const std::size_t restart = frames_++;
    ASSERT_FALSE(ballDead);
    Mixed(10);
    EXPECT_GT(Tone(restart, 3, media::kRestartSweepHz[0]), 0.01) << "the restart sweep begins high";
}
