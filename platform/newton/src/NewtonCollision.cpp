// Box and sphere collisions, shared between bodies by reference count.
#include "NewtonTypes.h"

#include <algorithm>

using namespace newton_detail;

namespace {

bool IsIdentity(const dFloat* m)
{
    static const float kIdentity[16] = {1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
    return std::equal(m, m + 16, kIdentity);
}

NewtonCollision* Wrap(NewtonWorld* w, std::unique_ptr<btCollisionShape> shape, const dFloat* offset)
{
    NewtonCollision* c = NewRecord<NewtonCollision>(w);
    if (!c) return nullptr;
    c->world = w;
    if (offset && !IsIdentity(offset)) {
        auto compound = std::make_unique<btCompoundShape>(false, 1);
        compound->addChildShape(ToTransform(offset), shape.get());
        c->child = std::move(shape);
        c->shape = std::move(compound);
    } else {
        c->shape = std::move(shape);
    }
    w->collisions.push_back(c);
    return c;
}

}  // namespace

namespace newton_detail {

void ReleaseCollisionRef(NewtonWorld* world, NewtonCollision* collision)
{
    if (--collision->refCount > 0) return;
    auto& list = world->collisions;
    list.erase(std::remove(list.begin(), list.end(), collision), list.end());
    DeleteRecord(world, collision);
}

}  // namespace newton_detail

extern "C" {

NewtonCollision* NewtonCreateBox(const NewtonWorld* world, dFloat dx, dFloat dy, dFloat dz, const dFloat* offsetMatrix)
{
    if (!world || !(dx > 0 && dy > 0 && dz > 0)) return nullptr;
    auto box = std::make_unique<btBoxShape>(btVector3(dx, dy, dz) * 0.5f);
    return Wrap(Mutable(world), std::move(box), offsetMatrix);
}

NewtonCollision* NewtonCreateSphere(const NewtonWorld* world, dFloat radiusX, dFloat radiusY, dFloat radiusZ,
                                    const dFloat* offsetMatrix)
{
    if (!world || !(radiusX > 0 && radiusY > 0 && radiusZ > 0)) return nullptr;
    std::unique_ptr<btCollisionShape> shape;
    if (radiusX == radiusY && radiusY == radiusZ) {
        shape = std::make_unique<btSphereShape>(radiusX);
    } else {
        // An ellipsoid: a unit sphere scaled per axis.
        btVector3 centre(0, 0, 0);
        btScalar one = 1;
        auto ellipsoid = std::make_unique<btMultiSphereShape>(&centre, &one, 1);
        ellipsoid->setLocalScaling(btVector3(radiusX, radiusY, radiusZ));
        shape = std::move(ellipsoid);
    }
    return Wrap(Mutable(world), std::move(shape), offsetMatrix);
}

void NewtonReleaseCollision(const NewtonWorld* world, const NewtonCollision* collision)
{
    if (!world || !collision) return;
    ReleaseCollisionRef(Mutable(world), Mutable(collision));
}

}  // extern "C"
