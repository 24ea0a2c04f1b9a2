// The physics layer as the game uses it: one callback per step, forces for
// one step, static bodies, matrices in D3DX layout, the world box.
#include <Newton.h>

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

namespace {

const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};

void Translation(float* m, float x, float y, float z)
{
    for (int i = 0; i < 16; ++i) m[i] = kIdentity[i];
    m[12] = x;
    m[13] = y;
    m[14] = z;
}

struct Probe {
    int calls = 0;
    float force[3] = {0, 0, 0};
    bool setForce = true;
};
Probe probe;

void CountingCallback(const NewtonBody* body)
{
    probe.calls++;
    if (probe.setForce) NewtonBodySetForce(body, probe.force);
}

void GravityCallback(const NewtonBody* body)
{
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(body, &mass, &ix, &iy, &iz);
    float f[3] = {0, -9.8f * mass, 0};
    NewtonBodySetForce(body, f);
}

class NewtonLayer : public ::testing::Test {
protected:
    void SetUp() override
    {
        probe = Probe();
        world = NewtonCreate(nullptr, nullptr);
        ASSERT_NE(world, nullptr);
        float lo[3] = {-200, -200, -200}, hi[3] = {200, 200, 200};
        NewtonSetWorldSize(world, lo, hi);
    }
    void TearDown() override { NewtonDestroy(world); }

    NewtonBody* Board()
    {
        NewtonBody* b = NewtonCreateBody(world, NewtonCreateBox(world, 90, 2, 90, nullptr));
        float m[16];
        Translation(m, 45, -1, 45);
        NewtonBodySetMatrix(b, m);
        return b;
    }
    NewtonBody* Ball(float x, float y, float z, NewtonApplyForceAndTorque cb)
    {
        NewtonBody* b = NewtonCreateBody(world, NewtonCreateSphere(world, 1, 1, 1, nullptr));
        float m[16];
        Translation(m, x, y, z);
        NewtonBodySetMatrix(b, m);
        NewtonBodySetForceAndTorqueCallback(b, cb);
        NewtonBodySetMassMatrix(b, 10, 0, 0, 0);
        NewtonBodySetAutoFreeze(b, 0);
        return b;
    }
    static float Y(const NewtonBody* b)
    {
        float m[16];
        NewtonBodyGetMatrix(b, m);
        return m[13];
    }

    NewtonWorld* world = nullptr;
};

TEST_F(NewtonLayer, EachUpdateCallsTheCallbackOnceAndItsForceActsForThatStepOnly)
{
    NewtonBody* ball = Ball(0, 50, 0, CountingCallback);
    probe.force[0] = 600;  // 60 units/s^2 on mass 10: 1 unit/s in a 1/60 s step
    NewtonUpdate(world, 1.0f / 60.0f);
    EXPECT_EQ(probe.calls, 1);
    float v[3];
    NewtonBodyGetVelocity(ball, v);
    EXPECT_NEAR(v[0], 1.0f, 0.01f);

    // The next step's callback sets nothing: the force was zeroed before it.
    probe.setForce = false;
    NewtonUpdate(world, 1.0f / 60.0f);
    EXPECT_EQ(probe.calls, 2);
    NewtonBodyGetVelocity(ball, v);
    EXPECT_NEAR(v[0], 1.0f, 0.01f);  // damping takes a trace only
}

// A long update is simulated whole, in equal sub-steps of at most 1/60 s,
// each with its own callback; the force set there acts for its sub-step.
TEST_F(NewtonLayer, LongUpdateRunsInSubStepsOfASixtiethEachWithItsCallback)
{
    NewtonBody* ball = Ball(0, 50, 0, CountingCallback);
    probe.force[0] = 600;  // 60 units/s^2 on mass 10
    float v[3];
    NewtonUpdate(world, 3.0f / 60.0f);  // a frame at 20 per second: three sub-steps
    EXPECT_EQ(probe.calls, 3);
    NewtonBodyGetVelocity(ball, v);
    EXPECT_NEAR(v[0], 3.0f, 0.02f);

    NewtonUpdate(world, 0.025f);  // two sub-steps of 1/80 s
    EXPECT_EQ(probe.calls, 5);
    NewtonBodyGetVelocity(ball, v);
    EXPECT_NEAR(v[0], 4.5f, 0.03f);

    NewtonUpdate(world, 1.0f / 60.0f);  // exactly one
    EXPECT_EQ(probe.calls, 6);

    // A stalled frame of 10 s simulates half a second, not ten.
    NewtonUpdate(world, 10.0f);
    EXPECT_EQ(probe.calls, 36);
    NewtonBodyGetVelocity(ball, v);
    EXPECT_GT(v[0], 5.5f + 30.0f - 1.5f);  // damping takes about 1 over that half second
    EXPECT_LT(v[0], 5.5f + 30.0f);
}

