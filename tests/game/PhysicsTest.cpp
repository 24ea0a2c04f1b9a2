// The ball, the blast and the spinners in the game's own world, stepped as
// the frame steps it.
#include "GameWorldFixture.h"

#include <algorithm>

namespace {

using Physics = GameWorld;

TEST_F(Physics, PositiveXTorqueRollsTowardPlusZ)
{
    BallOnBoard(45, 20);
    steeringTorque = D3DXVECTOR3(70, 0, 0);
    Steps(60);
    D3DXVECTOR3 p = BallPos();
    EXPECT_GT(p.z - 20, 1.5f);
    EXPECT_NEAR(p.x, 45, 0.05f);
    EXPECT_GT(BallVelocity().z, 2.0f);
}

TEST_F(Physics, NegativeZTorqueRollsTowardPlusX)
{
    BallOnBoard(20, 45);
    steeringTorque = D3DXVECTOR3(0, 0, -70);
    Steps(60);
    D3DXVECTOR3 p = BallPos();
    EXPECT_GT(p.x - 20, 1.5f);
    EXPECT_NEAR(p.z, 45, 0.05f);
    EXPECT_GT(BallVelocity().x, 2.0f);
}

// Spins the ball about the vertical at 10 rad/s (omega^2 = 100) and steps
// it n times with the given torque; returns the ball positions per step.
std::vector<D3DXVECTOR3> SpinningRun(const D3DXVECTOR3& torque, int n, int* fastSteps)
{
    PlaceBall(D3DXVECTOR3(45, 1, 45));
    GameWorld::Steps(30);
    float omega[3] = {0, 10, 0};
    NewtonBodySetOmega(ballBody, omega);
    steeringTorque = torque;
    std::vector<D3DXVECTOR3> path;
    *fastSteps = 0;
    for (int i = 0; i < n; ++i) {
        float w[3];
        NewtonBodyGetOmega(ballBody, w);
        if (w[0] * w[0] + w[1] * w[1] + w[2] * w[2] >= 50 && *fastSteps == i) ++*fastSteps;
        StepPhysics(1.0f / 60.0f);
        path.push_back(GameWorld::BallPos());
    }
    return path;
}

TEST_F(Physics, SteeringHasNoEffectWhileTheBallSpinsFast)
{
    int fastFree = 0, fastSteered = 0;
    std::vector<D3DXVECTOR3> free = SpinningRun(D3DXVECTOR3(0, 0, 0), 600, &fastFree);
    SetUp();
    std::vector<D3DXVECTOR3> steered = SpinningRun(D3DXVECTOR3(70, 0, 0), 600, &fastSteered);

    ASSERT_EQ(fastFree, fastSteered);
    ASSERT_GT(fastFree, 30);   // damping slows the spin, but not at once
    ASSERT_LT(fastFree, 500);  // ... and within a few seconds
    for (int i = 0; i < fastFree; ++i) {
        EXPECT_EQ(free[i].x, steered[i].x) << "step " << i;
        EXPECT_EQ(free[i].z, steered[i].z) << "step " << i;
    }
    // Once the spin drops below the limit the key acts.
    EXPECT_GT(steered.back().z - free.back().z, 1.0f);
}

TEST_F(Physics, BlastThrowsTheBallUpForOneStep)
{
    BallOnBoard(45, 45);
    blastPending = true;
    Steps(1);
    EXPECT_FALSE(blastPending);
    EXPECT_GT(BallVelocity().y, 10.0f);
    float top = 0;
    for (int i = 0; i < 120; ++i) {
        Steps(1);
        top = std::max(top, BallPos().y);
    }
    EXPECT_GT(top, 8.0f);
}

TEST_F(Physics, FirstStepIsMarked)
{
    EXPECT_FALSE(firstStepDone);
    Steps(1);
    EXPECT_TRUE(firstStepDone);
}

TEST_F(Physics, SpinnerTurnsAboutTheVerticalAndStaysOnItsPoint)
{
    // At the editor cursor's height the box reaches into the board, as in the game.
    AddSpinner(30, 1, 30);
    ASSERT_EQ(spinnerCount, 1);
    NewtonBody* body = spinners[0].body;
    float turned = 0, lastYaw = 0;
    float worstTilt = 1, worstDrift = 0;
    for (int frame = 0; frame < 60 * 20; ++frame) {
        UpdateSpinners();
        StepPhysics(1.0f / 60.0f);
        D3DXMATRIX m;
        NewtonBodyGetMatrix(body, m);
        float yaw = std::atan2(-m._13, m._11);
        float delta = yaw - lastYaw;
        if (delta < -3.14159265f) delta += 2 * 3.14159265f;
        if (delta > 3.14159265f) delta -= 2 * 3.14159265f;
        if (frame > 0) turned += delta;
        lastYaw = yaw;
        worstTilt = std::min(worstTilt, m._22);
        float dx = m._41 - 30, dy = m._42 - 1, dz = m._43 - 30;
        worstDrift = std::max(worstDrift, std::sqrt(dx * dx + dy * dy + dz * dz));
    }
    EXPECT_NEAR(turned / (1199.0f / 60.0f), 5.0f, 0.1f);  // rad/s, turning toward +y
    EXPECT_GT(worstTilt, 0.99f);                          // its y axis stays up
    EXPECT_LT(worstDrift, 0.3f);                          // one step's push at most
}

TEST_F(Physics, SpinnerPushesABallThatRollsIntoIt)
{
    // Without a spinner the ball rolls straight through the point.
    auto closest = [](bool withSpinner, float* sideways) {
        if (withSpinner) AddSpinner(45, 1, 45);
        BallOnBoard(45, 36);
        steeringTorque = D3DXVECTOR3(70, 0, 0);
        float best = 1e9f;
        *sideways = 0;
        for (int i = 0; i < 60 * 4; ++i) {
            UpdateSpinners();
            StepPhysics(1.0f / 60.0f);
            D3DXVECTOR3 p = BallPos();
            best = std::min(best, std::sqrt((p.x - 45) * (p.x - 45) + (p.z - 45) * (p.z - 45)));
            *sideways = std::max(*sideways, std::fabs(BallVelocity().x));
        }
        return best;
    };
    float sidewaysFree, sidewaysPushed;
    float free = closest(false, &sidewaysFree);
    SetUp();
    float pushed = closest(true, &sidewaysPushed);
    EXPECT_LT(free, 0.2f);
    EXPECT_GT(pushed, 1.1f);          // the plate (0.25 thick) and the ball's radius
    EXPECT_GT(sidewaysPushed, 1.0f);  // knocked aside
    EXPECT_LT(sidewaysFree, 0.05f);
}

TEST_F(Physics, SpinnerTableHoldsFifty)
{
    for (int i = 0; i < 51; ++i) AddSpinner(2.0f * i, 3, 80);
    EXPECT_EQ(spinnerCount, kMaxSpinners);
    DestroySpinners();
    EXPECT_EQ(spinnerCount, 0);
    Steps(2);
}

TEST_F(Physics, BallFallingOffTheBoardIsStoppedAndComesBackOnRestart)
{
    BallOnBoard(88, 45);
    steeringTorque = D3DXVECTOR3(0, 0, -70);
    for (int i = 0; i < 60 * 12; ++i) {
        StepPhysics(1.0f / 60.0f);
        ASSERT_TRUE(std::isfinite(ballMatrix._42));
    }
    EXPECT_EQ(NewtonBodyGetFreezeState(ballBody), 1);
    EXPECT_LT(ballMatrix._42, -190.0f);
    EXPECT_GT(ballMatrix._42, -205.0f);

    startPosition = D3DXVECTOR3(10, 5, 10);
    RestartLevel();
    steeringTorque = D3DXVECTOR3(0, 0, 0);
    EXPECT_EQ(NewtonBodyGetFreezeState(ballBody), 0);
    Steps(180);
    EXPECT_NEAR(BallPos().y, 1.0f, 0.05f);
    EXPECT_NEAR(BallPos().x, 10.0f, 0.05f);
}

// The feel of the ball: from rest, one key held at 60 steps per second, then
// released. The bounds are generous; the measured figures are in the layer's
// notes.
TEST_F(Physics, SteeringReachesTopSpeedWithinAboutTwoSecondsAndSlowsWhenReleased)
{
    BallOnBoard(45, 5);
    steeringTorque = D3DXVECTOR3(70, 0, 0);
    float reach = -1, top = 0, lowY = 10, highY = -10, maxVy = 0;
    for (int i = 1; i <= 60 * 4; ++i) {
        Steps(1);
        float s = Speed(BallVelocity());
        top = std::max(top, s);
        if (reach < 0 && s >= 0.95f * 7.07f) reach = i / 60.0f;
        lowY = std::min(lowY, BallPos().y);
        highY = std::max(highY, BallPos().y);
        maxVy = std::max(maxVy, std::fabs(BallVelocity().y));
    }
    EXPECT_GT(reach, 0.5f);
    EXPECT_LT(reach, 2.5f);
    EXPECT_GT(top, 6.5f);
    EXPECT_LT(top, 7.6f);
    EXPECT_GT(lowY, 0.95f);
    EXPECT_LT(highY, 1.05f);
    EXPECT_LT(maxVy, 0.1f);

    steeringTorque = D3DXVECTOR3(0, 0, 0);
    Steps(120);
    float after2 = Speed(BallVelocity());
    Steps(240);
    float after6 = Speed(BallVelocity());
    EXPECT_LT(after2, 0.8f * top);
    EXPECT_LT(after6, 1.0f);
}

}  // namespace
