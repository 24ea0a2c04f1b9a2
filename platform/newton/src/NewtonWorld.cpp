// The world: one Bullet dynamics world without gravity, stepped in equal
// sub-steps of at most 1/60 s per NewtonUpdate.
//
// Tuning. Newton gave every body a little damping and let a sphere slow
// down by itself; Bullet's sphere rolls forever on a flat box. The layer
// therefore adds, for every body and contact:
//   - linear and angular damping of 0.1 per second (Newton's 0.1, applied
//     per second instead of per step), and
//   - rolling friction of 0.2 at every contact.
// With the game's ball (mass 10, radius 1, steering torque 70 cut off at
// omega^2 >= 50) this reaches the top speed of about 7 units/s within about
// 1.5 s at 60 steps per second and, released, comes to rest within a few
// seconds. The figures are pinned by the game's physics tests.
#include "NewtonTypes.h"

#include <BulletCollision/CollisionDispatch/btManifoldResult.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>

using namespace newton_detail;

namespace {

void* DefaultAlloc(int size)
{
    return std::malloc(static_cast<size_t>(size));
}
void DefaultFree(void* p, int)
{
    std::free(p);
}

const Material* MaterialOf(const btCollisionObject* a)
{
    auto* body = static_cast<const NewtonBody*>(a->getUserPointer());
    return body ? &body->world->material : nullptr;
}

// Contact values come from the material pair of the two bodies; every body
// is in the default group, so that is the world's default pair.
btScalar CombinedFriction(const btCollisionObject* a, const btCollisionObject* b)
{
    const Material* m = MaterialOf(a);
    if (!m) m = MaterialOf(b);
    return m ? m->staticFriction : a->getFriction() * b->getFriction();
}

btScalar CombinedRestitution(const btCollisionObject* a, const btCollisionObject* b)
{
    const Material* m = MaterialOf(a);
    if (!m) m = MaterialOf(b);
    return m ? m->elasticity : a->getRestitution() * b->getRestitution();
}

btScalar CombinedRollingFriction(const btCollisionObject*, const btCollisionObject*)
{
    return Tuning::kRollingFriction;
}

btScalar NoSpinningFriction(const btCollisionObject*, const btCollisionObject*)
{
    return 0;
}

struct MaterialFilter : btOverlapFilterCallback {
    explicit MaterialFilter(NewtonWorld* w) : world(w) {}
    bool needBroadphaseCollision(btBroadphaseProxy* p0, btBroadphaseProxy* p1) const override
    {
        bool groups = (p0->m_collisionFilterGroup & p1->m_collisionFilterMask) != 0 &&
                      (p1->m_collisionFilterGroup & p0->m_collisionFilterMask) != 0;
        return groups && world->material.collidable;
    }
    NewtonWorld* world;
};

// Bodies whose bounds left the world box stop where they are.
void FreezeEscapedBodies(NewtonWorld* world)
{
    for (NewtonBody* body : world->bodies) {
        if (!body->dynamic || body->frozen || InsideWorldBox(body)) continue;
        body->rigid->setLinearVelocity(btVector3(0, 0, 0));
        body->rigid->setAngularVelocity(btVector3(0, 0, 0));
        body->frozen = true;
        SyncMembership(body);
    }
}

// One simulation step: every moving body's callback, then its force and
// torque applied for dt seconds.
void SubStep(NewtonWorld* w, float dt)
{
    // Callbacks may add or remove bodies; walk a copy.
    std::vector<NewtonBody*> moving;
    for (NewtonBody* body : w->bodies)
        if (body->dynamic && !body->frozen) moving.push_back(body);
    for (NewtonBody* body : moving) {
        // Skip a body that an earlier callback destroyed.
        if (std::find(w->bodies.begin(), w->bodies.end(), body) == w->bodies.end()) continue;
        body->force.setZero();
        body->torque.setZero();
        if (body->callback) body->callback(body);
    }
    for (NewtonBody* body : w->bodies) {
        if (!body->dynamic || body->frozen) continue;
        btRigidBody* rb = body->rigid.get();
        rb->clearForces();
        rb->applyCentralForce(body->force);
        rb->applyTorque(body->torque);
        if (!body->force.isZero() || !body->torque.isZero()) rb->activate(true);
    }
    w->dynamics->stepSimulation(dt, 0);
    FreezeEscapedBodies(w);
}

}  // namespace

