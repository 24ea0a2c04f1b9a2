// Bodies: one Bullet rigid body each. Static until a mass is set; moving
// bodies feel only the forces their callback sets for the step.
#include "NewtonTypes.h"

#include <algorithm>

using namespace newton_detail;

namespace {

btVector3 Vec(const dFloat* v)
{
    return btVector3(v[0], v[1], v[2]);
}

void Store(const btVector3& v, dFloat* out)
{
    out[0] = v.x();
    out[1] = v.y();
    out[2] = v.z();
}

// Applies the body's mass and clamped inertia to its rigid body, which has
// to leave the Bullet world while it changes between static and moving.
void ApplyMass(NewtonBody* b)
{
    btRigidBody* rb = b->rigid.get();
    bool wasIn = b->inWorld;
    if (wasIn) b->world->dynamics->removeRigidBody(rb);
    b->inWorld = false;

    b->dynamic = b->mass >= Tuning::kMinStaticMass;
    if (b->dynamic) {
        // Bullet's contact solver turns a near-zero inertia into wild spins
        // for one step at a time, so an axis given none takes the inertia of
        // the collision shape as a solid of this mass.
        btVector3 solid(0, 0, 0);
        b->collision->shape->calculateLocalInertia(b->mass, solid);
        float lo = Tuning::kMinInertia * b->mass, hi = Tuning::kMaxInertia * b->mass;
        auto pick = [&](float given, float own) { return Clamp(given > 0 ? given : own, lo, hi); };
        btVector3 inertia(pick(b->ixx, solid.x()), pick(b->iyy, solid.y()), pick(b->izz, solid.z()));
        rb->setMassProps(b->mass, inertia);
    } else {
        rb->setMassProps(0, btVector3(0, 0, 0));
        rb->setLinearVelocity(btVector3(0, 0, 0));
        rb->setAngularVelocity(btVector3(0, 0, 0));
        b->frozen = false;
    }
    rb->updateInertiaTensor();
    SyncMembership(b);
    rb->activate(true);
}

}  // namespace

