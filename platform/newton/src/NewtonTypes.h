// The records behind the Newton handles, shared by the layer's sources.
#pragma once

#include "Newton.h"

#include <btBulletDynamicsCommon.h>

#include <memory>
#include <vector>

namespace newton_detail {

// Values the layer picks where the Newton calls leave them to the engine.
// They shape how the ball rolls: see Tuning in NewtonWorld.cpp.
struct Tuning {
    static constexpr float kMinStep = 1.0f / 1000.0f;
    static constexpr float kMaxStep = 1.0f / 60.0f;  // longest sub-step of one update
    static constexpr float kMaxUpdate = 0.5f;        // longer updates (a stalled frame) simulate this much
    static constexpr float kLinearDamping = 0.1f;    // fraction of velocity lost per second
    static constexpr float kAngularDamping = 0.1f;
    static constexpr float kRollingFriction = 0.2f;  // resisting torque per unit of contact force
    static constexpr float kMinStaticMass = 0.001f;
    static constexpr float kMinInertia = 0.001f;  // times the mass
    static constexpr float kMaxInertia = 100.0f;
};

struct Material {
    float softness = 0.1f;
    float elasticity = 0.4f;
    bool collidable = true;
    float staticFriction = 0.9f;
    float kineticFriction = 0.5f;
};

}  // namespace newton_detail

struct NewtonCollision {
    NewtonWorld* world = nullptr;
    int refCount = 1;                         // the creator's reference plus one per body
    std::unique_ptr<btCollisionShape> shape;  // what bodies use (compound when offset)
    std::unique_ptr<btCollisionShape> child;  // the plain shape under an offset
};

struct NewtonBody {
    NewtonWorld* world = nullptr;
    NewtonCollision* collision = nullptr;
    std::unique_ptr<btRigidBody> rigid;
    float mass = 0.0f, ixx = 0.0f, iyy = 0.0f, izz = 0.0f;  // as given
    NewtonApplyForceAndTorque callback = nullptr;
    void* userData = nullptr;
    btVector3 force{0, 0, 0};
    btVector3 torque{0, 0, 0};
    bool dynamic = false;  // mass set at or above the static limit
    bool frozen = false;   // left the world box; out of the Bullet world
    bool inWorld = false;  // currently added to the Bullet world
};

struct NewtonWorld {
    NewtonAllocMemory alloc = nullptr;
    NewtonFreeMemory release = nullptr;

    std::unique_ptr<btDefaultCollisionConfiguration> config;
    std::unique_ptr<btCollisionDispatcher> dispatcher;
    std::unique_ptr<btBroadphaseInterface> broadphase;
    std::unique_ptr<btSequentialImpulseConstraintSolver> solver;
    std::unique_ptr<btOverlapFilterCallback> filter;
    std::unique_ptr<btDiscreteDynamicsWorld> dynamics;

    btVector3 boxMin{-100, -100, -100};
    btVector3 boxMax{100, 100, 100};
    int frictionModel = 0;
    newton_detail::Material material;

    std::vector<NewtonBody*> bodies;
    std::vector<NewtonCollision*> collisions;
};

namespace newton_detail {

// Handle records live in memory from the world's allocation pair.
template <typename T>
T* NewRecord(NewtonWorld* world)
{
    void* block = world->alloc(static_cast<int>(sizeof(T)));
    return block ? new (block) T() : nullptr;
}

template <typename T>
void DeleteRecord(NewtonWorld* world, T* record)
{
    record->~T();
    world->release(record, static_cast<int>(sizeof(T)));
}

inline NewtonWorld* Mutable(const NewtonWorld* w)
{
    return const_cast<NewtonWorld*>(w);
}
inline NewtonBody* Mutable(const NewtonBody* b)
{
    return const_cast<NewtonBody*>(b);
}
inline NewtonCollision* Mutable(const NewtonCollision* c)
{
    return const_cast<NewtonCollision*>(c);
}

inline float Clamp(float v, float lo, float hi)
{
    return v < lo ? lo : (v > hi ? hi : v);
}

// D3DX row-vector matrices have the same element order as Bullet's
// column-major OpenGL form: axes in 0-2, 4-6, 8-10, position in 12-14.
inline btTransform ToTransform(const dFloat* m)
{
    btTransform t;
    t.setFromOpenGLMatrix(m);
    return t;
}

// Adds or removes the body's rigid body so the Bullet world holds exactly
// the bodies that are not frozen.
void SyncMembership(NewtonBody* body);
bool InsideWorldBox(const NewtonBody* body);
void ReleaseCollisionRef(NewtonWorld* world, NewtonCollision* collision);

}  // namespace newton_detail
