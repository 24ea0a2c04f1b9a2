// The Newton 1.x physics calls the game makes: one world of rigid bodies,
// box and sphere collisions, a default material pair and a fixed step.
//
// Matrices are 16 floats laid out as a D3DXMATRIX: row vectors, the body's
// x, y and z axes in rows 0-2 and its position in elements 12-14.
// Vectors are 3 floats. Handles stay owned by the world that made them.
#pragma once

#ifdef __cplusplus
extern "C" {
#endif

typedef float dFloat;

typedef struct NewtonWorld NewtonWorld;
typedef struct NewtonBody NewtonBody;
typedef struct NewtonCollision NewtonCollision;

typedef void* (*NewtonAllocMemory)(int sizeInBytes);
typedef void (*NewtonFreeMemory)(void* ptr, int sizeInBytes);
// Called once per step for every moving body that has one; the only place
// where NewtonBodySetForce, NewtonBodyAddForce and NewtonBodySetTorque act.
typedef void (*NewtonApplyForceAndTorque)(const NewtonBody* body);

// --- world ---------------------------------------------------------------

// A new empty world without gravity; the pair allocates the layer's own
// handle records (NULL for either means malloc/free). NULL when out of memory.
NewtonWorld* NewtonCreate(NewtonAllocMemory malloc, NewtonFreeMemory mfree);
// Destroys every body and collision of the world, then the world.
void NewtonDestroy(const NewtonWorld* newtonWorld);
// Moving bodies whose bounds leave this box are frozen where they are
// (kept, no longer simulated, no callback) until a matrix set from outside
// puts them back inside. Default box: -100 ... 100 on every axis.
void NewtonSetWorldSize(const NewtonWorld* newtonWorld, const dFloat* minPoint, const dFloat* maxPoint);
// 0 exact, 1 adaptive. Recorded only: the solver has one friction model.
void NewtonSetFrictionModel(const NewtonWorld* newtonWorld, int model);
// Simulates timestep seconds (at least 1/1000, at most 0.5) as the fewest
// equal sub-steps of at most 1/60 s, so the world keeps real time at any
// frame rate. Before each sub-step every moving, unfrozen body with a
// callback gets exactly one call; the force and torque set there act for
// that sub-step.
void NewtonUpdate(const NewtonWorld* newtonWorld, dFloat timestep);

// --- materials -----------------------------------------------------------

// The group every body belongs to (0). Only the default pair is kept.
int NewtonMaterialGetDefaultGroupID(const NewtonWorld* newtonWorld);
// Softness of contacts, clamped to 0.01 ... 1 (default 0.1).
void NewtonMaterialSetDefaultSoftness(const NewtonWorld* newtonWorld, int id0, int id1, dFloat value);
// Restitution of contacts, clamped to 0.01 ... 2 (default 0.4).
void NewtonMaterialSetDefaultElasticity(const NewtonWorld* newtonWorld, int id0, int id1, dFloat elasticCoef);
// 0: bodies of the pair pass through each other; non-zero: they collide.
void NewtonMaterialSetDefaultCollidable(const NewtonWorld* newtonWorld, int id0, int id1, int state);
// Coulomb friction, each coefficient clamped to 0.01 ... 2 (defaults 0.9 / 0.5).
void NewtonMaterialSetDefaultFriction(const NewtonWorld* newtonWorld, int id0, int id1, dFloat staticFriction,
                                      dFloat kineticFriction);

// --- collisions ------------------------------------------------------------

// A box of full size dx * dy * dz centred on its origin; offsetMatrix (may be
// NULL) places it in body space. NULL for a non-positive size.
NewtonCollision* NewtonCreateBox(const NewtonWorld* newtonWorld, dFloat dx, dFloat dy, dFloat dz,
                                 const dFloat* offsetMatrix);
// A sphere (or ellipsoid) of the given radii. NULL for a non-positive radius.
NewtonCollision* NewtonCreateSphere(const NewtonWorld* newtonWorld, dFloat radiusX, dFloat radiusY, dFloat radiusZ,
                                    const dFloat* offsetMatrix);
// Drops the caller's reference; bodies using the shape keep theirs.
void NewtonReleaseCollision(const NewtonWorld* newtonWorld, const NewtonCollision* collision);

// --- bodies ----------------------------------------------------------------

// A static body of the collision at the identity; NULL for a NULL collision.
NewtonBody* NewtonCreateBody(const NewtonWorld* newtonWorld, const NewtonCollision* collision);
// Removes the body from the world and frees it; NULL is ignored.
void NewtonDestroyBody(const NewtonWorld* newtonWorld, const NewtonBody* body);

// Mass below 0.001 makes the body static. An axis given no inertia (0 or
// less) takes that of the collision as a solid of this mass; every inertia
// is then clamped to 0.001 ... 100 times the mass. The getter returns the
// values given.
void NewtonBodySetMassMatrix(const NewtonBody* body, dFloat mass, dFloat Ixx, dFloat Iyy, dFloat Izz);
void NewtonBodyGetMassMatrix(const NewtonBody* body, dFloat* mass, dFloat* Ixx, dFloat* Iyy, dFloat* Izz);
// 0: the body never falls asleep; non-zero: it may rest once it stops.
void NewtonBodySetAutoFreeze(const NewtonBody* body, int state);
void NewtonBodySetForceAndTorqueCallback(const NewtonBody* body, NewtonApplyForceAndTorque callback);
void NewtonBodySetUserData(const NewtonBody* body, void* userData);
void* NewtonBodyGetUserData(const NewtonBody* body);
NewtonWorld* NewtonBodyGetWorld(const NewtonBody* body);

// Pose, velocity and angular velocity (omega) take effect at once.
void NewtonBodySetMatrix(const NewtonBody* body, const dFloat* matrix);
void NewtonBodyGetMatrix(const NewtonBody* body, dFloat* matrix);
void NewtonBodySetVelocity(const NewtonBody* body, const dFloat* velocity);
void NewtonBodyGetVelocity(const NewtonBody* body, dFloat* velocity);
void NewtonBodySetOmega(const NewtonBody* body, const dFloat* omega);
void NewtonBodyGetOmega(const NewtonBody* body, dFloat* omega);
// 1 while the body is frozen (it left the world box), else 0.
int NewtonBodyGetFreezeState(const NewtonBody* body);

// Inside the force-and-torque callback only: the force and torque that act
// during this step. Both start at zero before each callback.
void NewtonBodySetForce(const NewtonBody* body, const dFloat* force);
void NewtonBodyAddForce(const NewtonBody* body, const dFloat* force);
void NewtonBodySetTorque(const NewtonBody* body, const dFloat* torque);
void NewtonBodyAddTorque(const NewtonBody* body, const dFloat* torque);

#ifdef __cplusplus
}
#endif