TEST_F(NewtonLayer, BodyWithoutMassStaysPutAndGetsNoCallback)
{
    NewtonBody* board = Board();
    NewtonBodySetForceAndTorqueCallback(board, CountingCallback);
    probe.force[1] = -1000;
    NewtonBody* ball = Ball(45, 3, 45, GravityCallback);
    for (int i = 0; i < 120; ++i) NewtonUpdate(world, 1.0f / 60.0f);
    EXPECT_EQ(probe.calls, 0);
    float m[16];
    NewtonBodyGetMatrix(board, m);
    EXPECT_FLOAT_EQ(m[12], 45);
    EXPECT_FLOAT_EQ(m[13], -1);
    EXPECT_FLOAT_EQ(m[14], 45);
    // The ball came to rest on top of it.
    EXPECT_NEAR(Y(ball), 1.0f, 0.05f);
}

TEST_F(NewtonLayer, MassMatrixReadsBackAsGiven)
{
    NewtonBody* ball = Ball(0, 0, 0, nullptr);
    float mass, ix, iy, iz;
    NewtonBodyGetMassMatrix(ball, &mass, &ix, &iy, &iz);
    EXPECT_EQ(mass, 10);
    EXPECT_EQ(ix, 0);
    EXPECT_EQ(iy, 0);
    EXPECT_EQ(iz, 0);
}

TEST_F(NewtonLayer, MatrixIsRowVectorLayoutWithTranslationInTwelveToFourteen)
{
    NewtonBody* box = NewtonCreateBody(world, NewtonCreateBox(world, 1, 1, 1, nullptr));
    NewtonBodySetMassMatrix(box, 1, 1, 1, 1);
    // A quarter turn about y in D3DX form: row 0 (the x axis) maps to -z.
    const float c = 0, s = 1;
    float m[16] = {c, 0, -s, 0, 0, 1, 0, 0, s, 0, c, 0, 3, 4, 5, 1};
    NewtonBodySetMatrix(box, m);
    float back[16];
    NewtonBodyGetMatrix(box, back);
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(back[i], m[i], 1e-6f) << "element " << i;

    // Spin about +y at 1 rad/s for one step: the x axis turns toward -z
    // further, the translation stays.
    float omega[3] = {0, 1, 0};
    NewtonBodySetOmega(box, omega);
    NewtonUpdate(world, 1.0f / 60.0f);
    NewtonBodyGetMatrix(box, back);
    float angle = std::atan2(-back[2], back[0]);
    EXPECT_NEAR(angle, 3.14159265f / 2 + 1.0f / 60, 1e-3f);
    EXPECT_NEAR(back[12], 3, 1e-5f);
    EXPECT_NEAR(back[13], 4, 1e-5f);
}

TEST_F(NewtonLayer, VelocityAndMatrixSetFromOutsideTakeEffectAtOnce)
{
    NewtonBody* ball = Ball(0, 50, 0, nullptr);
    float v[3] = {6, 0, 0};
    NewtonBodySetVelocity(ball, v);
    NewtonUpdate(world, 1.0f / 60.0f);
    float m[16];
    NewtonBodyGetMatrix(ball, m);
    EXPECT_NEAR(m[12], 0.1f, 0.002f);

    float at[16];
    Translation(at, 7, 8, 9);
    NewtonBodySetMatrix(ball, at);
    NewtonBodyGetMatrix(ball, m);
    EXPECT_EQ(m[12], 7);
    EXPECT_EQ(m[13], 8);
    EXPECT_EQ(m[14], 9);
}

