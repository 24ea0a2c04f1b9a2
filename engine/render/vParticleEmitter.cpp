#include "vParticleEmitter.h"

#include <algorithm>
#include <cstring>

#include <d3dx9.h>

#include "vEngine.h"
#include "vMathUtils.h"
#include "vTexture.h"

namespace {

// The float nearest 1/255 (bits 0x3B808081).
const float kByteToUnit = 0.003921569f;

DWORD FloatBits(float value)
{
    DWORD bits;
    std::memcpy(&bits, &value, sizeof(bits));
    return bits;
}

}  // namespace

vParticleEmitter::vParticleEmitter()
    : m_particles(nullptr), m_numAlive(0), m_nextParticle(0), m_maxParticle(0), m_lifeTime(0),
      m_airbreak(0.0f, 0.0f, 0.0f), m_gravity(0.0f, 0.0f, 0.0f), m_emitterPos(0.0f, 0.0f, 0.0f), m_colorBegin(0),
      m_emitterEndTime(0), m_particleSize(0.0f), m_randomColors(false), m_texture(nullptr), m_lastSpawn(0),
      m_playing(false), m_emitting(false)
{
}

vParticleEmitter::~vParticleEmitter()
{
    m_texture = nullptr;
    delete[] m_particles;
    m_particles = nullptr;
}

vParticleEmitter::vParticleEmitter(const vParticleEmitter& other) : m_particles(nullptr)
{
    CopyFrom(other);
}

vParticleEmitter& vParticleEmitter::operator=(const vParticleEmitter& other)
{
    if (this != &other) CopyFrom(other);
    return *this;
}

void vParticleEmitter::CopyFrom(const vParticleEmitter& other)
{
    // The pool is plain memory, not a device object: a copy gets its own
    // slots so the two emitters never free or age each other's particles.
    vParticle* pool = nullptr;
    if (other.m_particles) {
        pool = new vParticle[other.m_maxParticle + 1];
        std::copy(other.m_particles, other.m_particles + other.m_maxParticle + 1, pool);
    }
    delete[] m_particles;
    m_particles = pool;
    m_numAlive = other.m_numAlive;
    m_nextParticle = other.m_nextParticle;
    m_maxParticle = other.m_maxParticle;
    m_lifeTime = other.m_lifeTime;
    m_airbreak = other.m_airbreak;
    m_gravity = other.m_gravity;
    m_emitterPos = other.m_emitterPos;
    m_colorBegin = other.m_colorBegin;
    m_emitterEndTime = other.m_emitterEndTime;
    m_particleSize = other.m_particleSize;
    m_randomColors = other.m_randomColors;
    m_texture = other.m_texture;
    m_lastSpawn = other.m_lastSpawn;
    m_playing = other.m_playing;
    m_emitting = other.m_emitting;
}

void vParticleEmitter::Init(int count, vTexture* texture, D3DXVECTOR3 position)
{
    delete[] m_particles;
    m_particles = nullptr;
    if (count >= 1) {
        m_particles = new vParticle[count]();  // zeroed: no slot alive
    }
    m_texture = texture;
    m_lifeTime = 3000;
    m_maxParticle = count >= 1 ? count - 1 : 0;
    m_numAlive = 0;
    m_nextParticle = 0;
    m_airbreak = ev_vectorOne;
    m_gravity = ev_vectorZero;
    m_emitterPos = position;
    m_playing = true;
    m_emitting = true;
    m_particleSize = 1.0f;
    m_emitterEndTime = 0;
    m_randomColors = false;
}

void vParticleEmitter::SpawnParticle(D3DXVECTOR3 direction, float speed, float fadeSpeed)
{
    if (!m_particles) return;
    if (m_nextParticle < 0 || m_nextParticle > m_maxParticle)  // written from outside
        m_nextParticle = 0;
    vParticle& p = m_particles[m_nextParticle];
    p.m_position = m_emitterPos;
    p.m_velocity = D3DXVECTOR3(direction.x * speed, direction.y * speed, direction.z * speed);
    p.m_fadeSpeed = fadeSpeed;
    p.m_deathTime = GetTickCount() + m_lifeTime;
    p.m_alive = true;
    p.m_fading = false;
    p.m_fade = 1.0f;
    if (m_randomColors) {
        p.m_color.r = RndNumber(0.0f, 1.0f);
        p.m_color.g = RndNumber(0.0f, 1.0f);
        p.m_color.b = RndNumber(0.0f, 1.0f);
        p.m_color.a = 1.0f;
    } else {
        p.m_color.r = (float)((m_colorBegin >> 16) & 0xFF) * kByteToUnit;
        p.m_color.g = (float)((m_colorBegin >> 8) & 0xFF) * kByteToUnit;
        p.m_color.b = (float)(m_colorBegin & 0xFF) * kByteToUnit;
        p.m_color.a = (float)((m_colorBegin >> 24) & 0xFF) * kByteToUnit;
    }
    m_nextParticle += 1;
    if (m_nextParticle > m_maxParticle) m_nextParticle = 0;
}

