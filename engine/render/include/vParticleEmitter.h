// A fixed ring of point particles: spawned at the emitter, moved under a
// constant acceleration, faded out after their life time, drawn as textured
// point sprites. Times are GetTickCount milliseconds; the Update step is in
// the caller's time unit (the game passes the speed factor, in seconds).
#pragma once

#include <windows.h>
#include <d3d9.h>
#include <d3dx9math.h>

class vTexture;

// One particle of an emitter's pool.
struct vParticle {
    D3DXVECTOR3 m_position;  // world position
    D3DXVECTOR3 m_velocity;  // world units per time unit
    DWORD m_deathTime;       // tick count at which fading starts
    float m_fadeSpeed;       // fade lost per time unit while fading
    bool m_alive;            // drawn and moved
    bool m_fading;           // past its life time, fading out
    float m_fade;            // 1 at spawn; the alpha while fading
    D3DXCOLOR m_color;       // colour at spawn
};

// Vertex of one drawn particle (FVF XYZ | DIFFUSE, 16 bytes).
struct s_vParticleVertex {
    float x, y, z;  // world position
    DWORD color;    // ARGB
};

class vParticleEmitter {
public:
    vParticleEmitter();                                          // empty: no pool, all zero
    ~vParticleEmitter();                                         // frees the pool
    vParticleEmitter(const vParticleEmitter& other);             // copies the pool (its own slots)
    vParticleEmitter& operator=(const vParticleEmitter& other);  // frees our pool, copies other's

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

    void SetEmitterPos(D3DXVECTOR3 position) { m_emitterPos = position; }  // where new particles start
    void SetGravity(D3DXVECTOR3 gravity) { m_gravity = gravity; }          // added to each velocity per time unit
    // kept: "Airbreak", the published spelling.
    void SetAirbreak(D3DXVECTOR3 airbreak) { m_airbreak = airbreak; }
    void SetLifeTime(unsigned int ms) { m_lifeTime = ms; }   // how long a new particle lives before it fades
    void SetColorBegin(DWORD argb) { m_colorBegin = argb; }  // ARGB of new particles
    void SetPlaying(bool playing)
    {
        m_playing = playing;
    }  // Update moves particles and the auto spawns spawn only while playing
    void SetRandomColors(bool randomColors) { m_randomColors = randomColors; }  // new particles take random colours
    void SetParticleSize(float size) { m_particleSize = size; }                 // point-sprite size
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
    bool m_randomColors;       // new particles take random colours
    vTexture* m_texture;       // sprite texture, borrowed
    DWORD m_lastSpawn;         // tick count of the last automatic spawn
    bool m_playing;            // see SetPlaying
    bool m_emitting;           // the auto spawns spawn (until the emitter's life time ends)

private:
    void CopyFrom(const vParticleEmitter& other);
};
