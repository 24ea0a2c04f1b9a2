// A fresh game physics world per test: world, material, board, ball and
// spinner collision as the game sets them up, an all-bomb grid, no level.
#pragma once

#include <gtest/gtest.h>

#include "GameRules.h"
#include "Level.h"
#include "Physics.h"
#include "Level.h"
#include "Physics.h"

#include <cmath>

class GameWorld : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (newtonWorld) NewtonDestroy(newtonWorld);
        newtonWorld = nullptr;
        spinnerCount = 0;
        CreatePhysicsWorld();
        CreateDefaultMaterial();
        CreateBoardAndBall();
        CreateSpinnerCollision();
        FillGrid(1);
        coinCount = 0;
        steeringTorque = D3DXVECTOR3(0, 0, 0);
        blastPending = false;
        firstStepDone = false;
        editorCursor = D3DXVECTOR3(0, 1, 0);
    }

public:
    // The ball at rest on the board at (x, z), settled for half a second.
    static void BallOnBoard(float x, float z)
    {
        PlaceBall(D3DXVECTOR3(x, 1, z));
        Steps(30);
    }
    static void Steps(int n)
    {
        for (int i = 0; i < n; ++i) StepPhysics(1.0f / 60.0f);
    }
    static D3DXVECTOR3 BallPos() { return D3DXVECTOR3(ballMatrix._41, ballMatrix._42, ballMatrix._43); }
    static D3DXVECTOR3 BallVelocity()
    {
        D3DXVECTOR3 v;
        NewtonBodyGetVelocity(ballBody, v);
        return v;
    }
    static float Speed(const D3DXVECTOR3& v) { return std::sqrt(v.x * v.x + v.z * v.z); }
};
