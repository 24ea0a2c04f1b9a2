#include "vCamera.h"

#include <cmath>

#include "vEngine.h"
#include "vMathUtils.h"

namespace {

const float kPitchLimit = 1.5507963f;  // pi/2 - 0.02: never straight up or down
const float kHalfPi = 1.5707963f;

}  // namespace

vCamera::vCamera() {}

void vCamera::SetPosition(float x, float y, float z)
{
    m_position = D3DXVECTOR3(x, y, z);
}

D3DXVECTOR3 vCamera::GetPosition()
{
    return m_position;
}

D3DXVECTOR3* vCamera::GetPositionPointer()
{
    return &m_position;
}

void vCamera::MoveRelative(float distance, float, float)
{
    m_position.x += distance * m_lookDir.x;
    m_position.y += distance * m_lookDir.y;
    m_position.z += distance * m_lookDir.z;
}

void vCamera::RotateX(float angle)
{
    m_rotation.x += angle;
}

void vCamera::RotateY(float angle)
{
    m_rotation.y += angle;
}

void vCamera::RotateZ(float angle)
{
    m_rotation.z += angle;
}

void vCamera::SetRotation(float x, float y, float z)
{
    m_rotation = D3DXVECTOR3(x, y, z);
}

void vCamera::SetLookAt(D3DXVECTOR3 eye, D3DXVECTOR3 target)
{
    D3DXVECTOR3 up(0.0f, 1.0f, 0.0f);
    D3DXMatrixLookAtLH(&m_view, &eye, &target, &up);
    if (objDevice) objDevice->SetTransform(D3DTS_VIEW, &m_view);
}

void vCamera::PanLook(D3DXVECTOR3 eyeFrom, D3DXVECTOR3 targetFrom, D3DXVECTOR3 eyeTo, D3DXVECTOR3 targetTo, float t)
{
    D3DXVECTOR3 eye(eyeFrom.x + (eyeTo.x - eyeFrom.x) * t, eyeFrom.y + (eyeTo.y - eyeFrom.y) * t,
                    eyeFrom.z + (eyeTo.z - eyeFrom.z) * t);
    D3DXVECTOR3 target(targetFrom.x + (targetTo.x - targetFrom.x) * t, targetFrom.y + (targetTo.y - targetFrom.y) * t,
                       targetFrom.z + (targetTo.z - targetFrom.z) * t);
    SetLookAt(eye, target);
}

void vCamera::UpdateCameraMatrix()
{
    FixAngle(m_rotation.y);
    FixAngle(m_rotation.x);
    if (m_rotation.x > kPitchLimit) m_rotation.x = kPitchLimit;
    if (m_rotation.x < -kPitchLimit) m_rotation.x = -kPitchLimit;

    // Yaw 0 looks along +z; positive yaw turns toward -x, positive pitch looks up.
    float a = m_rotation.y + kHalfPi;
    float cosPitch = std::cos(m_rotation.x);
    m_lookDir.x = std::cos(a) * cosPitch;
    m_lookDir.y = std::sin(m_rotation.x);
    m_lookDir.z = std::sin(a) * cosPitch;
}

void vCamera::UpdateCameraTransform()
{
    D3DXVECTOR3 target(m_position.x + m_lookDir.x, m_position.y + m_lookDir.y, m_position.z + m_lookDir.z);
    SetLookAt(m_position, target);
}

void vCamera::UpdateCamera()
{
    UpdateCameraMatrix();
    UpdateCameraTransform();
}

D3DXMATRIX* vCamera::GetMatrix()
{
    return &m_view;
}

void vCamera::SetMatrix(D3DXMATRIX view)
{
    m_view = view;
}

void vCamera::FollowMatrix(D3DXMATRIX* matrix, D3DXVECTOR3 offset)
{
    if (!matrix) return;
    D3DXMATRIX follow = *matrix;
    follow._41 -= offset.x;
    follow._42 -= offset.y;
    follow._43 -= offset.z;
    // Identity times the copy is the copy; taken directly so it does not depend
    // on ev_matrixIdentity having been filled in by an initialised engine.
    m_view = follow;
}

tCamera::tCamera() {}
