// The game's physics: one world, the default material, the board, the ball
// and its force-and-torque callback, and the editor's spinning obstacles.
#pragma once

#include <d3dx9math.h>
#include <Newton.h>

constexpr int kMaxSpinners = 50;

struct Spinner {
    D3DXVECTOR3 position;  // where it was placed; it is pinned there
    NewtonBody* body;
};

extern NewtonWorld* newtonWorld;
extern NewtonBody* boardBody;
extern NewtonBody* ballBody;
extern D3DXMATRIX ballMatrix;   // ball pose as last read back or placed
extern D3DXMATRIX boardMatrix;  // the board model's matrix
extern NewtonCollision* spinnerCollision;
extern Spinner spinners[kMaxSpinners];
extern int spinnerCount;
extern D3DXVECTOR3 steeringTorque;  // set by the input code, read by the ball callback
extern bool blastPending;           // throws the ball up on the next step
extern bool firstStepDone;

// Creates newtonWorld (box -200 ... 200, exact friction). Call once at start.
void CreatePhysicsWorld();
// Softness 0.05, elasticity 0.4, collidable, friction 4.0 / 4.5 on the
// default pair. Needs the world.
void CreateDefaultMaterial();
// boardBody (static 90 x 2 x 90 box, top at y = 0), boardMatrix, and
// ballBody (radius 1, mass 10, callback BallForceAndTorque) at (5, 10, 5).
void CreateBoardAndBall();
// spinnerCollision, the 5 x 2.5 x 0.5 box every spinner shares.
void CreateSpinnerCollision();

// The ball's callback: gravity, the one-off blast, the steering torque
// while the ball spins slower than sqrt(50) rad/s.
void BallForceAndTorque(const NewtonBody* body);

// A spinner pinned at (x, y, z); ignored once the table holds kMaxSpinners
// or before the spinner collision exists.
void AddSpinner(float x, float y, float z);
// Destroys every spinner body; spinnerCount = 0.
void DestroySpinners();
// Turns each spinner at 5 rad/s about the vertical and puts it back on its
// point, upright.
void UpdateSpinners();

// One simulation step of timestep seconds, then ballMatrix read back.
void StepPhysics(float timestep);
// Puts the ball at the identity with translation at, at rest; ballMatrix
// follows. Does nothing to the body before it exists.
void PlaceBall(const D3DXVECTOR3& at);
