// A camera: an eye position and pitch/yaw/roll angles that become a look
// direction and a left-handed view matrix, which it hands to the device.
#pragma once

#include <d3dx9.h>

#include <cstdint>

class vCamera {
public:
    // Initialises nothing; zero-initialised objects (globals) start at the
    // origin with all angles 0.
    vCamera();

    void SetPosition(float x, float y, float z);  // moves the eye; the view follows at the next UpdateCamera
    D3DXVECTOR3 GetPosition();                    // the eye
    D3DXVECTOR3* GetPositionPointer();            // address of m_position
    // Moves the eye by distance along the look direction.
    // kept: the other two values are unused; callers pass them.
    void MoveRelative(float distance, float unused1, float unused2);

    void RotateX(float angle);                    // pitch += angle
    void RotateY(float angle);                    // yaw += angle
    void RotateZ(float angle);                    // roll += angle; kept: roll is stored and takes no part in the view
    void SetRotation(float x, float y, float z);  // pitch, yaw and roll in radians

    // View matrix from eye to target with up (0, 1, 0); sets the device's view transform.
    void SetLookAt(D3DXVECTOR3 eye, D3DXVECTOR3 target);
    // SetLookAt with eye and target interpolated by t between the two pairs.
    void PanLook(D3DXVECTOR3 eyeFrom, D3DXVECTOR3 targetFrom, D3DXVECTOR3 eyeTo, D3DXVECTOR3 targetTo, float t);

    // Limits the angles (FixAngle, pitch clamped to +-1.5507963) and computes m_lookDir.
    void UpdateCameraMatrix();
    // SetLookAt(m_position, m_position + m_lookDir).
    void UpdateCameraTransform();
    // UpdateCameraMatrix then UpdateCameraTransform.
    void UpdateCamera();

    D3DXMATRIX* GetMatrix();          // address of m_view
    void SetMatrix(D3DXMATRIX view);  // the device is not told
    // m_view = *matrix with offset subtracted from its translation row; the device is not told.
    void FollowMatrix(D3DXMATRIX* matrix, D3DXVECTOR3 offset);

    D3DXVECTOR3 m_position;  // the eye
    D3DXVECTOR3 m_lookDir;   // unit look direction
    D3DXVECTOR3 m_rotation;  // x pitch, y yaw, z roll (radians)
    D3DXMATRIX m_view;       // the last view matrix built
};

// A plain record of 26 32-bit values offered to programs; the engine itself
// does not use it.
class tCamera {
public:
    tCamera();  // does nothing

    int32_t m_values[26];  // the record's values, as the program keeps them
};
