// The default material pair. Every body belongs to the default group, so
// the values set here govern every contact of the world.
#include "NewtonTypes.h"

using namespace newton_detail;

namespace {

Material* DefaultPair(const NewtonWorld* world, int id0, int id1)
{
    if (!world || id0 != 0 || id1 != 0) return nullptr;
    return &Mutable(world)->material;
}

}  // namespace

extern "C" {

int NewtonMaterialGetDefaultGroupID(const NewtonWorld*)
{
    return 0;
}

void NewtonMaterialSetDefaultSoftness(const NewtonWorld* world, int id0, int id1, dFloat value)
{
    if (Material* m = DefaultPair(world, id0, id1)) m->softness = Clamp(value, 0.01f, 1.0f);
}

void NewtonMaterialSetDefaultElasticity(const NewtonWorld* world, int id0, int id1, dFloat elasticCoef)
{
    if (Material* m = DefaultPair(world, id0, id1)) m->elasticity = Clamp(elasticCoef, 0.01f, 2.0f);
}

void NewtonMaterialSetDefaultCollidable(const NewtonWorld* world, int id0, int id1, int state)
{
    if (Material* m = DefaultPair(world, id0, id1)) m->collidable = state != 0;
}

void NewtonMaterialSetDefaultFriction(const NewtonWorld* world, int id0, int id1, dFloat staticFriction,
                                      dFloat kineticFriction)
{
    if (Material* m = DefaultPair(world, id0, id1)) {
        m->staticFriction = Clamp(staticFriction, 0.01f, 2.0f);
        m->kineticFriction = Clamp(kineticFriction, 0.01f, 2.0f);
    }
}

}  // extern "C"