TEST_F(NewtonLayer, BodyLeavingTheWorldBoxIsFrozenNotDestroyed)
{
    NewtonBody* ball = Ball(0, 190, 0, CountingCallback);
    float v[3] = {0, 60, 0};
    NewtonBodySetVelocity(ball, v);
    probe.setForce = false;
    for (int i = 0; i < 60; ++i) NewtonUpdate(world, 1.0f / 60.0f);
    EXPECT_EQ(NewtonBodyGetFreezeState(ball), 1);
    int callsWhenFrozen = probe.calls;
    float frozenY = Y(ball);
    EXPECT_GT(frozenY, 199.0f - 1.5f);
    EXPECT_LT(frozenY, 202.0f);
    for (int i = 0; i < 10; ++i) NewtonUpdate(world, 1.0f / 60.0f);
    EXPECT_EQ(probe.calls, callsWhenFrozen);
    EXPECT_EQ(Y(ball), frozenY);

    // Put back inside, it moves again.
    float at[16];
    Translation(at, 0, 0, 0);
    NewtonBodySetMatrix(ball, at);
    EXPECT_EQ(NewtonBodyGetFreezeState(ball), 0);
    probe.setForce = true;
    probe.force[0] = 600;
    NewtonUpdate(world, 1.0f / 60.0f);
    EXPECT_EQ(probe.calls, callsWhenFrozen + 1);
    NewtonBodyGetVelocity(ball, v);
    EXPECT_NEAR(v[0], 1.0f, 0.01f);
}

TEST_F(NewtonLayer, NonCollidableDefaultMaterialLetsTheBallFallThrough)
{
    int g = NewtonMaterialGetDefaultGroupID(world);
    NewtonMaterialSetDefaultCollidable(world, g, g, 0);
    Board();
    NewtonBody* ball = Ball(45, 2, 45, GravityCallback);
    for (int i = 0; i < 60; ++i) NewtonUpdate(world, 1.0f / 60.0f);
    EXPECT_LT(Y(ball), -1.0f);
}

// Drops a ball from 5 units and returns the highest point of its first bounce.
float BounceHeight(float elasticity)
{
    NewtonWorld* w = NewtonCreate(nullptr, nullptr);
    int g = NewtonMaterialGetDefaultGroupID(w);
    NewtonMaterialSetDefaultElasticity(w, g, g, elasticity);
    NewtonBody* board = NewtonCreateBody(w, NewtonCreateBox(w, 90, 2, 90, nullptr));
    float m[16];
    Translation(m, 45, -1, 45);
    NewtonBodySetMatrix(board, m);
    NewtonBody* ball = NewtonCreateBody(w, NewtonCreateSphere(w, 1, 1, 1, nullptr));
    Translation(m, 45, 6, 45);
    NewtonBodySetMatrix(ball, m);
    NewtonBodySetMassMatrix(ball, 10, 0, 0, 0);
    NewtonBodySetForceAndTorqueCallback(ball, GravityCallback);
    float best = 0;
    bool bounced = false;
    for (int i = 0; i < 180; ++i) {
        NewtonUpdate(w, 1.0f / 60.0f);
        float v[3];
        NewtonBodyGetVelocity(ball, v);
        NewtonBodyGetMatrix(ball, m);
        if (v[1] > 0) bounced = true;
        if (bounced) best = std::max(best, m[13] - 1.0f);
        if (bounced && v[1] < 0) break;
    }
    NewtonDestroy(w);
    return best;
}

TEST(NewtonMaterial, ElasticityDecidesTheBounce)
{
    float soft = BounceHeight(0.1f), lively = BounceHeight(0.8f);
    EXPECT_LT(soft, 0.3f);
    EXPECT_GT(lively, 1.0f);  // of a 5-unit drop
    EXPECT_LT(lively, 5.0f);
}

void SpinCallback(const NewtonBody* body)
{
    float torque[3] = {70, 0, 0};
    NewtonBodySetTorque(body, torque);
}

