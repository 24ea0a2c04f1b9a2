// The camera's angle handling, look direction and matrices (no device needed:
// without one the view matrix is computed but not handed on).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "vCamera.h"
#include "vEngine.h"

namespace {

// Fresh zero-initialised camera, as the game's global cameras are.
vCamera& ZeroCamera()
{
    static vCamera camera;
    std::memset(static_cast<void*>(&camera), 0, sizeof(camera));
    return camera;
}

}  // namespace

TEST(Camera, XrayPitchSettlesLookingDown)
{
    vCamera& camera = ZeroCamera();
    camera.RotateX(5156.6206f);
    camera.UpdateCameraMatrix();
    EXPECT_EQ(camera.m_rotation.x, -1.5507963f);
    // Down, with a tiny tilt toward +z.
    EXPECT_NEAR(camera.m_lookDir.y, std::sin(-1.5507963f), 1e-6f);
    EXPECT_LT(camera.m_lookDir.y, -0.999f);
    EXPECT_GT(camera.m_lookDir.z, 0.0f);
    EXPECT_NEAR(camera.m_lookDir.z, std::cos(1.5507963f), 1e-5f);
    EXPECT_NEAR(camera.m_lookDir.x, 0.0f, 1e-6f);
    // The next update keeps it there.
    camera.UpdateCameraMatrix();
    EXPECT_EQ(camera.m_rotation.x, -1.5507963f);
}

TEST(Camera, PitchLimitIsInclusive)
{
    vCamera& camera = ZeroCamera();
    camera.SetRotation(1.5507963f, 0, 0);
    camera.UpdateCameraMatrix();
    EXPECT_EQ(camera.m_rotation.x, 1.5507963f);
    camera.SetRotation(std::nextafter(1.5507963f, 2.0f), 0, 0);
    camera.UpdateCameraMatrix();
    EXPECT_EQ(camera.m_rotation.x, 1.5507963f);
    camera.SetRotation(-3.0f, 0, 0);
    camera.UpdateCameraMatrix();
    EXPECT_EQ(camera.m_rotation.x, -1.5507963f);
}

TEST(Camera, DirectionConvention)
{
    vCamera& camera = ZeroCamera();
    camera.UpdateCamera();
    EXPECT_NEAR(camera.m_lookDir.x, 0.0f, 1e-6f);
    EXPECT_NEAR(camera.m_lookDir.y, 0.0f, 1e-6f);
    EXPECT_NEAR(camera.m_lookDir.z, 1.0f, 1e-6f);
    // Looking along +z from the origin with y up: the view is the identity.
    const float* m = &camera.GetMatrix()->_11;
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], (i % 5 == 0) ? 1.0f : 0.0f, 1e-6f) << "element " << i;

    camera.SetRotation(0, 0.5f, 0);  // positive yaw turns toward -x
    camera.UpdateCameraMatrix();
    EXPECT_LT(camera.m_lookDir.x, -0.4f);
    EXPECT_GT(camera.m_lookDir.z, 0.8f);

    camera.SetRotation(0.3f, 0, 0);  // positive pitch looks up
    camera.UpdateCameraMatrix();
    EXPECT_NEAR(camera.m_lookDir.y, std::sin(0.3f), 1e-6f);

    camera.SetRotation(0, 3.2f, 0);  // yaw limited, not wrapped
    camera.RotateZ(1.0f);            // roll is kept but ignored
    camera.UpdateCameraMatrix();
    EXPECT_EQ(camera.m_rotation.y, -3.1415925f);
    EXPECT_EQ(camera.m_rotation.z, 1.0f);
}

TEST(Camera, MovesAlongItsLookDirection)
{
    vCamera& camera = ZeroCamera();
    camera.SetPosition(1, 2, 3);
    camera.SetRotation(0, 0, 0);
    camera.UpdateCamera();
    camera.MoveRelative(4.0f, 100.0f, 100.0f);
    D3DXVECTOR3 p = camera.GetPosition();
    EXPECT_NEAR(p.x, 1.0f, 1e-5f);
    EXPECT_NEAR(p.y, 2.0f, 1e-5f);
    EXPECT_NEAR(p.z, 7.0f, 1e-5f);
    EXPECT_EQ(camera.GetPositionPointer(), &camera.m_position);

    // The view puts the eye at the origin and a point ahead on +z.
    camera.UpdateCameraTransform();
    D3DXVECTOR3 ahead(1, 2, 9), eye;
    D3DXVec3TransformCoord(&eye, &ahead, camera.GetMatrix());
    EXPECT_NEAR(eye.x, 0.0f, 1e-5f);
    EXPECT_NEAR(eye.y, 0.0f, 1e-5f);
    EXPECT_NEAR(eye.z, 2.0f, 1e-5f);
}

TEST(Camera, LookAtPanAndFollow)
{
    vCamera& camera = ZeroCamera();
    camera.PanLook(D3DXVECTOR3(0, 0, 0), D3DXVECTOR3(0, 0, 1), D3DXVECTOR3(0, 10, 0), D3DXVECTOR3(0, 10, 1), 0.5f);
    // Eye at (0, 5, 0): the world point (0, 5, 3) is 3 ahead.
    D3DXVECTOR3 world(0, 5, 3), view;
    D3DXVec3TransformCoord(&view, &world, camera.GetMatrix());
    EXPECT_NEAR(view.x, 0.0f, 1e-5f);
    EXPECT_NEAR(view.y, 0.0f, 1e-5f);
    EXPECT_NEAR(view.z, 3.0f, 1e-5f);
    EXPECT_EQ(camera.m_position.y, 0.0f);  // SetLookAt leaves the position alone

    D3DXMATRIX source;
    D3DXMatrixTranslation(&source, 5, 6, 7);
    source._12 = 0.25f;
    camera.FollowMatrix(&source, D3DXVECTOR3(1, 2, 3));
    EXPECT_FLOAT_EQ(camera.m_view._41, 4.0f);
    EXPECT_FLOAT_EQ(camera.m_view._42, 4.0f);
    EXPECT_FLOAT_EQ(camera.m_view._43, 4.0f);
    EXPECT_FLOAT_EQ(camera.m_view._12, 0.25f);
    EXPECT_FLOAT_EQ(source._41, 5.0f);  // the source is left alone

    D3DXMATRIX set;
    D3DXMatrixScaling(&set, 2, 2, 2);
    camera.SetMatrix(set);
    EXPECT_FLOAT_EQ(camera.GetMatrix()->_22, 2.0f);
}
