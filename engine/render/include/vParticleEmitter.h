// A fixed ring of point particles: spawned at the emitter, moved under a
// constant acceleration, faded out after their life time, drawn as textured
// point sprites. Times are GetTickCount milliseconds; the Update step is in
// the caller's time unit (the game passes the speed factor, in seconds).
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9math.h>

class vTexture;

struct vParticle {
    D3DXVECTOR3 m_position;
    D3DXVECTOR3 m_velocity;
    DWORD m_deathTime;  // tick count at which fading starts
    float m_fadeSpeed;  // fade lost per time unit while fading
    bool m_alive;
    bool m_fading;
    float m_fade;  // 1 at spawn; the alpha while fading
    D3DXCOLOR m_color;
};

// Vertex of one drawn particle (FVF XYZ | DIFFUSE, 16 bytes).
struct s_vParticleVertex {
    float x, y, z;
    DWORD color;
};

class vParticleEmitter {
public:
    vParticleEmitter();                               // empty: no pool, all zero
    ~vParticleEmitter();                              // frees the pool
    vParticleEmitter(const vParticleEmitter& other);  // copies the pool (its own slots)
    vParticleEmitter& operator=(const vParticleEmitter& other);

    // Allocates count slots (none alive) and sets the defaults: life 3000 ms,
    // no gravity, airbreak (1, 1, 1), size 1, playing and emitting. The texture
    // is borrowed. A pool held before is freed; count < 1 leaves no pool.
    void Init(int count, vTexture* texture, D3DXVECTOR3 position);
    // One particle now, into the next ring slot (the oldest is overwritten),
    // with velocity direction * speed. Works whether playing or not.
    void SpawnParticle(D3DXVECTOR3 direction, float speed, float fadeSpeed);
    // When playing and emitting: one particle (fade speed 1) if more than
    // interval ms have passed since the last automatic spawn.
    void AutoSpawn(DWORD interval, D3DXVECTOR3 direction, float speed);
    // When playing and emitting: count particles in random directions around
    // bias if more than interval ms have passed since the last automatic spawn.
    void RandomAutoSpawn(DWORD interval, int count, D3DXVECTOR3 bias, float speed, float fadeSpeed);
    // When playing: moves, ages and retires particles; stops emitting once the
    // emitter's end time has passed.
    void Update(float step);
    // Draws every live particle as a point sprite (playing or not); untextured without a texture.
    void Render();
    // Stops automatic spawning now; live particles play out.
    void StopKill();

    void SetEmitterPos(D3DXVECTOR3 position) { m_emitterPos = position; }
    void SetGravity(D3DXVECTOR3 gravity) { m_gravity = gravity; }
    // kept: "Airbreak", the published spelling.
    void SetAirbreak(D3DXVECTOR3 airbreak) { m_airbreak = airbreak; }
    void SetLifeTime(unsigned int ms) { m_lifeTime = ms; }
    void SetColorBegin(DWORD argb) { m_colorBegin = argb; }
    void SetPlaying(bool playing) { m_playing = playing; }
    void SetRandomColors(bool randomColors) { m_randomColors = randomColors; }
    void SetParticleSize(float size) { m_particleSize = size; }
    // Emitting again, until ms from now.
    void SetEmitterLifeTime(unsigned int ms);

    // Settings and state, written directly by the game as well as by the setters.
    vParticle* m_particles;    // m_maxParticle + 1 slots, owned
    int m_numAlive;            // live particles counted by the last Update
    int m_nextParticle;        // slot the next spawn overwrites
    int m_maxParticle;         // index of the last slot
    DWORD m_lifeTime;          // ms from spawn to the start of fading
    D3DXVECTOR3 m_airbreak;    // stored, not applied
    D3DXVECTOR3 m_gravity;     // acceleration per time unit
    D3DXVECTOR3 m_emitterPos;  // start point of new particles
    DWORD m_colorBegin;        // ARGB of new particles without random colours
    DWORD m_emitterEndTime;    // tick count after which emitting stops; 0 never
    float m_particleSize;      // point-sprite size
    bool m_randomColors;
    vTexture* m_texture;  // sprite texture, borrowed
    DWORD m_lastSpawn;    // tick count of the last automatic spawn
    bool m_playing;
    bool m_emitting;

private:
    void CopyFrom(const vParticleEmitter& other);
};