namespace newton_detail {

bool InsideWorldBox(const NewtonBody* body)
{
    btVector3 lo, hi;
    body->collision->shape->getAabb(body->rigid->getWorldTransform(), lo, hi);
    const NewtonWorld* w = body->world;
    for (int i = 0; i < 3; ++i)
        if (lo[i] < w->boxMin[i] || hi[i] > w->boxMax[i]) return false;
    return true;
}

void SyncMembership(NewtonBody* body)
{
    bool wanted = !body->frozen;
    if (wanted == body->inWorld) return;
    if (wanted)
        body->world->dynamics->addRigidBody(body->rigid.get());
    else
        body->world->dynamics->removeRigidBody(body->rigid.get());
    body->inWorld = wanted;
}

}  // namespace newton_detail

extern "C" {

NewtonWorld* NewtonCreate(NewtonAllocMemory malloc, NewtonFreeMemory mfree)
{
    NewtonAllocMemory alloc = malloc ? malloc : DefaultAlloc;
    NewtonFreeMemory release = mfree ? mfree : DefaultFree;
    void* block = alloc(static_cast<int>(sizeof(NewtonWorld)));
    if (!block) return nullptr;
    auto* w = new (block) NewtonWorld();
    w->alloc = alloc;
    w->release = release;

    w->config = std::make_unique<btDefaultCollisionConfiguration>();
    w->dispatcher = std::make_unique<btCollisionDispatcher>(w->config.get());
    w->broadphase = std::make_unique<btDbvtBroadphase>();
    w->solver = std::make_unique<btSequentialImpulseConstraintSolver>();
    w->dynamics = std::make_unique<btDiscreteDynamicsWorld>(w->dispatcher.get(), w->broadphase.get(), w->solver.get(),
                                                            w->config.get());
    w->dynamics->setGravity(btVector3(0, 0, 0));
    w->filter = std::make_unique<MaterialFilter>(w);
    w->dynamics->getPairCache()->setOverlapFilterCallback(w->filter.get());

    // Bullet looks these up per contact point; they read the world of the
    // bodies in contact, so several worlds can live side by side.
    gCalculateCombinedFrictionCallback = CombinedFriction;
    gCalculateCombinedRestitutionCallback = CombinedRestitution;
    gCalculateCombinedRollingFrictionCallback = CombinedRollingFriction;
    gCalculateCombinedSpinningFrictionCallback = NoSpinningFriction;
    return w;
}

void NewtonDestroy(const NewtonWorld* newtonWorld)
{
    NewtonWorld* w = Mutable(newtonWorld);
    if (!w) return;
    while (!w->bodies.empty()) NewtonDestroyBody(w, w->bodies.back());
    for (NewtonCollision* c : w->collisions) DeleteRecord(w, c);
    w->collisions.clear();
    w->dynamics.reset();
    NewtonFreeMemory release = w->release;
    w->~NewtonWorld();
    release(w, static_cast<int>(sizeof(NewtonWorld)));
}

void NewtonSetWorldSize(const NewtonWorld* newtonWorld, const dFloat* minPoint, const dFloat* maxPoint)
{
    NewtonWorld* w = Mutable(newtonWorld);
    if (!w || !minPoint || !maxPoint) return;
    for (int i = 0; i < 3; ++i) {
        w->boxMin[i] = std::min(minPoint[i], maxPoint[i]);
        w->boxMax[i] = std::max(minPoint[i], maxPoint[i]);
    }
}

void NewtonSetFrictionModel(const NewtonWorld* newtonWorld, int model)
{
    if (newtonWorld) Mutable(newtonWorld)->frictionModel = model;
}

void NewtonUpdate(const NewtonWorld* newtonWorld, dFloat timestep)
{
    NewtonWorld* w = Mutable(newtonWorld);
    if (!w) return;
    float total = Clamp(timestep == timestep ? timestep : 0.0f, Tuning::kMinStep, Tuning::kMaxUpdate);
    // The fewest equal sub-steps of at most kMaxStep; the small allowance keeps
    // an update of exactly 1/60 s (or 2/60 s, read from a clock) from taking one more.
    int steps = static_cast<int>(std::ceil(total / Tuning::kMaxStep - 1e-3f));
    steps = std::max(steps, 1);
    float dt = total / static_cast<float>(steps);
    for (int i = 0; i < steps; ++i) SubStep(w, dt);
}

}  // extern "C"
