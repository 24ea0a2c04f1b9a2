// World, material, board, ball and spinners.
#include "Physics.h"

#include <cmath>
#include <cstdlib>

// The physics state.
NewtonWorld* newtonWorld = nullptr;
NewtonBody* boardBody = nullptr;
NewtonBody* ballBody = nullptr;
D3DXMATRIX ballMatrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
D3DXMATRIX boardMatrix(1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1);
NewtonCollision* spinnerCollision = nullptr;
Spinner spinners[kMaxSpinners];
int spinnerCount = 0;
D3DXVECTOR3 steeringTorque(0, 0, 0);
bool blastPending = false;
bool firstStepDone = false;

namespace {

void* PhysicsAlloc(int size)
{
    return std::malloc(static_cast<size_t>(size));
}
void PhysicsFree(void* block, int)
{
    std::free(block);
}

D3DXMATRIX TranslationMatrix(float x, float y, float z)
{
    D3DXMATRIX m;
    D3DXMatrixTranslation(&m, x, y, z);
    return m;
}

}  // namespace

void CreatePhysicsWorld()
{
    newtonWorld = NewtonCreate(PhysicsAlloc, PhysicsFree);
    float lo[3] = {-200, -200, -200}, hi[3] = {200, 200, 200};
    NewtonSetWorldSize(newtonWorld, lo, hi);
    NewtonSetFrictionModel(newtonWorld, 0);
}

void CreateDefaultMaterial()
{
    int group = NewtonMaterialGetDefaultGroupID(newtonWorld);
    NewtonMaterialSetDefaultSoftness(newtonWorld, group, group, 0.05f);
    NewtonMaterialSetDefaultElasticity(newtonWorld, group, group, 0.4f);
    NewtonMaterialSetDefaultCollidable(newtonWorld, group, group, 1);
    NewtonMaterialSetDefaultFriction(newtonWorld, group, group, 4.0f, 4.5f);
}

void CreateBoardAndBall()
{
    NewtonCollision* boardBox = NewtonCreateBox(newtonWorld, 90, 2, 90, nullptr);
    boardBody = NewtonCreateBody(newtonWorld, boardBox);
    D3DXMATRIX board = TranslationMatrix(45, -1, 45);
    NewtonBodySetMatrix(boardBody, board);
    boardMatrix = TranslationMatrix(45, 0, 45);

    NewtonCollision* sphere = NewtonCreateSphere(newtonWorld, 1, 1, 1, nullptr);
    ballBody = NewtonCreateBody(newtonWorld, sphere);
    ballMatrix = TranslationMatrix(5, 10, 5);
    NewtonBodySetMatrix(ballBody, ballMatrix);
    NewtonBodySetForceAndTorqueCallback(ballBody, BallForceAndTorque);
    NewtonBodySetMassMatrix(ballBody, 10, 0, 0, 0);
    NewtonBodySetAutoFreeze(ballBody, 0);
}

void CreateSpinnerCollision()
{
    spinnerCollision = NewtonCreateBox(newtonWorld, 5, 2.5f, 0.5f, nullptr);
}

void BallForceAndTorque(const NewtonBody* body)
{
    float mass, ixx, iyy, izz;
    NewtonBodyGetMassMatrix(body, &mass, &ixx, &iyy, &izz);
    float gravity[3] = {0, mass * -9.8f, 0};
    NewtonBodySetForce(body, gravity);

    float omega[3];
    NewtonBodyGetOmega(body, omega);
    float spin = omega[0] * omega[0] + omega[1] * omega[1] + omega[2] * omega[2];

    if (!firstStepDone) {
        firstStepDone = true;
        float nudge[3] = {0, 1, 0};
        NewtonBodyAddForce(body, nudge);
    }
    if (blastPending) {
        blastPending = false;
        float blast[3] = {0, 10000, 0};
        NewtonBodySetForce(body, blast);
    }
    float none[3] = {0, 0, 0};
    float steer[3] = {steeringTorque.x, steeringTorque.y, steeringTorque.z};
    NewtonBodySetTorque(body, spin < 50 ? steer : none);
}

void AddSpinner(float x, float y, float z)
{
    if (spinnerCount >= kMaxSpinners || !spinnerCollision) return;
    NewtonBody* body = NewtonCreateBody(newtonWorld, spinnerCollision);
    spinners[spinnerCount].position = D3DXVECTOR3(x, y, z);
    spinners[spinnerCount].body = body;
    NewtonBodySetMassMatrix(body, 50, 0, 0, 0);
    D3DXMATRIX at = TranslationMatrix(x, y, z);
    NewtonBodySetMatrix(body, at);
    NewtonBodySetAutoFreeze(body, 0);
    spinnerCount++;
}

void DestroySpinners()
{
    for (int i = 0; i < spinnerCount; ++i) {
        NewtonDestroyBody(newtonWorld, spinners[i].body);
        spinners[i].body = nullptr;
    }
    spinnerCount = 0;
}

void UpdateSpinners()
{
    for (int i = 0; i < spinnerCount; ++i) {
        NewtonBody* body = spinners[i].body;
        float omega[3] = {0, 5, 0};
        NewtonBodySetOmega(body, omega);

        // Contacts with the board and the ball tip the box a little each
        // step; only its turn about the vertical is kept, so it stays flat.
        D3DXMATRIX m;
        NewtonBodyGetMatrix(body, m);
        float yaw = std::atan2(-m._13, m._11);
        D3DXMatrixRotationY(&m, yaw);
        m._41 = spinners[i].position.x;
        m._42 = spinners[i].position.y;
        m._43 = spinners[i].position.z;
        NewtonBodySetMatrix(body, m);
    }
}

void StepPhysics(float timestep)
{
    NewtonUpdate(newtonWorld, timestep);
    NewtonBodyGetMatrix(ballBody, ballMatrix);
}

void PlaceBall(const D3DXVECTOR3& at)
{
    ballMatrix = TranslationMatrix(at.x, at.y, at.z);
    if (!ballBody) return;
    NewtonBodySetMatrix(ballBody, ballMatrix);
    float zero[3] = {0, 0, 0};
    NewtonBodySetOmega(ballBody, zero);
    NewtonBodySetVelocity(ballBody, zero);
}