void vParticleEmitter::AutoSpawn(DWORD interval, D3DXVECTOR3 direction, float speed)
{
    if (!m_playing || !m_emitting) return;
    const DWORD now = GetTickCount();
    if (now > m_lastSpawn + interval) {
        SpawnParticle(direction, speed, 1.0f);
        m_lastSpawn = now;
    }
}

void vParticleEmitter::RandomAutoSpawn(DWORD interval, int count, D3DXVECTOR3 bias, float speed, float fadeSpeed)
{
    if (!m_playing || !m_emitting) return;
    const DWORD now = GetTickCount();
    if (now > m_lastSpawn + interval) {
        for (int i = 0; i < count; ++i) {
            D3DXVECTOR3 random = GetRandomVector();
            D3DXVECTOR3 sum = bias + random;
            D3DXVECTOR3 direction;
            D3DXVec3Normalize(&direction, &sum);
            SpawnParticle(direction, speed, fadeSpeed);
        }
        m_lastSpawn = now;
    }
}

void vParticleEmitter::Update(float step)
{
    if (!m_playing) return;
    const DWORD now = GetTickCount();
    if (m_emitterEndTime > 0 && now > m_emitterEndTime) m_emitting = false;
    m_numAlive = 0;
    if (!m_particles) return;
    for (int i = 0; i <= m_maxParticle; ++i) {
        vParticle& p = m_particles[i];
        if (!p.m_alive) continue;
        p.m_velocity.x += m_gravity.x * step;
        p.m_velocity.y += m_gravity.y * step;
        p.m_velocity.z += m_gravity.z * step;
        p.m_position.x += p.m_velocity.x * step;
        p.m_position.y += p.m_velocity.y * step;
        p.m_position.z += p.m_velocity.z * step;
        m_numAlive += 1;
        if (now > p.m_deathTime) {
            p.m_fading = true;
            p.m_fade -= step * p.m_fadeSpeed;
            p.m_color.a = p.m_fade;
            if (p.m_fade <= 0.0f) {
                m_numAlive -= 1;
                p.m_fading = false;
                p.m_alive = false;
            }
        }
    }
}

void vParticleEmitter::Render()
{
    if (!objDevice || !m_particles) return;
    objDevice->SetRenderState(D3DRS_POINTSPRITEENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_POINTSCALEENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_POINTSIZE, FloatBits(m_particleSize));
    objDevice->SetRenderState(D3DRS_POINTSIZE_MIN, FloatBits(1.0f));
    objDevice->SetRenderState(D3DRS_POINTSCALE_A, FloatBits(0.0f));
    objDevice->SetRenderState(D3DRS_POINTSCALE_B, FloatBits(0.0f));
    objDevice->SetRenderState(D3DRS_POINTSCALE_C, FloatBits(1.0f));

    objDevice->SetTransform(D3DTS_WORLD, &ev_matrixIdentity);

    objDevice->SetTextureStageState(0, D3DTSS_ALPHAOP, D3DTOP_MODULATE);
    objDevice->SetTextureStageState(0, D3DTSS_ALPHAARG1, D3DTA_DIFFUSE);
    objDevice->SetTextureStageState(0, D3DTSS_ALPHAARG2, D3DTA_TEXTURE);

    objDevice->SetRenderState(D3DRS_LIGHTING, FALSE);
    objDevice->SetRenderState(D3DRS_ALPHATESTENABLE, TRUE);
    objDevice->SetRenderState(D3DRS_ZWRITEENABLE, FALSE);
    objDevice->SetRenderState(D3DRS_ALPHAFUNC, D3DCMP_GREATER);
    objDevice->SetRenderState(D3DRS_ALPHAREF, 1);

    if (m_texture)
        m_texture->UseTexture(0);
    else
        objDevice->SetTexture(0, NULL);  // untextured points in their own colours
    objDevice->SetFVF(D3DFVF_XYZ | D3DFVF_DIFFUSE);

    for (int i = 0; i <= m_maxParticle; ++i) {
        const vParticle& p = m_particles[i];
        if (!p.m_alive) continue;
        s_vParticleVertex vertex = {p.m_position.x, p.m_position.y, p.m_position.z, static_cast<DWORD>(p.m_color)};
        objDevice->DrawPrimitiveUP(D3DPT_POINTLIST, 1, &vertex, sizeof(vertex));
    }

    objDevice->SetRenderState(D3DRS_POINTSPRITEENABLE, FALSE);
    objDevice->SetRenderState(D3DRS_POINTSCALEENABLE, FALSE);
    objDevice->SetRenderState(D3DRS_ZWRITEENABLE, TRUE);
}

void vParticleEmitter::StopKill()
{
    if (m_emitting) m_emitting = false;
}

void vParticleEmitter::SetEmitterLifeTime(unsigned int ms)
{
    m_emitting = true;
    m_emitterEndTime = GetTickCount() + ms;
}