extern "C" {

NewtonBody* NewtonCreateBody(const NewtonWorld* world, const NewtonCollision* collision)
{
    if (!world || !collision) return nullptr;
    NewtonWorld* w = Mutable(world);
    NewtonBody* b = NewRecord<NewtonBody>(w);
    if (!b) return nullptr;
    b->world = w;
    b->collision = Mutable(collision);
    b->collision->refCount++;

    btRigidBody::btRigidBodyConstructionInfo info(0, nullptr, b->collision->shape.get());
    info.m_linearDamping = Tuning::kLinearDamping;
    info.m_angularDamping = Tuning::kAngularDamping;
    b->rigid = std::make_unique<btRigidBody>(info);
    b->rigid->setUserPointer(b);
    w->dynamics->addRigidBody(b->rigid.get());
    b->inWorld = true;
    w->bodies.push_back(b);
    return b;
}

void NewtonDestroyBody(const NewtonWorld* world, const NewtonBody* body)
{
    if (!world || !body) return;
    NewtonWorld* w = Mutable(world);
    NewtonBody* b = Mutable(body);
    auto it = std::find(w->bodies.begin(), w->bodies.end(), b);
    if (it == w->bodies.end()) return;  // not ours, or destroyed already
    w->bodies.erase(it);
    if (b->inWorld) w->dynamics->removeRigidBody(b->rigid.get());
    NewtonCollision* c = b->collision;
    b->rigid.reset();
    DeleteRecord(w, b);
    ReleaseCollisionRef(w, c);
}

void NewtonBodySetMassMatrix(const NewtonBody* body, dFloat mass, dFloat Ixx, dFloat Iyy, dFloat Izz)
{
    if (!body) return;
    NewtonBody* b = Mutable(body);
    b->mass = mass;
    b->ixx = Ixx;
    b->iyy = Iyy;
    b->izz = Izz;
    ApplyMass(b);
}

void NewtonBodyGetMassMatrix(const NewtonBody* body, dFloat* mass, dFloat* Ixx, dFloat* Iyy, dFloat* Izz)
{
    if (!body) return;
    if (mass) *mass = body->mass;
    if (Ixx) *Ixx = body->ixx;
    if (Iyy) *Iyy = body->iyy;
    if (Izz) *Izz = body->izz;
}

void NewtonBodySetAutoFreeze(const NewtonBody* body, int state)
{
    if (!body) return;
    btRigidBody* rb = body->rigid.get();
    if (state)
        rb->forceActivationState(ACTIVE_TAG);
    else
        rb->forceActivationState(DISABLE_DEACTIVATION);
}

void NewtonBodySetForceAndTorqueCallback(const NewtonBody* body, NewtonApplyForceAndTorque callback)
{
    if (body) Mutable(body)->callback = callback;
}

void NewtonBodySetUserData(const NewtonBody* body, void* userData)
{
    if (body) Mutable(body)->userData = userData;
}

void* NewtonBodyGetUserData(const NewtonBody* body)
{
    return body ? body->userData : nullptr;
}

NewtonWorld* NewtonBodyGetWorld(const NewtonBody* body)
{
    return body ? body->world : nullptr;
}

void NewtonBodySetMatrix(const NewtonBody* body, const dFloat* matrix)
{
    if (!body || !matrix) return;
    NewtonBody* b = Mutable(body);
    btRigidBody* rb = b->rigid.get();
    btTransform t = ToTransform(matrix);
    rb->setWorldTransform(t);
    rb->setInterpolationWorldTransform(t);
    // A frozen body put back inside the world box moves again.
    if (b->frozen && InsideWorldBox(b)) {
        b->frozen = false;
        SyncMembership(b);
    }
    if (b->inWorld) b->world->dynamics->updateSingleAabb(rb);
    rb->activate(true);
}

void NewtonBodyGetMatrix(const NewtonBody* body, dFloat* matrix)
{
    if (!body || !matrix) return;
    body->rigid->getWorldTransform().getOpenGLMatrix(matrix);
}

void NewtonBodySetVelocity(const NewtonBody* body, const dFloat* velocity)
{
    if (!body || !velocity || !body->dynamic) return;
    body->rigid->setLinearVelocity(Vec(velocity));
    body->rigid->setInterpolationLinearVelocity(Vec(velocity));
    body->rigid->activate(true);
}

void NewtonBodyGetVelocity(const NewtonBody* body, dFloat* velocity)
{
    if (body && velocity) Store(body->rigid->getLinearVelocity(), velocity);
}

void NewtonBodySetOmega(const NewtonBody* body, const dFloat* omega)
{
    if (!body || !omega || !body->dynamic) return;
    body->rigid->setAngularVelocity(Vec(omega));
    body->rigid->setInterpolationAngularVelocity(Vec(omega));
    body->rigid->activate(true);
}

void NewtonBodyGetOmega(const NewtonBody* body, dFloat* omega)
{
    if (body && omega) Store(body->rigid->getAngularVelocity(), omega);
}

int NewtonBodyGetFreezeState(const NewtonBody* body)
{
    return body && body->frozen ? 1 : 0;
}

void NewtonBodySetForce(const NewtonBody* body, const dFloat* force)
{
    if (body && force) Mutable(body)->force = Vec(force);
}

void NewtonBodyAddForce(const NewtonBody* body, const dFloat* force)
{
    if (body && force) Mutable(body)->force += Vec(force);
}

void NewtonBodySetTorque(const NewtonBody* body, const dFloat* torque)
{
    if (body && torque) Mutable(body)->torque = Vec(torque);
}

void NewtonBodyAddTorque(const NewtonBody* body, const dFloat* torque)
{
    if (body && torque) Mutable(body)->torque += Vec(torque);
}

}  // extern "C"