TEST_F(NewtonLayer, ZeroInertiaTakesTheSolidShapesAndGivenInertiaIsKept)
{
    // A solid sphere of mass 10 and radius 1 has inertia 4: torque 70 for a
    // 1/60 s step spins it to 70 / 60 / 4 rad/s.
    NewtonBody* solid = Ball(0, 50, 0, SpinCallback);
    NewtonBody* light = Ball(10, 50, 0, SpinCallback);
    NewtonBodySetMassMatrix(light, 10, 1, 1, 1);
    NewtonUpdate(world, 1.0f / 60.0f);
    float w[3];
    NewtonBodyGetOmega(solid, w);
    EXPECT_NEAR(w[0], 70.0f / 60 / 4, 0.01f);
    NewtonBodyGetOmega(light, w);
    EXPECT_NEAR(w[0], 70.0f / 60 / 1, 0.02f);
}

// Slides a box at 5 units/s over the board and returns how far it went.
float SlideDistance(float friction)
{
    NewtonWorld* w = NewtonCreate(nullptr, nullptr);
    int g = NewtonMaterialGetDefaultGroupID(w);
    NewtonMaterialSetDefaultFriction(w, g, g, friction, friction);
    NewtonBody* board = NewtonCreateBody(w, NewtonCreateBox(w, 90, 2, 90, nullptr));
    float m[16];
    Translation(m, 45, -1, 45);
    NewtonBodySetMatrix(board, m);
    NewtonBody* box = NewtonCreateBody(w, NewtonCreateBox(w, 1, 1, 1, nullptr));
    Translation(m, 10, 0.5f, 45);
    NewtonBodySetMatrix(box, m);
    NewtonBodySetMassMatrix(box, 10, 0, 0, 0);
    NewtonBodySetForceAndTorqueCallback(box, GravityCallback);
    for (int i = 0; i < 30; ++i) NewtonUpdate(w, 1.0f / 60.0f);
    float v[3] = {5, 0, 0};
    NewtonBodySetVelocity(box, v);
    for (int i = 0; i < 180; ++i) NewtonUpdate(w, 1.0f / 60.0f);
    NewtonBodyGetMatrix(box, m);
    NewtonDestroy(w);
    return m[12] - 10;
}

TEST(NewtonMaterial, FrictionAboveTwoActsAsTwo)
{
    float two = SlideDistance(2.0f), four = SlideDistance(4.0f), half = SlideDistance(0.5f);
    EXPECT_NEAR(four, two, 0.01f);
    EXPECT_GT(two, 0.3f);  // 5^2 / (2 * 2 * 9.8) = 0.64
    EXPECT_LT(two, 1.0f);
    EXPECT_GT(half, 2.0f * two);  // 2.55
}

int liveBlocks = 0;
void* CountingAlloc(int size)
{
    ++liveBlocks;
    return std::malloc(static_cast<size_t>(size));
}
void CountingFree(void* p, int)
{
    --liveBlocks;
    std::free(p);
}

TEST(NewtonWorldLifetime, DestroyReturnsEveryBlockToTheAllocationPair)
{
    NewtonWorld* w = NewtonCreate(CountingAlloc, CountingFree);
    NewtonCollision* box = NewtonCreateBox(w, 1, 1, 1, nullptr);
    NewtonBody* a = NewtonCreateBody(w, box);
    NewtonCreateBody(w, box);
    NewtonCreateBody(w, NewtonCreateSphere(w, 1, 1, 1, nullptr));
    EXPECT_GE(liveBlocks, 6);
    NewtonDestroyBody(w, a);
    NewtonDestroyBody(w, a);  // a second time is ignored
    NewtonUpdate(w, 1.0f / 60.0f);
    NewtonDestroy(w);
    EXPECT_EQ(liveBlocks, 0);
}

TEST(NewtonBadArguments, NullHandlesAndDegenerateShapesAreRefused)
{
    NewtonWorld* w = NewtonCreate(nullptr, nullptr);
    EXPECT_EQ(NewtonCreateBox(w, 0, 1, 1, nullptr), nullptr);
    EXPECT_EQ(NewtonCreateSphere(w, 1, -1, 1, nullptr), nullptr);
    EXPECT_EQ(NewtonCreateBody(w, nullptr), nullptr);
    NewtonBodySetMatrix(nullptr, kIdentity);
    NewtonDestroyBody(w, nullptr);
    NewtonUpdate(nullptr, 1.0f / 60.0f);
    NewtonUpdate(w, std::nanf(""));
    NewtonDestroy(w);
}

}  // namespace
