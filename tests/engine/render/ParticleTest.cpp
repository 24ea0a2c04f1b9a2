// The particle emitter on the window layer's virtual clock: the ring pool,
// spawning rules, ageing and fading, freezing, and point sprites on screen.
#include <EngineFixture.h>

#include "vParticleEmitter.h"
#include "vTexture.h"

namespace {

using rendertest::EngineFixture;

const D3DXVECTOR3 kUp(0.0f, 1.0f, 0.0f);
const D3DXVECTOR3 kOrigin(0.0f, 0.0f, 0.0f);

class ParticleClock : public ::testing::Test {
protected:
    void SetUp() override
    {
        win32test::UseVirtualClock(true);
        win32test::SetVirtualTimeMs(100000);
    }
    void TearDown() override { win32test::UseVirtualClock(false); }
    void Advance(double ms) { win32test::AdvanceVirtualTimeMs(ms); }
};

TEST_F(ParticleClock, InitSetsTheDefaults)
{
    vParticleEmitter emitter;
    EXPECT_EQ(emitter.m_particles, nullptr);
    EXPECT_FALSE(emitter.m_playing);
    emitter.SetColorBegin(0x12345678);
    emitter.Init(100, nullptr, D3DXVECTOR3(1, 2, 3));
    ASSERT_NE(emitter.m_particles, nullptr);
    EXPECT_EQ(emitter.m_maxParticle, 99);
    EXPECT_EQ(emitter.m_lifeTime, 3000u);
    EXPECT_EQ(emitter.m_emitterPos, D3DXVECTOR3(1, 2, 3));
    EXPECT_EQ(emitter.m_airbreak, D3DXVECTOR3(1, 1, 1));
    EXPECT_EQ(emitter.m_gravity, D3DXVECTOR3(0, 0, 0));
    EXPECT_FLOAT_EQ(emitter.m_particleSize, 1.0f);
    EXPECT_TRUE(emitter.m_playing);
    EXPECT_TRUE(emitter.m_emitting);
    EXPECT_EQ(emitter.m_colorBegin, 0x12345678u);  // not touched by Init
    for (int i = 0; i < 100; ++i) EXPECT_FALSE(emitter.m_particles[i].m_alive);
}

TEST_F(ParticleClock, TheHundredAndFirstSpawnReusesSlotZero)
{
    vParticleEmitter emitter;
    emitter.Init(100, nullptr, kOrigin);
    for (int i = 0; i < 100; ++i) emitter.SpawnParticle(kUp, 1.0f, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 0);
    emitter.Update(0.01f);
    EXPECT_EQ(emitter.m_numAlive, 100);

    emitter.SetEmitterPos(D3DXVECTOR3(5, 0, 0));
    emitter.SpawnParticle(D3DXVECTOR3(0, 0, 2), 3.0f, 1.0f);
    EXPECT_EQ(emitter.m_particles[0].m_position, D3DXVECTOR3(5, 0, 0));
    EXPECT_EQ(emitter.m_particles[0].m_velocity, D3DXVECTOR3(0, 0, 6));  // not normalised
    EXPECT_EQ(emitter.m_particles[1].m_velocity, D3DXVECTOR3(0, 1, 0));
    EXPECT_EQ(emitter.m_nextParticle, 1);

    // A pool of one: every spawn lands in slot 0, which is updated.
    vParticleEmitter single;
    single.Init(1, nullptr, kOrigin);
    single.SpawnParticle(kUp, 1.0f, 1.0f);
    single.SpawnParticle(kUp, 2.0f, 1.0f);
    EXPECT_EQ(single.m_nextParticle, 0);
    EXPECT_EQ(single.m_particles[0].m_velocity, D3DXVECTOR3(0, 2, 0));
    single.Update(0.5f);
    EXPECT_EQ(single.m_numAlive, 1);
    EXPECT_FLOAT_EQ(single.m_particles[0].m_position.y, 1.0f);
}

TEST_F(ParticleClock, FullAlphaUntilTheLifeTimeThenFadesOverOneTimeUnit)
{
    vParticleEmitter emitter;
    emitter.Init(100, nullptr, kOrigin);
    emitter.SetLifeTime(300);
    emitter.SetColorBegin(0xFFCCCC00);
    emitter.SpawnParticle(kUp, 1.0f, 1.0f);
    const vParticle& p = emitter.m_particles[0];
    EXPECT_FLOAT_EQ(p.m_color.r, 0.8f);
    EXPECT_FLOAT_EQ(p.m_color.g, 0.8f);
    EXPECT_FLOAT_EQ(p.m_color.b, 0.0f);
    EXPECT_FLOAT_EQ(p.m_color.a, 1.0f);

    // Frames of 0.05 time units every 10 ms up to the death time: no fading.
    for (int t = 0; t < 30; ++t) {
        Advance(10);
        emitter.Update(0.05f);
    }
    EXPECT_TRUE(p.m_alive);
    EXPECT_FALSE(p.m_fading);
    EXPECT_FLOAT_EQ(p.m_color.a, 1.0f);
    EXPECT_FLOAT_EQ(p.m_fade, 1.0f);

    // Past it: the alpha falls by the step times the fade speed each frame.
    Advance(1);
    emitter.Update(0.25f);
    EXPECT_TRUE(p.m_fading);
    EXPECT_FLOAT_EQ(p.m_color.a, 0.75f);
    emitter.Update(0.25f);
    emitter.Update(0.25f);
    EXPECT_TRUE(p.m_alive);
    EXPECT_FLOAT_EQ(p.m_color.a, 0.25f);
    EXPECT_EQ(emitter.m_numAlive, 1);
    emitter.Update(0.25f);  // exactly 0: retired
    EXPECT_FALSE(p.m_alive);
    EXPECT_FALSE(p.m_fading);
    EXPECT_EQ(emitter.m_numAlive, 0);
}

TEST_F(ParticleClock, GravityIntegratesVelocityThenPosition)
{
    vParticleEmitter emitter;
    emitter.Init(4, nullptr, kOrigin);
    emitter.SetGravity(D3DXVECTOR3(0, 9.81f, 0));
    emitter.SetAirbreak(D3DXVECTOR3(0, 0, 0));  // stored only
    emitter.SpawnParticle(D3DXVECTOR3(1, 0, 0), 2.0f, 1.0f);
    emitter.Update(0.5f);
    const vParticle& p = emitter.m_particles[0];
    EXPECT_FLOAT_EQ(p.m_velocity.y, 4.905f);
    EXPECT_FLOAT_EQ(p.m_position.y, 2.4525f);
    EXPECT_FLOAT_EQ(p.m_position.x, 1.0f);
}

TEST_F(ParticleClock, AutomaticSpawnsWaitStrictlyLongerThanTheInterval)
{
    vParticleEmitter emitter;
    emitter.Init(100, nullptr, kOrigin);
    emitter.RandomAutoSpawn(20, 10, D3DXVECTOR3(0, 3, 0), 6.0f, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 10);
    Advance(20);
    emitter.RandomAutoSpawn(20, 10, D3DXVECTOR3(0, 3, 0), 6.0f, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 10);  // exactly 20 ms: not yet
    Advance(1);
    emitter.RandomAutoSpawn(20, 10, D3DXVECTOR3(0, 3, 0), 6.0f, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 20);

    // Directions lie within asin(1/3) of the bias, at the given speed.
    const float limit = std::cos(std::asin(1.0f / 3.0f)) - 1e-4f;
    for (int i = 0; i < 20; ++i) {
        const D3DXVECTOR3& v = emitter.m_particles[i].m_velocity;
        EXPECT_NEAR(D3DXVec3Length(&v), 6.0f, 1e-3f);
        EXPECT_GE(v.y / 6.0f, limit);
    }

    // AutoSpawn follows the same clock, with fade speed 1.
    Advance(21);
    emitter.AutoSpawn(20, kUp, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 21);
    EXPECT_FLOAT_EQ(emitter.m_particles[20].m_fadeSpeed, 1.0f);
    emitter.AutoSpawn(20, kUp, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 21);
}

TEST_F(ParticleClock, FrozenEmittersNeitherMoveNorAgeNorAutoSpawn)
{
    vParticleEmitter emitter;
    emitter.Init(10, nullptr, kOrigin);
    emitter.SetLifeTime(10);
    emitter.SetEmitterLifeTime(50);
    emitter.SpawnParticle(kUp, 1.0f, 1.0f);
    emitter.SetPlaying(false);
    Advance(100);
    emitter.Update(1.0f);
    EXPECT_EQ(emitter.m_particles[0].m_position, kOrigin);
    EXPECT_TRUE(emitter.m_particles[0].m_alive);
    EXPECT_TRUE(emitter.m_emitting);  // end time passed, but not checked while frozen
    emitter.RandomAutoSpawn(0, 5, kUp, 1.0f, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 1);
    emitter.SpawnParticle(kUp, 1.0f, 1.0f);  // still works
    EXPECT_EQ(emitter.m_nextParticle, 2);

    // Playing again: the end time stops emitting; SetEmitterLifeTime restarts it.
    emitter.SetPlaying(true);
    emitter.Update(0.01f);
    EXPECT_FALSE(emitter.m_emitting);
    emitter.RandomAutoSpawn(0, 5, kUp, 1.0f, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 2);
    emitter.SetEmitterLifeTime(300);
    EXPECT_TRUE(emitter.m_emitting);
    Advance(1);
    emitter.RandomAutoSpawn(0, 5, kUp, 1.0f, 1.0f);
    EXPECT_EQ(emitter.m_nextParticle, 7);

    emitter.StopKill();
    EXPECT_FALSE(emitter.m_emitting);
}

TEST_F(ParticleClock, CopiesOwnTheirPools)
{
    vParticleEmitter a;
    a.Init(3, nullptr, kOrigin);
    a.SpawnParticle(kUp, 1.0f, 1.0f);
    vParticleEmitter b(a);
    ASSERT_NE(b.m_particles, a.m_particles);
    b.Update(1.0f);
    EXPECT_FLOAT_EQ(b.m_particles[0].m_position.y, 1.0f);
    EXPECT_FLOAT_EQ(a.m_particles[0].m_position.y, 0.0f);
    vParticleEmitter c;
    c = b;
    c = c;
    EXPECT_FLOAT_EQ(c.m_particles[0].m_position.y, 1.0f);
    // Init again replaces the pool without leaking it.
    c.Init(5, nullptr, kOrigin);
    EXPECT_EQ(c.m_maxParticle, 4);
    EXPECT_FALSE(c.m_particles[0].m_alive);
}

class ParticleRenderTest : public EngineFixture {};

TEST_F(ParticleRenderTest, OnePointSpritePerLiveParticleFadedOnesVanish)
{
    win32test::UseVirtualClock(true);
    win32test::SetVirtualTimeMs(50000);
    ASSERT_TRUE(rendertest::WriteSolidTga(temp.File("spark.tga"), 8, 8, 0xFFFFFFFF));
    vTexture spark;
    ASSERT_EQ(spark.LoadTextureFromFile(temp.File("spark.tga").c_str(), 0, 1), S_OK);

    D3DXMATRIX view;
    D3DXMatrixIdentity(&view);
    objDevice->SetTransform(D3DTS_VIEW, &view);

    vParticleEmitter emitter;
    emitter.Init(10, &spark, D3DXVECTOR3(0, 0, 10));
    emitter.SetColorBegin(0xFFFF0000);
    emitter.SetParticleSize(0.2f);
    emitter.SetLifeTime(0);
    emitter.SpawnParticle(kOrigin, 0.0f, 1.0f);
    emitter.SetEmitterPos(D3DXVECTOR3(3, 0, 10));
    emitter.SpawnParticle(kOrigin, 0.0f, 1.0f);

    BeginFrame();
    emitter.Render();
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 2u);
    rendertest::Image image = rendertest::ReadRenderTarget();
    ASSERT_FALSE(image.Empty());
    EXPECT_EQ(image.At(512, 384), 0xFF0000u);  // the first, at the centre
    rendertest::Extent e = rendertest::FindColor(image, 0xFF0000, 8);
    EXPECT_GT(e.right, 600);          // the second, to its right
    EXPECT_LT(e.bottom - e.top, 40);  // size 0.2 at distance 10: a small sprite

    DWORD value = 0;
    objDevice->GetRenderState(D3DRS_POINTSPRITEENABLE, &value);
    EXPECT_EQ(value, (DWORD)FALSE);
    objDevice->GetRenderState(D3DRS_ZWRITEENABLE, &value);
    EXPECT_EQ(value, (DWORD)TRUE);
    objDevice->GetRenderState(D3DRS_ALPHATESTENABLE, &value);
    EXPECT_EQ(value, (DWORD)TRUE);  // left on for the next drawer
    objDevice->GetRenderState(D3DRS_ALPHATESTENABLE, &value);
    objDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);

    // Faded to nearly nothing: the alpha test drops them though they are still alive.
    win32test::AdvanceVirtualTimeMs(5);
    emitter.Update(0.999f);
    ASSERT_EQ(emitter.m_numAlive, 2);
    BeginFrame();
    emitter.Render();
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 2u);
    image = rendertest::ReadRenderTarget();
    EXPECT_EQ(rendertest::FindColor(image, 0xFF0000, 200).count, 0);
    objDevice->SetRenderState(D3DRS_ALPHATESTENABLE, FALSE);

    // Retired: nothing drawn.
    emitter.Update(0.5f);
    BeginFrame();
    emitter.Render();
    EXPECT_EQ(rendertest::CurrentStats().drawCalls, 0u);
}

}  // namespace
